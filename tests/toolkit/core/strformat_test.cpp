// printf formatting into strings.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "toolkit/core/strformat.h"

namespace {

std::string format_cut(std::size_t max_length, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string format_cut(std::size_t max_length, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = kivo::core::vformat(format, args, max_length);
  va_end(args);
  return s;
}

// Without a format attribute, so that a null format reaches vformat.
std::string format_any(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = kivo::core::vformat(format, args);
  va_end(args);
  return s;
}

TEST(StrFormat, FormatsShortAndLongTextsAndCutsAtTheLimit) {
  const std::string long_text(1000, 'x');  // past the first attempt's buffer
  const auto none = std::string::npos;
  struct Case {
    std::string got, want;
  } cases[] = {
      {format_cut(none, "%s=%d%%", "x", 50), "x=50%"},
      {format_cut(none, "%s", ""), ""},
      {format_cut(none, "[%s]", long_text.c_str()), "[" + long_text + "]"},
      {format_cut(4, "%d", 1234567), "1234"},
      {format_cut(999, "%s!", long_text.c_str()), long_text.substr(0, 999)},
      {format_cut(0, "%s", "gone"), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(StrFormat, NullFormatGivesAnEmptyText) {
  EXPECT_EQ(format_any(nullptr), "");
}

}  // namespace
