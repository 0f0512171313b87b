// System fonts: a face of the desktop rendered once into the bitmap form of
// the font table, with hard edges, through the port's system-font service.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/core/font_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/system_fonts.h"

namespace kivo::core {
namespace {

bool g_reload = false;

// Character code map for the codes 128 to 255; 0 = the code itself.
int g_charmap[128] = {};

// Unicode character of an ANSI code page (Windows-1252) code.
char32_t ansi_to_unicode(int code) {
  static const char32_t cp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  if (code >= 128 && code < 160) return cp1252[code - 128];
  return static_cast<char32_t>(code & 0xFF);
}

char32_t character_for(int code) {
  if (code < 128) return static_cast<char32_t>(code);
  int mapped = g_charmap[code - 128];
  if (mapped <= 0) return ansi_to_unicode(code);
  if (mapped <= 255) return ansi_to_unicode(mapped);
  return mapped <= 0x10FFFF ? static_cast<char32_t>(mapped) : 0;
}

// Doubles every percent sign that cannot start a conversion (followed by a
// character below "0", by ">" or by the end), so that "50%," stays literal.
std::string escape_format(const char* format) {
  std::string out;
  for (const char* s = format; *s; ++s) {
    out += *s;
    if (*s == '%') {
      signed char next = static_cast<signed char>(s[1]);
      if (next == '%') {
        out += *++s;
      } else if (next < '0' || next == '>') {
        out += '%';
      }
    }
  }
  return out;
}

std::string strip_lower(const std::string& token) {
  std::string out;
  for (char c : token) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

// Leading optional sign and decimal digits; no digits gives 0.
int leading_int(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000) value = 1000000;
  }
  return static_cast<int>(negative ? -value : value);
}

struct Request {
  std::string face;
  bool bold = false, italic = false, underline = false;
  int xs = 0, ys = 0, ascent = -1, descent = -1, points = 0, xsextra = 0;
};

Request parse_request(const std::string& text) {
  Request r;
  std::vector<std::string> tokens;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      tokens.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string face = tokens.empty() ? "" : tokens[0];
  size_t a = face.find_first_not_of(" \t"), b = face.find_last_not_of(" \t");
  r.face = a == std::string::npos ? "" : face.substr(a, b - a + 1);
  for (size_t t = 1; t < tokens.size(); ++t) {
    std::string k = strip_lower(tokens[t]);
    auto value = [&](const char* prefix, int& field) {
      size_t n = std::char_traits<char>::length(prefix);
      if (k.compare(0, n, prefix) != 0) return false;
      field = leading_int(k.substr(n));
      return true;
    };
    if (k == "bold") r.bold = true;
    else if (k == "italic") r.italic = true;
    else if (k == "underlined" || k == "understriked") r.underline = true;
    else if (value("xs=", r.xs) || value("width=", r.xs) || value("ys=", r.ys) || value("height=", r.ys) ||
             value("ascent=", r.ascent) || value("descent=", r.descent) || value("points=", r.points) ||
             value("xsextra=", r.xsextra)) {
    }
  }
  return r;
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
  std::string escaped = escape_format(format);
  char buffer[1000];
  va_list args;
  va_start(args, format);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  int n = std::vsnprintf(buffer, sizeof buffer, escaped.c_str(), args);
#pragma GCC diagnostic pop
  va_end(args);
  if (n < 0) return 0;
  const std::string text = buffer;  // cut at 999 characters

  if (!g_reload) {
    int existing = kvfont_findalias(text.c_str());
    if (existing >= 0) return kvfont_id(existing);
  }
  Request r = parse_request(text);
  if (r.face.empty()) return 0;
  if (r.points > kvfont_max_points || std::abs(r.ys) > kvfont_max_request || std::abs(r.xs) > kvfont_max_request ||
      r.xsextra < 0 || r.xsextra > kvfont_max_request || r.points < 0)
    return 0;

  kivo::port::SystemFontRequest request;
  request.face = r.face;
  if (r.points > 0) {
    request.pixel_height = -((r.points * 96 + 36) / 72);
    request.pixel_width = 0;
  } else {
    request.pixel_height = r.ys != 0 ? r.ys : -16;
    request.pixel_width = std::abs(r.xs);
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
    if (r.underline) {
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
  f.name = "system font " + r.face + " " + std::to_string(r.points);
  f.alias = text;
  f.ysize = height;
  f.ascent = r.ascent >= 0 ? r.ascent : m.ascent;
  f.descent = r.descent >= 0 ? r.descent : m.descent;
  f.slant = r.italic ? 1 : 0;
  f.weight = r.bold ? 2 : 1;
  f.width = std::abs(r.xs);
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
