// Command-line splitting, the argument vector and option queries.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"

namespace {

std::vector<std::string> split(const char* text, int max = kvargs_max_arguments) {
  std::vector<char*> slots(size_t(max) + 1);
  int n = kvsplit_commandline(text, slots.data(), max);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.emplace_back(slots[size_t(i)]);
  EXPECT_EQ(out, kvsplit_commandline_words(text, max)) << "both forms split alike";
  return out;
}

struct SplitCase {
  const char* text;
  std::vector<std::string> expected;
};

TEST(CommandLineSplit, FollowsTheQuoteRules) {
  const SplitCase cases[] = {
      {"", {}},
      {"   ", {}},
      {"a \"b c\" d\"e f\"g", {"a", "b c", "de fg"}},
      {"\"\"", {""}},
      {"\"x y\"z", {"x y", "z"}},  // a leading quote ends the token at the closing quote
      {"one  two", {"one", "two"}},
      {"tab\tstays", {"tab\tstays"}},  // only the space counts as a blank
      {"\"unterminated text", {"unterminated text"}},
      {"-AppDir=\"/home/a b/x\" -localdir", {"-AppDir=/home/a b/x", "-localdir"}},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c.text), c.expected) << "text: [" << c.text << "]";
}

TEST(CommandLineSplit, LongArgumentsAreCutAndSurplusArgumentsDropped) {
  std::string longest(5000, 'x');
  auto one = split(longest.c_str());
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].size(), size_t(kvargs_max_length));

  std::string many;
  for (int i = 0; i < 600; ++i) many += "a" + std::to_string(i) + " ";
  auto kept = split(many.c_str());
  ASSERT_EQ(kept.size(), size_t(kvargs_max_arguments));
  EXPECT_EQ(kept.back(), "a" + std::to_string(kvargs_max_arguments - 1));
}

class ArgumentVector : public kivo::test::HeadlessTest {
 protected:
  void start(std::vector<std::string> args) {
    storage_ = std::move(args);
    pointers_.clear();
    pointers_.push_back(const_cast<char*>("program"));
    for (auto& a : storage_) pointers_.push_back(a.data());
    pointers_.push_back(nullptr);
    kvinit(int(pointers_.size()) - 1, pointers_.data());
  }
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

TEST_F(ArgumentVector, ProgramSlotIsEmptyAndVectorIsNullTerminated) {
  start({"-slave", "http://example.org/feed"});
  ASSERT_EQ(kvargc(), 3);
  EXPECT_STREQ(kvargv()[0], "");
  EXPECT_STREQ(kvargv()[1], "-slave");
  EXPECT_STREQ(kvargv()[2], "http://example.org/feed");
  EXPECT_EQ(kvargv()[3], nullptr);
}

TEST_F(ArgumentVector, OptionQueries) {
  start({"- debug", "+autostart", "  -port=8080  ", "-AppDir=/tmp/a b", "-readonlyx"});
  EXPECT_EQ(kvopt_sign("debug"), -1);
  EXPECT_EQ(kvopt_sign("autostart"), 1);
  EXPECT_EQ(kvopt_sign("readonly"), 0) << "a longer name does not match";
  EXPECT_EQ(kvopt_sign("Debug"), 0) << "names are case-sensitive";
  EXPECT_TRUE(kvopt_is_set("debug"));
  EXPECT_FALSE(kvopt_is_set("slave"));

  std::string value;
  ASSERT_TRUE(kvopt_value("port", value));
  EXPECT_EQ(value, "8080");
  ASSERT_TRUE(kvopt_value("AppDir", value));
  EXPECT_EQ(value, "/tmp/a b");
  EXPECT_FALSE(kvopt_value("FontDir", value));
}

TEST_F(ArgumentVector, ProgramDirectoryIsTheFolderOfTheExecutable) {
  start({});
  std::string dir = kvgetprogdir();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
  EXPECT_EQ(dir.find('\\'), std::string::npos);
  std::string argv0 = ::testing::internal::GetArgvs()[0];
  std::string exe = argv0.substr(argv0.rfind('/') + 1);
  EXPECT_TRUE(std::filesystem::exists(dir + "/" + exe)) << dir << "/" << exe;
}

TEST(Entry, CommandLineEntrySplitsAndRunsTheApplication) {
  static std::vector<std::string> seen;
  seen.clear();
  auto app = [] {
    for (int i = 0; i < kvargc(); ++i) seen.emplace_back(kvargv()[i]);
  };
  ASSERT_TRUE(kivo::port::use_backend("headless"));
  EXPECT_EQ(kventry_commandline("-slave \"a b\"", app), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"", "-slave", "a b"}));
  EXPECT_FALSE(kvrunning()) << "the entry ends with the exit sequence";
}

}  // namespace
