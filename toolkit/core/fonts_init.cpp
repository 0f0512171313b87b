// The built-in fonts: the eleven fixed-cell fonts kvinit registers and the
// two families registered on demand. Their descriptions are generated data
// (builtin_fonts_data_*.cpp); here they become description lines again and
// go through kvfont_load like any other description.
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/core/builtin_fonts_data.h"
#include "toolkit/core/font_internal.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_internal.h"

namespace kivo::core {
namespace {

int base64_value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::vector<uint8_t> decode_base64(const char* text) {
  std::vector<uint8_t> out;
  out.reserve(std::strlen(text) / 4 * 3);
  uint32_t acc = 0;
  int bits = 0;
  for (const char* s = text; *s; ++s) {
    int v = base64_value(*s);
    if (v < 0) continue;
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(acc >> bits));
    }
  }
  return out;
}

int header_number(const std::vector<std::string>& lines, const char* key) {
  size_t n = std::strlen(key);
  for (const auto& line : lines)
    if (line.compare(0, n, key) == 0) return std::atoi(line.c_str() + n);
  return 0;
}

std::vector<int> header_list(const std::vector<std::string>& lines, const char* key) {
  size_t n = std::strlen(key);
  std::vector<int> values;
  for (const auto& line : lines) {
    if (line.compare(0, n, key) != 0) continue;
    const char* s = line.c_str() + n;
    while (*s) {
      char* end = nullptr;
      long v = std::strtol(s, &end, 10);
      if (end == s) break;
      values.push_back(static_cast<int>(v));
      s = end;
    }
  }
  return values;
}

void register_all(const BuiltinFontData* fonts, int count) {
  for (int i = 0; i < count; ++i) {
    if (kvfont_find(fonts[i].registered_name) >= 0) continue;
    kvfont_load(builtin_font_lines(fonts[i]), fonts[i].registered_name);
  }
}

}  // namespace

std::vector<std::string> builtin_font_lines(const BuiltinFontData& data) {
  std::vector<std::string> lines;
  const char* start = data.header;
  for (const char* s = data.header; *s; ++s) {
    if (*s == '\n') {
      lines.emplace_back(start, s);
      start = s + 1;
    }
  }
  const int height = header_number(lines, "ysize=");
  const std::vector<int> widths = header_list(lines, "propxs=");
  lines.emplace_back("data:");
  const std::vector<uint8_t> bits = decode_base64(data.bits);
  size_t bit = 0;
  for (int w : widths) {
    for (int row = 0; row < height; ++row) {
      std::string text(static_cast<size_t>(w), '.');
      for (int x = 0; x < w; ++x, ++bit)
        if (bit / 8 < bits.size() && (bits[bit / 8] >> (7 - bit % 8)) & 1) text[static_cast<size_t>(x)] = '*';
      lines.push_back(std::move(text));
    }
  }
  return lines;
}

int builtin_font_ensure(const char* registered_name) {
  int index = kvfont_find(registered_name);
  if (index >= 0) return index;
  for (int i = 0; i < kBuiltinFixedFonts_count; ++i) {
    if (std::strcmp(kBuiltinFixedFonts[i].registered_name, registered_name) != 0) continue;
    kvfont_load(builtin_font_lines(kBuiltinFixedFonts[i]), registered_name);
    return kvfont_find(registered_name);
  }
  return -1;
}

void init_builtin_fonts() {
  register_all(kBuiltinFixedFonts, kBuiltinFixedFonts_count);
  kvatexit(fonts_release);
}

}  // namespace kivo::core

void kvfont_loadfamilies() {
  kivo::core::register_all(kivo::core::kBuiltinArialFonts, kivo::core::kBuiltinArialFonts_count);
  kivo::core::register_all(kivo::core::kBuiltinCrnewFonts, kivo::core::kBuiltinCrnewFonts_count);
}
