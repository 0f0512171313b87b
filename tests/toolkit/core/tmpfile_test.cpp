// Temporary files: unique names, the ".kivo_tmp" rule, deletion at exit.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "support/test_support.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/tmpfile.h"

namespace {

namespace fs = std::filesystem;

class TempFiles : public kivo::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    kivo::core::reset_temp_folder();
    setenv("TMPDIR", system_temp.path().c_str(), 1);
    fs::current_path(work.path());
  }
  void TearDown() override {
    unsetenv("TMPDIR");
    std::filesystem::current_path("/");
    HeadlessTest::TearDown();
  }
  kivo::test::TempDir system_temp, work;
};

TEST_F(TempFiles, NamesAreUniqueEmptyFilesThatTheExitSequenceDeletes) {
  std::set<std::string> names;
  for (int i = 0; i < 200; ++i) {
    std::string name = kvtmpname();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(system_temp.path() + "/kvtmp", 0), 0u) << name;
    EXPECT_EQ(name.size(), system_temp.path().size() + 1 + 5 + 6);
    EXPECT_TRUE(fs::is_regular_file(name));
    EXPECT_EQ(fs::file_size(name), 0u);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 200u);
  std::string url = kvtmpname_ext("url");
  ASSERT_EQ(url.substr(url.size() - 4), ".url");
  EXPECT_TRUE(fs::exists(url));
  EXPECT_TRUE(fs::exists(url.substr(0, url.size() - 4))) << "the base name is created and recorded too";

  std::ofstream(*names.begin()) << "something written into it";
  kvcleanup(0);
  for (const std::string& name : names) EXPECT_FALSE(fs::exists(name)) << name;
  EXPECT_FALSE(fs::exists(url));
  EXPECT_TRUE(fs::is_empty(system_temp.path()));
}

TEST_F(TempFiles, AKivoTmpFileNamesTheFolderWhichIsCreated) {
  std::ofstream(".kivo_tmp", std::ios::binary) << "my temp/inner\r\nsecond line is ignored\n";
  std::string name = kvtmpname();
  EXPECT_EQ(name.rfind(work.path() + "/my temp/inner/kvtmp", 0), 0u) << name;
  EXPECT_TRUE(fs::exists(name));
  // The folder was decided once: another current folder does not change it.
  fs::current_path(system_temp.path());
  EXPECT_EQ(kvtmpname().rfind(work.path() + "/my temp/inner/kvtmp", 0), 0u);
}

TEST_F(TempFiles, TheyVanishWhenTheProgramExits) {
  std::string record = work.file("names");
  EXPECT_EXIT(
      {
        std::ofstream(record) << kvtmpname() << "\n" << kvtmpname_ext("html") << "\n";
        kvexit(3);
      },
      ::testing::ExitedWithCode(3), "");
  std::ifstream in(record);
  std::string a, b;
  ASSERT_TRUE(std::getline(in, a) && std::getline(in, b));
  EXPECT_FALSE(fs::exists(a)) << a;
  EXPECT_FALSE(fs::exists(b)) << b;
}

}  // namespace
