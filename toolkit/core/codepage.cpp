#include "toolkit/core/codepage.h"

#include <cstdint>

namespace kivo::core {
namespace {

// Unicode characters of the codes 128 to 159.
constexpr uint16_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

}  // namespace

char32_t cp1252_to_unicode(unsigned char code) {
  return code >= 128 && code < 160 ? char32_t(kHigh[code - 128]) : char32_t(code);
}

bool cp1252_defined(unsigned char code) {
  return code < 128 || code >= 160 || kHigh[code - 128] != code;
}

int unicode_to_cp1252(char32_t character) {
  if (character < 128 || (character >= 160 && character < 256)) return int(character);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == character) return 128 + i;
  return -1;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

}  // namespace kivo::core
