// File helpers, path splitting, wildcards and folder listings.
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/files.h"
#include "toolkit/core/runtime_testing.h"

namespace {

namespace fs = std::filesystem;

void touch(const std::string& path, const std::string& content = "x") {
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_TRUE(kvfile_writetext(content, path.c_str()));
}

TEST(Files, WriteReadRoundTripAndSizes) {
  kivo::test::TempDir dir;
  const std::string name = dir.file("a.bin");
  const std::string data("\0\1\2binary\xff", 10);
  ASSERT_TRUE(kvfile_write(data.data(), name.c_str(), data.size()));
  EXPECT_EQ(kvfile_size(name.c_str()), 10);
  std::string back;
  ASSERT_TRUE(kvfile_read(back, name.c_str()));
  EXPECT_EQ(back, data);
  ASSERT_TRUE(kvfile_read(back, name.c_str(), 4));
  EXPECT_EQ(back, data.substr(0, 4));
  EXPECT_FALSE(kvfile_read(back, name.c_str(), 11)) << "asking for more than the file holds fails";

  ASSERT_TRUE(kvfile_write("text only", name.c_str()));  // size 0: the text length
  ASSERT_TRUE(kvfile_readtext(back, name.c_str()));
  EXPECT_STREQ(back.c_str(), "text only");

  EXPECT_EQ(kvfile_size(dir.file("missing").c_str()), -1);
  EXPECT_FALSE(kvfile_readtext(back, dir.file("missing").c_str()));
  EXPECT_FALSE(kvfile_write("x", dir.file("no/such/folder/f").c_str()));
}

TEST(Files, WritesReplaceAtomicallyAndLeaveNoTemporaries) {
  kivo::test::TempDir dir;
  const std::string name = dir.file("settings");
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(kvfile_writetext(std::string(1000 + i, 'a' + i % 26), name.c_str()));
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir.path())) {
    ++entries;
    EXPECT_EQ(e.path().filename(), "settings");
  }
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(kvfile_size(name.c_str()), 1019);
}

TEST(Files, ExistenceCopiesAndFolders) {
  kivo::test::TempDir dir;
  touch(dir.file("src/one.txt"), "1");
  ASSERT_TRUE(kvmkdir(dir.file("dst/deeper").c_str()));
  EXPECT_TRUE(kvdir_exists(dir.file("dst/deeper").c_str()));
  EXPECT_FALSE(kvfile_exists(dir.file("dst").c_str())) << "a folder is not a file";
  EXPECT_TRUE(kvfile_copy(dir.file("src/one.txt").c_str(), dir.file("dst").c_str()));
  EXPECT_TRUE(kvfile_exists(dir.file("dst/one.txt").c_str()));
  EXPECT_TRUE(kvfile_copy(dir.file("src/one.txt").c_str(), dir.file("dst/renamed").c_str()));
  EXPECT_TRUE(kvfile_exists(dir.file("dst/renamed").c_str()));
  EXPECT_FALSE(kvfile_copy(dir.file("src/..").c_str(), dir.file("dst").c_str()));
  EXPECT_FALSE(kvfile_copy(dir.file("src/missing").c_str(), dir.file("dst").c_str()));
}

TEST(Files, CopyAllAndDeleteAllUseListings) {
  kivo::test::TempDir dir;
  touch(dir.file("a.txt"));
  touch(dir.file("b.TXT"));
  touch(dir.file("c.dat"));
  fs::create_directories(dir.file("out"));
  EXPECT_EQ(kvfile_copyall((dir.path() + "/*.txt").c_str(), dir.file("out").c_str()), 2);
  EXPECT_TRUE(kvfile_exists(dir.file("out/b.TXT").c_str()));
  EXPECT_EQ(kvfile_deleteall("%s/out/%s", dir.path().c_str(), "*"), 2);
  EXPECT_FALSE(kvfile_exists(dir.file("out/a.txt").c_str()));
  EXPECT_TRUE(kvdir_exists(dir.file("out").c_str())) << "folders are not deleted";
}

struct SplitCase {
  const char *path, *folder, *name, *extension;
};

TEST(Paths, SplitAndDirname) {
  const SplitCase cases[] = {
      {"/home/u/feeds.txt", "/home/u", "feeds.txt", "txt"},
      {"C:\\data\\pic.big.png", "C:/data", "pic.big.png", "png"},
      {"plain", "", "plain", ""},
      {"dir/", "dir", "", ""},
      {"/x", "", "x", ""},
  };
  for (const auto& c : cases) {
    std::string folder, name, extension;
    kvpath_split(c.path, folder, name, extension);
    EXPECT_EQ(folder, c.folder) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_EQ(extension, c.extension) << c.path;
  }
  std::string folder, name;
  kvpath_dirname("plain.txt", folder, name);
  EXPECT_EQ(folder, ".");
  EXPECT_EQ(name, "plain.txt");
  std::string s = "a\\b\\c";
  kvslashes(s);
  EXPECT_EQ(s, "a/b/c");
}

struct WildcardCase {
  const char *name, *pattern;
  bool case_sensitive, match;
};

TEST(Wildcards, StarsQuestionMarksAndCase) {
  const WildcardCase cases[] = {
      {"feeds.txt", "*.txt", false, true},  {"feeds.txt", "*.TXT", false, true},
      {"feeds.txt", "*.TXT", true, false},  {"feeds.txt", "*", true, true},
      {"", "*", false, true},               {"", "?", false, false},
      {"abc", "a?c", false, true},          {"abbbc", "a*c", false, true},
      {"abcd", "a*c", false, false},        {"a.b.c", "*.*.c", false, true},
      {"example0001.cfg", "example????.cfg", false, true},
      {"mississippi", "*sip*", false, true}, {"xy", "x*y*z", false, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(kvwildcard(c.name, c.pattern, c.case_sensitive), c.match) << c.name << " ~ " << c.pattern;
  // Many stars against a long name stays quick (no exponential backtracking).
  std::string name(5000, 'a'), pattern = "*a*a*a*a*a*a*a*a*a*b";
  EXPECT_FALSE(kvwildcard(name.c_str(), pattern.c_str(), false));
}

class Listing : public ::testing::Test {
 protected:
  void SetUp() override {
    kvdir_restart();
    touch(dir.file("b.txt"));
    touch(dir.file("A.txt"));
    touch(dir.file("c.dat"));
    touch(dir.file("sub/d.txt"));
    touch(dir.file("sub/deep/e.txt"));
    touch(dir.file("zsub/f.txt"));
  }
  std::vector<std::string> all(const std::string& text) {
    std::vector<std::string> out;
    kvdir_restart();
    while (const char* p = kvdir_next("%s", text.c_str())) out.push_back(std::string(p).substr(dir.path().size() + 1));
    return out;
  }
  kivo::test::TempDir dir;
};

TEST_F(Listing, SortedCaseInsensitivelyWithFullPaths) {
  EXPECT_EQ(all(dir.path() + "/*.txt"), (std::vector<std::string>{"A.txt", "b.txt"}));
  EXPECT_EQ(all(dir.path() + "/*.TXT"), (std::vector<std::string>{"A.txt", "b.txt"}));
  EXPECT_EQ(all(dir.path() + "/*.TXT,casesensitive"), (std::vector<std::string>{}));
}

TEST_F(Listing, RecursiveListingsVisitSubfoldersBreadthFirst) {
  EXPECT_EQ(all(dir.path() + "/*.txt, recursive"),
            (std::vector<std::string>{"A.txt", "b.txt", "sub/d.txt", "sub/deep/e.txt", "zsub/f.txt"}));
}

TEST_F(Listing, DirsIncludesFoldersAndDotEntries) {
  EXPECT_EQ(all(dir.path() + "/*,dirs"),
            (std::vector<std::string>{".", "..", "A.txt", "b.txt", "c.dat", "sub", "zsub"}));
  EXPECT_EQ(all(dir.path() + "/*,showhidden"), (std::vector<std::string>{"A.txt", "b.txt", "c.dat"}));
}

TEST_F(Listing, SamePatternContinuesAndAChangedOptionStartsAnew) {
  const std::string pattern = dir.path() + "/*.txt";
  std::string first = kvdir_next("%s", pattern.c_str());
  std::string second = kvdir_next("%s", pattern.c_str());
  EXPECT_NE(first, second);
  EXPECT_EQ(kvdir_next("%s", pattern.c_str()), nullptr);
  std::string fresh;
  ASSERT_TRUE(kvdir_nextinto(fresh, "%s,recursive", pattern.c_str()));
  EXPECT_EQ(fresh, first) << "a new option starts a new listing";
  kvdir_restart();
  EXPECT_EQ(std::string(kvdir_next("%s,recursive", pattern.c_str())), first);
}

TEST_F(Listing, StopsCleanlyAtItsLimits) {
  for (int i = 0; i < 50; ++i) touch(dir.file("many/f" + std::to_string(100 + i)));
  kivo::core::ListingOptions options;
  ::testing::internal::CaptureStdout();
  auto by_count = kivo::core::list_folder(dir.path() + "/many/*", options, 10, 1 << 20);
  auto by_bytes = kivo::core::list_folder(dir.path() + "/many/*", options, 1000, 300);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(by_count.size(), 10u);
  size_t bytes = 0;
  for (auto& p : by_bytes) bytes += p.size() + 1;
  EXPECT_LE(bytes, 300u);
  EXPECT_FALSE(by_bytes.empty());
  EXPECT_NE(out.find("stopped at 10 entries"), std::string::npos);
}

TEST_F(Listing, MissingFolderGivesAnEmptyListing) {
  EXPECT_EQ(all(dir.path() + "/nope/*"), (std::vector<std::string>{}));
}

}  // namespace
