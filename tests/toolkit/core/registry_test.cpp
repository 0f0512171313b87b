// Registry paths over the file-backed store, and the autostart value as an
// XDG autostart entry.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_support.h"
#include "toolkit/core/registry.h"

namespace {

namespace fs = std::filesystem;

const char* kRun = "HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/Vabrel";

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Registry : public kivo::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  }
  std::string store() const { return config.file("kivo/registry"); }
  std::string entry() const { return config.file("autostart/Vabrel.desktop"); }
  kivo::test::TempDir config;
};

TEST_F(Registry, ValuesAreWrittenReadAndDeleted) {
  const struct {
    const char* path;
    std::string value;
  } values[] = {
      {"HKEY_CURRENT_USER/Software/Vabrel/Language", "de"},
      {"HKEY_CURRENT_USER\\Software\\Vabrel\\Lines", "one\ntwo\r\nthree\tand a \\ backslash"},
      {"HKEY_LOCAL_MACHINE/Software/Vabrel/Language", "en"},
      {"HKEY_CURRENT_USER/Software/Vabrel/Empty", ""},
      {"HKEY_USERS/Top", "directly under the root"},
      {"HKEY_CURRENT_USER/Software/Vabrel/Umlaut", "Gr\xfc\xdf" "e \x01\x7f"},
  };
  for (const auto& v : values) ASSERT_TRUE(kvreg_write(v.path, v.value.c_str())) << v.path;
  for (const auto& v : values) {
    std::string read = "stale";
    ASSERT_TRUE(kvreg_read(v.path, read)) << v.path;
    EXPECT_EQ(read, v.value) << v.path;
  }
  std::string read;
  EXPECT_TRUE(kvreg_read("hkey_current_user/SOFTWARE/vabrel/language", read)) << "names ignore case";
  EXPECT_EQ(read, "de");
  EXPECT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/LANGUAGE", "fr"));
  EXPECT_TRUE(kvreg_read(values[0].path, read));
  EXPECT_EQ(read, "fr") << "the same value, overwritten";
  EXPECT_FALSE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/Missing", read));
  EXPECT_FALSE(kvreg_read("HKEY_CURRENT_USER/Software/Other/Language", read));

  EXPECT_TRUE(kvreg_delete(values[0].path));
  EXPECT_FALSE(kvreg_read(values[0].path, read));
  EXPECT_FALSE(kvreg_delete(values[0].path)) << "nothing left to delete";
  EXPECT_TRUE(kvreg_read(values[2].path, read)) << "the other root keeps its value";
  EXPECT_EQ(read, "en");
}

TEST_F(Registry, DeletingAPathRemovesTheKeyOfThatNameWithEverythingBelow) {
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/Window/X", "10"));
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/Window/Size/W", "300"));
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/WindowTitle", "kept"));
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/Window", "a value of that name"));
  EXPECT_TRUE(kvreg_delete("HKEY_CURRENT_USER/Software/Vabrel/Window"));
  std::string read;
  EXPECT_FALSE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/Window/X", read));
  EXPECT_FALSE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/Window/Size/W", read));
  EXPECT_FALSE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/Window", read));
  EXPECT_TRUE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/WindowTitle", read));
}

TEST_F(Registry, AnUnknownRootFailsWithoutTouchingTheStore) {
  for (const char* path : {"HKEY_NOWHERE/Software/Vabrel/X", "Software/Vabrel/X", "HKEY_CURRENT_USERS/X/Y",
                           "HKEY_CURRENT_USER", "", "/HKEY_CURRENT_USER/X"}) {
    SCOPED_TRACE(path);
    std::string read;
    EXPECT_FALSE(kvreg_write(path, "v"));
    EXPECT_FALSE(kvreg_read(path, read));
    EXPECT_FALSE(kvreg_delete(path));
  }
  EXPECT_FALSE(kvreg_write(nullptr, "v"));
  EXPECT_FALSE(kvreg_write("HKEY_CURRENT_USER/Software/X", nullptr));
  EXPECT_FALSE(fs::exists(config.file("kivo"))) << "nothing was created";
}

TEST_F(Registry, TheStoreIsReplacedWholeAndSurvivesDamage) {
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/A", "1"));
  ASSERT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/B", "2"));
  for (auto& e : fs::directory_iterator(config.file("kivo"))) {
    std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "registry" || name == "registry.lock") << "left behind: " << name;
  }
  // Foreign lines in the store are skipped, the values around them stay.
  std::ofstream(store(), std::ios::app) << "garbage without tabs\n\x01\x02\n";
  std::string read;
  EXPECT_TRUE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/B", read));
  EXPECT_EQ(read, "2");
  EXPECT_TRUE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/C", "3"));
  EXPECT_TRUE(kvreg_read("HKEY_CURRENT_USER/Software/Vabrel/A", read));
  EXPECT_EQ(read, "1");
  // A value too long is refused.
  std::string huge(kvreg_value_max + 1, 'h');
  EXPECT_FALSE(kvreg_write("HKEY_CURRENT_USER/Software/Vabrel/Huge", huge.c_str()));
}

TEST_F(Registry, TheRunValueIsAnAutostartEntryThatAppearsAndDisappears) {
  const std::string command = "\"/opt/my apps/vabrel\" -autostart 100%";
  ASSERT_TRUE(kvreg_write(kRun, command.c_str()));
  ASSERT_TRUE(fs::exists(entry()));
  std::string desktop = slurp(entry());
  EXPECT_NE(desktop.find("[Desktop Entry]\nType=Application\nName=Vabrel\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nExec=\"/opt/my apps/vabrel\" -autostart 100%%\n"), std::string::npos) << desktop;
  std::string read;
  ASSERT_TRUE(kvreg_read(kRun, read));
  EXPECT_EQ(read, command);
  EXPECT_FALSE(fs::exists(store())) << "the autostart value lives only in the entry";

  ASSERT_TRUE(kvreg_write(kRun, "/usr/bin/vabrel -autostart"));
  EXPECT_NE(slurp(entry()).find("\nExec=/usr/bin/vabrel -autostart\n"), std::string::npos);

  EXPECT_TRUE(kvreg_delete(kRun));
  EXPECT_FALSE(fs::exists(entry()));
  EXPECT_FALSE(kvreg_read(kRun, read));
  EXPECT_FALSE(kvreg_write(kRun, "   ")) << "no program to start";
}

TEST_F(Registry, AutostartEntriesQuoteWhatTheDesktopWouldOtherwiseInterpret) {
  const std::string run = "HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/";
  ASSERT_TRUE(kvreg_write((run + "x").c_str(), "/bin/echo \"$HOME\" a\\b `x`"));
  ASSERT_TRUE(kvreg_write((run + "my ticker").c_str(), "/bin/true"));
  EXPECT_TRUE(fs::exists(config.file("autostart/my_ticker.desktop")));
  std::string desktop = slurp(config.file("autostart/x.desktop"));
  EXPECT_NE(desktop.find("\nExec=/bin/echo \"\\\\$HOME\" \"a\\\\\\\\b\" \"\\\\`x\\\\`\"\n"), std::string::npos)
      << desktop;
}

}  // namespace
