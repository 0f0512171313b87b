// Texts and the icon that the window layer hands to the window system:
// code page 1252 to and from Unicode, and the program icon.
#include <algorithm>

#include "toolkit/core/codepage.h"
#include "toolkit/core/llgui_internal.h"

namespace kivo::core::llgui {
namespace {

bool valid_utf8(const std::string& s, bool& any_multibyte) {
  any_multibyte = false;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra = c < 0x80 ? 0 : c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 9;
    if (extra == 9 || (extra > 0 && i + extra >= s.size())) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    if (extra) any_multibyte = true;
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string to_utf8(const std::string& text) {
  bool multibyte = false;
  if (valid_utf8(text, multibyte)) return text;
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    // The five codes the code page leaves undefined become question marks.
    append_utf8(out, cp1252_defined(c) ? cp1252_to_unicode(c) : U'?');
  }
  return out;
}

int to_codepage(uint32_t character) {
  const int code = unicode_to_cp1252(character);
  return code < 0 || !cp1252_defined(static_cast<unsigned char>(code)) ? 0 : code;
}

std::vector<uint32_t> icon_pixels(int size) {
  const State& s = state();
  std::vector<uint32_t> out(size_t(size) * size_t(size), 0);
  if (!s.icon.empty()) {
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        out[size_t(y) * size_t(size) + size_t(x)] =
            s.icon[size_t(y * s.icon_height / size) * size_t(s.icon_width) + size_t(x * s.icon_width / size)];
    return out;
  }
  // The built-in icon: a blue tile with a white band of scrolling text.
  const int band_top = size * 3 / 8, band_bottom = size * 5 / 8;
  for (int y = 1; y < size - 1; ++y) {
    for (int x = 1; x < size - 1; ++x) {
      uint32_t c = 0x1F4E99;
      if (y >= band_top && y < band_bottom) c = 0xFFFFFF;
      const bool glyph = y > band_top && y < band_bottom - 1 && (x * 4 / size) % 2 == 0 && x % 2 == 0;
      if (glyph) c = 0x202020;
      out[size_t(y) * size_t(size) + size_t(x)] = c;
    }
  }
  return out;
}

}  // namespace kivo::core::llgui

void kvllgui_seticon(const uint32_t* pixels, int width, int height) {
  auto& s = kivo::core::llgui::state();
  if (!pixels || width <= 0 || height <= 0 || width > 1024 || height > 1024) {
    s.icon.clear();
    return;
  }
  s.icon.assign(pixels, pixels + ptrdiff_t(width) * height);
  s.icon_width = width;
  s.icon_height = height;
}
