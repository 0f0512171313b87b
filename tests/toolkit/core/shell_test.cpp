// kvopenurl and kvshellrun: what reaches the desktop's opener or the
// program, as argument vectors (KIVO_OPENER points at a recorder).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/test_support.h"
#include "toolkit/core/shell.h"

namespace {

namespace fs = std::filesystem;

class Shell : public kivo::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    write_recorder("opener", "opened");
    write_recorder("tool", "ran");
    setenv("KIVO_OPENER", dir.file("opener").c_str(), 1);
    fs::current_path(dir.path());
  }
  void TearDown() override {
    fs::current_path(start_folder_);
    HeadlessTest::TearDown();
  }

  // A program that writes its arguments, one per line, into `out` (under a
  // temporary name first, so a reader never sees half of it).
  void write_recorder(const std::string& name, const std::string& out) {
    std::string path = dir.file(name);
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << dir.file(out) << ".part'\nmv '"
                        << dir.file(out) << ".part' '" << dir.file(out) << "'\n";
    fs::permissions(path, fs::perms::owner_all);
  }

  // The arguments the recorder got ("" after 5 s without a call).
  std::string recorded(const std::string& out, int timeout_ms = 5000) {
    std::string name = dir.file(out);
    for (int i = 0; i < timeout_ms / 10 && !fs::exists(name); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(name);
    std::stringstream s;
    s << in.rdbuf();
    fs::remove(name);
    return s.str();
  }

  fs::path start_folder_ = fs::current_path();
  kivo::test::TempDir dir;
};

TEST_F(Shell, AddressesGoToTheOpenerAsOneArgument) {
  const struct {
    const char* text;
    std::string opened;
  } cases[] = {
      {"someone@example.com", "mailto:someone@example.com\n"},
      {"mailto:someone@example.com", "mailto:someone@example.com\n"},
      {"http://example.com/news?a=1&b=2", "http://example.com/news?a=1&b=2\n"},
      {"https://example.com/@user", "https://example.com/@user\n"},
      {"http://x.example/;touch pwned;$(id)`id`", "http://x.example/;touch pwned;$(id)`id`\n"},
      {"www.example.com/feed", "http://www.example.com/feed\n"},
      {"ftp://files.example.com/a.txt", "ftp://files.example.com/a.txt\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(kvopenurl(c.text), 1);
    EXPECT_EQ(recorded("opened"), c.opened);
  }
  EXPECT_FALSE(fs::exists(dir.file("pwned")));
}

TEST_F(Shell, ATextWithTwoAtSignsGoesToTheShellRun) {
  // Neither a mail nor a web address: run as a program, which does not exist.
  EXPECT_EQ(kvopenurl("a@b@c"), 0);
  EXPECT_EQ(kvopenurl(""), 0);
  EXPECT_EQ(recorded("opened", 300), "");
}

TEST_F(Shell, ProgramsGetTheirParametersSeparately) {
  const struct {
    const char* command;
    std::string ran;
  } cases[] = {
      {"tool.exe -a \"b c\" d", "-a\nb c\nd\n"},
      {"./tool.EXE x", "x\n"},
      {"tool -p 'q r'", "-p\n'q\nr'\n"},
      {"tool", "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_TRUE(kvshellrun(c.command));
    EXPECT_EQ(recorded("ran"), c.ran);
  }
  EXPECT_FALSE(kvshellrun("no-such-program-anywhere x"));
  EXPECT_FALSE(kvshellrun("   "));
}

TEST_F(Shell, DocumentsAndFoldersGoToTheOpenerAsFullPaths) {
  std::ofstream(dir.file("page one.html")) << "<p>";
  fs::create_directory(dir.file("folder"));
  EXPECT_TRUE(kvshellrun("page one.html"));
  EXPECT_EQ(recorded("opened"), dir.file("page one.html") + "\n");
  EXPECT_EQ(kvopenurl("folder"), 1);
  EXPECT_EQ(recorded("opened"), dir.file("folder") + "\n");
}

TEST_F(Shell, AMissingOpenerIsAFailure) {
  setenv("KIVO_OPENER", "/no/such/opener", 1);
  EXPECT_EQ(kvopenurl("http://example.com/"), 0);
}

}  // namespace
