// The clipboard through the port (code page 1252 in the toolkit, UTF-8 on
// the clipboard), user and computer names, the pointer shape, file dialogs.
#include <filesystem>

#include "support/test_support.h"
#include "toolkit/core/clipboard.h"
#include "toolkit/core/filedialog.h"
#include "toolkit/core/sysnames.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clipboard.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/system_info.h"

namespace {

class DesktopServices : public kivo::test::HeadlessTest {};

TEST_F(DesktopServices, ClipboardTextGetsLineEndsAndTravelsAsUtf8) {
  EXPECT_EQ(kvclipboard_get(), nullptr) << "nothing on the clipboard yet";
  const struct {
    const char* set;
    std::string on_clipboard;  // UTF-8
    std::string read_back;     // code page 1252
  } cases[] = {
      {"one\ntwo\n", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
      {"kept\r\nas\nit is", "kept\r\nas\nit is", "kept\r\nas\nit is"},
      {"Gr\xfc\xdf" "e \x80 \x93quoted\x94", "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac \xe2\x80\x9cquoted\xe2\x80\x9d",
       "Gr\xfc\xdf" "e \x80 \x93quoted\x94"},
      {"already UTF-8: \xc3\xa4", "already UTF-8: \xc3\xa4", "already UTF-8: \xe4"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    kvclipboard_set(c.set);
    std::string raw;
    ASSERT_TRUE(kivo::port::backend().clipboard().get_text(raw));
    EXPECT_EQ(raw, c.on_clipboard);
    const char* read = kvclipboard_get();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::string(read), c.read_back);
  }
  kivo::port::backend().clipboard().set_text("\xe2\x9c\x93 and \xff");  // a check mark, a stray byte
  EXPECT_STREQ(kvclipboard_get(), "? and \xff");
}

TEST_F(DesktopServices, NamesComeFromTheSystem) {
  auto& info = kivo::port::backend().system_info();
  std::string out;
  EXPECT_EQ(std::string(kvusername(&out)), info.user_name());
  EXPECT_EQ(out, info.user_name());
  EXPECT_FALSE(out.empty());
  EXPECT_EQ(std::string(kvcomputername()), info.computer_name());
  EXPECT_EQ(kvusername(), kvusername()) << "one library-owned copy";
}

TEST_F(DesktopServices, SetCursorKnowsHandAndStandardInAnyCase) {
  auto* control = kivo::port::headless::control();
  using kivo::port::PointerShape;
  kvsetcursor("HAND");
  EXPECT_EQ(control->pointer_shape(), PointerShape::Hand);
  kvsetcursor("Standard");
  EXPECT_EQ(control->pointer_shape(), PointerShape::Arrow);
  kvsetcursor("hand");
  ::testing::internal::CaptureStdout();
  kvsetcursor("bogus");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "kvsetcursor: unknown cursor bogus\n");
  EXPECT_EQ(control->pointer_shape(), PointerShape::Hand);
}

TEST_F(DesktopServices, WithoutASystemFileDialogTheCallsAnswerFalse) {
  EXPECT_FALSE(kvfiledialog_available());
  auto before = std::filesystem::current_path();
  std::string name = "unchanged";
  EXPECT_FALSE(kvfiledialog_open(name, {"*.txt"}, {}, "/tmp", "Open", "txt", true, "a.txt"));
  EXPECT_FALSE(kvfiledialog_save(name, {"*.txt", "*.*"}, {"Text", ""}, "/tmp", "Save", "txt", "b.txt"));
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
