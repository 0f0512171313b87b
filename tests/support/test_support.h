// Helpers shared by the tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kivo::test {

// Absolute path of a file in the source tree ("tests/fixtures/x.bmp").
std::string source_path(const std::string& relative);

// A fresh temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs each test on the headless backend with virtual time and a fresh
// toolkit runtime, so timers fire exactly when the test advances the clock.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Advances virtual time; periodic timers fire on the way.
  void advance_ms(int64_t ms);
};

// Skips the test unless an X server answers; with KIVO_REQUIRE_X11=1 in the
// environment a missing server fails the test instead (CI sets it).
// Returns true when the test may go on on the x11 backend.
bool use_x11_or_skip();

}  // namespace kivo::test
