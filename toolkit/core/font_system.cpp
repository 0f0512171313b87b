// System fonts: a face of the desktop rendered once into the bitmap form of
// the font table, with hard edges, through the port's system-font service.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/codepage.h"
#include "toolkit/core/font_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/system_fonts.h"

namespace kivo::core {
namespace {

bool g_reload = false;

// Character code map for the codes 128 to 255; 0 = the code itself.
int g_charmap[128] = {};

char32_t character_for(int code) {
  if (code < 128) return static_cast<char32_t>(code);
  int mapped = g_charmap[code - 128];
  if (mapped <= 0) return kivo::core::cp1252_to_unicode(static_cast<unsigned char>(code));
  if (mapped <= 255) return kivo::core::cp1252_to_unicode(static_cast<unsigned char>(mapped));
  return mapped <= 0x10FFFF ? static_cast<char32_t>(mapped) : 0;
}

// One glyph taken from the drawing surface.
struct Cut {
  int width = 0;
  std::vector<uint8_t> bytes;
};

}  // namespace
}  // namespace kivo::core

void kvfont_reload(bool on) { kivo::core::g_reload = on; }

void kvfont_setcharmap(int code, int value) {
  if (code < 128 || code > 255) return;
  kivo::core::g_charmap[code - 128] = value == code ? 0 : value;
}

int kvfont_loadsystem(const char* format, ...) {
  using namespace kivo::core;
  if (!format) return 0;
  va_list args;
  va_start(args, format);
  const std::string text = kvcfgstr_vformat(format, args);
  va_end(args);

  if (!g_reload) {
    int existing = kvfont_findalias(text.c_str());
    if (existing >= 0) return kvfont_id(existing);
  }
  // The face name is the first token as written, without the blanks around it.
  kvcfgstr_tokens tokens;
  kvcfgstr_split(text, tokens);
  std::string face = tokens.empty() ? "" : tokens[0];
  const size_t a = face.find_first_not_of(" \t"), b = face.find_last_not_of(" \t");
  face = a == std::string::npos ? "" : face.substr(a, b - a + 1);
  kvcfg_fontattr r;
  kvcfgstr_fontattr(tokens, 1, r);
  if (face.empty()) return 0;
  if (r.points > kvfont_max_points || std::abs(r.height) > kvfont_max_request || std::abs(r.width) > kvfont_max_request ||
      r.xsextra < 0 || r.xsextra > kvfont_max_request || r.points < 0)
    return 0;

  kivo::port::SystemFontRequest request;
  request.face = face;
  if (r.points > 0) {
    request.pixel_height = -((r.points * 96 + 36) / 72);
    request.pixel_width = 0;
  } else {
    request.pixel_height = r.height != 0 ? r.height : -16;  // 12 points when no size is given
    request.pixel_width = std::abs(r.width);
  }
  request.bold = r.bold;
  request.italic = r.italic;
  auto& service = kivo::port::backend().system_fonts();
  int handle = service.open(request);
  if (handle == 0) return 0;
  const kivo::port::SystemFontMetrics m = service.metrics(handle);
  const int height = m.height;
  const int cell = r.xsextra + m.max_advance;
  if (height <= 0 || height > kvfont_max_height || cell <= 0) {
    service.close(handle);
    return 0;
  }

  // The drawing surface: twice the cell wide, one height high, the pen at
  // half the cell width on the baseline.
  const int surface_w = 2 * cell;
  const int pen = cell / 2;
  std::vector<uint8_t> surface(static_cast<size_t>(surface_w) * height);
  kivo::port::SystemGlyph g;
  int space_width = service.glyph(handle, U' ', g) ? g.advance : cell / 3;
  const int count = 223;  // the codes 32 to 254; 255 has no glyph
  std::vector<Cut> cuts(kvfont_charcount);
  for (int i = 0; i < count; ++i) {
    std::fill(surface.begin(), surface.end(), 0);
    char32_t ch = character_for(32 + i);
    int advance = space_width;
    if (ch != 0 && service.glyph(handle, ch, g)) {
      advance = g.advance;
      for (int y = 0; y < g.height; ++y) {
        int sy = m.ascent - g.top + y;
        if (sy < 0 || sy >= height) continue;
        for (int x = 0; x < g.width; ++x) {
          int sx = pen + g.left + x;
          if (sx >= 0 && sx < surface_w && g.mask[static_cast<size_t>(y) * g.width + x])
            surface[static_cast<size_t>(sy) * surface_w + sx] = 1;
        }
      }
    }
    if (r.underlined) {
      for (int t = 0; t < m.underline_thickness; ++t) {
        int sy = m.ascent + m.underline_position + t;
        if (sy < 0 || sy >= height) continue;
        for (int sx = pen; sx < pen + advance && sx < surface_w; ++sx) surface[static_cast<size_t>(sy) * surface_w + sx] = 1;
      }
    }
    int left = surface_w, right = -1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < surface_w; ++x)
        if (surface[static_cast<size_t>(y) * surface_w + x]) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
    int start = 0, width = space_width;
    if (right >= 0) {
      start = left;
      width = right - left + 1;
      // Widen to the advance with the ink centred.
      for (int step = 1; width < advance; ++step) {
        ++width;
        if (step % 2 == 0 && start > 0) --start;
      }
    }
    width = std::clamp(width, 0, kvfont_max_glyph_width);
    Cut& cut = cuts[static_cast<size_t>(i)];
    cut.width = width;
    cut.bytes.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int sx = start + x;
        if (sx < surface_w) cut.bytes[static_cast<size_t>(y) * width + x] = surface[static_cast<size_t>(y) * surface_w + sx];
      }
  }
  service.close(handle);
  for (int i = count; i < kvfont_charcount; ++i) cuts[static_cast<size_t>(i)] = cuts['@' - 32];

  kvfont f;
  f.name = "system font " + face + " " + std::to_string(r.points);
  f.alias = text;
  f.ysize = height;
  f.ascent = r.ascent > 0 ? r.ascent : m.ascent;
  f.descent = r.descent > 0 ? r.descent : m.descent;
  f.slant = r.italic ? 1 : 0;
  f.weight = r.bold ? 2 : 1;
  f.width = std::abs(r.width);
  f.points = r.points;
  f.foundry = m.resolved;
  f.chars = kvfont_charcount;
  size_t total = 0;
  for (const Cut& c : cuts) total += c.bytes.size();
  f.data.reserve(total);
  bool same = true;
  for (int i = 0; i < kvfont_charcount; ++i) {
    const Cut& c = cuts[static_cast<size_t>(i)];
    f.widths[i] = c.width;
    f.offsets[i] = static_cast<int32_t>(f.data.size());
    f.data.insert(f.data.end(), c.bytes.begin(), c.bytes.end());
    if (c.width != cuts[0].width) same = false;
  }
  f.xsize = f.widths['x' - 32];
  f.spacing = same ? 1 : 2;
  return font_register(std::move(f));
}
