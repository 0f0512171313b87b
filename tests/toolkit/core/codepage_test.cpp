// Code page 1252 to and from Unicode, and UTF-8 encoding.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/core/codepage.h"

namespace {

using namespace kivo::core;

TEST(CodePage, EveryCodeGoesToUnicodeAndBack) {
  EXPECT_EQ(cp1252_to_unicode(0x41), U'A');
  EXPECT_EQ(cp1252_to_unicode(0x80), U'\u20AC');  // euro sign
  EXPECT_EQ(cp1252_to_unicode(0x9F), U'\u0178');
  EXPECT_EQ(cp1252_to_unicode(0xE9), U'\u00E9');
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<unsigned char>(code);
    EXPECT_EQ(unicode_to_cp1252(cp1252_to_unicode(c)), code) << code;
  }
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_FALSE(cp1252_defined(undefined));
    EXPECT_EQ(cp1252_to_unicode(undefined), char32_t(undefined));
  }
  EXPECT_TRUE(cp1252_defined(0x80));
  EXPECT_EQ(unicode_to_cp1252(U'\u0080'), -1);  // a C1 control the code page puts elsewhere
  EXPECT_EQ(unicode_to_cp1252(U'\u4E2D'), -1);
}

TEST(CodePage, Utf8LengthsAtTheirBoundaries) {
  struct Case {
    char32_t c;
    std::string bytes;
  } cases[] = {
      {U'\x7F', "\x7F"},
      {U'\u0080', "\xC2\x80"},
      {U'\u07FF', "\xDF\xBF"},
      {U'\u0800', "\xE0\xA0\x80"},
      {U'\uFFFF', "\xEF\xBF\xBF"},
      {U'\U00010000', "\xF0\x90\x80\x80"},
      {U'\U0010FFFF', "\xF4\x8F\xBF\xBF"},
  };
  for (const Case& c : cases) {
    std::string out = "x";
    append_utf8(out, c.c);
    EXPECT_EQ(out, "x" + c.bytes) << uint32_t(c.c);
  }
}

}  // namespace
