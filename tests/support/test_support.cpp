#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "toolkit/core/runtime_testing.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/headless/control.h"

namespace kivo::test {

std::string source_path(const std::string& relative) {
  const char* root = std::getenv("KIVO_SOURCE_DIR");
  std::string base = root && *root ? root : KIVO_TEST_SOURCE_DIR;
  return base + "/" + relative;
}

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("kivo-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  ADD_FAILURE() << "could not create a temporary folder";
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void HeadlessTest::SetUp() {
  ASSERT_TRUE(kivo::port::use_backend("headless"));
  kvruntime_reset();
  ASSERT_TRUE(kivo::port::headless::control()->set_virtual_time(true));
}

void HeadlessTest::TearDown() { kvruntime_reset(); }

void HeadlessTest::advance_ms(int64_t ms) { kivo::port::headless::control()->advance_ms(ms); }

bool use_x11_or_skip() {
  if (kivo::port::use_backend("x11")) return true;
  const char* required = std::getenv("KIVO_REQUIRE_X11");
  if (required && std::string(required) == "1") {
    ADD_FAILURE() << "KIVO_REQUIRE_X11=1 but no X server answers (DISPLAY="
                  << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") << ")";
  }
  return false;
}

}  // namespace kivo::test
