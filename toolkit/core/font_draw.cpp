// Drawing characters and strings into pixmaps, the ellipsis layout and word
// wrapping.
#include "toolkit/core/draw_points.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/font_internal.h"

namespace kivo::core {
namespace {

// Adds the ink of a glyph at (x, y) to the batch, and its last row when
// underlined. False when the code has no glyph.
bool add_glyph(PointBatch& batch, int font, int x, int y, int code, bool underline) {
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  if (code < 32 || !kvfont_glyph(font, code, &bits, &w, &h)) return false;
  for (int gy = 0; gy < h; ++gy) {
    const uint8_t* row = bits + static_cast<size_t>(gy) * w;
    for (int gx = 0; gx < w; ++gx)
      if (row[gx] || (underline && gy == h - 1)) batch.add(x + gx, y + gy);
  }
  return true;
}

void draw_raised(kvpxmap* p, int font, int x, int y, int background, int code, int light, int dark) {
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  if (code < 32 || !kvfont_glyph(font, code, &bits, &w, &h)) return;
  if (background != -1) kvpxmap_fillrect(p, x, y, w, h, background);
  PointBatch shade(p), ink(p);
  for (int gy = 0; gy < h; ++gy)
    for (int gx = 0; gx < w; ++gx)
      if (bits[static_cast<size_t>(gy) * w + gx]) {
        shade.add(x + gx + 1, y + gy + 1);
        ink.add(x + gx, y + gy);
      }
  shade.flush(p, light == -1 ? kvcolor(KV_COLOR_WHITE) : light);
  ink.flush(p, dark == -1 ? kvcolor(KV_COLOR_DARK) : dark);
}

// Draws a run of characters starting at pen x; returns the pen after it.
// Non-raised characters are collected into one batch per colour.
struct TextPen {
  kvpxmap* p;
  int font, colour, background, light, dark;
  bool raised;
  PointBatch ink;
  TextPen(kvpxmap* pm, int f, int c, int bg, int l, int d, bool r)
      : p(pm), font(f), colour(c), background(bg), light(l), dark(d), raised(r), ink(pm) {}
  void put(int x, int y, int code, bool underline) {
    if (raised) {
      draw_raised(p, font, x, y, background, code, light, dark);
      return;
    }
    if (background != -1) {
      int w = kvfont_charwidth(font, code);
      const uint8_t* bits = nullptr;
      int gw = 0, h = 0;
      if (code >= 32 && kvfont_glyph(font, code, &bits, &gw, &h)) kvpxmap_fillrect(p, x, y, w, h, background);
    }
    add_glyph(ink, font, x, y, code, underline);
  }
  void finish() { ink.flush(p, colour); }
};

}  // namespace
}  // namespace kivo::core

using kivo::core::PointBatch;
using kivo::core::TextPen;

void kvfont_drawchar(kvpxmap* p, int font, int x, int y, int colour, bool raised, bool underline, int background,
                     int code, int light, int dark) {
  if (!p || code < 32 || !kvfont_glyph(font, code, nullptr, nullptr, nullptr)) return;
  TextPen pen(p, font, colour, background, light, dark, raised);
  pen.put(x, y, code, underline && !raised);
  pen.finish();
}

void kvfont_drawtext(kvpxmap* p, int font, int x, int y, int colour, bool raised, bool underline_all,
                     int background, int max_width, int underline_index, const char* text, int light, int dark) {
  if (!p || !text || kvfont_index(font) < 0) return;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  TextPen pen(p, font, colour, background, light, dark, raised);
  auto underlined = [&](int i) { return !raised && (underline_all || i == underline_index); };
  const int total = kvfont_textwidth(font, text);
  if (max_width > 0 && max_width < total) {
    // The characters that fit before "... " keeps its room, then "...".
    const int limit = x + max_width - kvfont_textwidth(font, "... ");
    int px = x, i = 0;
    for (; s[i] && s[i] != '\n'; ++i) {
      int w = kvfont_charwidth(font, s[i]);
      if (px + w > limit) break;
      pen.put(px, y, s[i], underlined(i));
      px += w;
    }
    const int dot = kvfont_charwidth(font, '.');
    for (int k = 0; k < 3 && px + dot <= x + max_width; ++k, px += dot) pen.put(px, y, '.', underline_all && !raised);
    pen.finish();
    return;
  }
  const int height = kvfont_height(font);
  int px = x, py = y;
  for (int i = 0; s[i]; ++i) {
    if (s[i] == '\n') {
      px = x;
      py += height;
      continue;
    }
    pen.put(px, py, s[i], underlined(i));
    px += kvfont_charwidth(font, s[i]);
  }
  pen.finish();
}

int kvfont_wraptext(kvpxmap* p, int font, int x, int y, int width, int height_limit, int colour, const char* text,
                    bool measure_only) {
  const int height = kvfont_height(font);
  if (height <= 0) return 0;
  if (!text) return height;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  const bool draw = !measure_only && p;
  TextPen pen(p, font, colour, -1, -1, -1, false);
  const int right = x + width;
  const int space = kvfont_charwidth(font, ' ');
  int px = x, py = y;
  auto new_line = [&] {
    px = x;
    py += height;
  };
  size_t i = 0;
  while (s[i]) {
    unsigned char c = s[i];
    if (c == '\t') {
      px += 4 * space;
      ++i;
    } else if (c == '\n') {
      new_line();
      ++i;
    } else if (c == '\r') {
      ++i;
    } else if (c == ' ') {
      px += space;
      ++i;
    } else {
      // A word ends after a hyphen or before a blank, tab, line break or the end.
      size_t end = i;
      int word = 0;
      while (s[end] && s[end] != ' ' && s[end] != '\t' && s[end] != '\n' && s[end] != '\r') {
        word += kvfont_charwidth(font, s[end]);
        if (s[end++] == '-') break;
      }
      // A word that does not fit starts a new line, unless the line is
      // still empty (then it is broken where it reaches the edge).
      if (px > x && px + word >= right) new_line();
      for (; i < end; ++i) {
        int w = kvfont_charwidth(font, s[i]);
        if (px > x && px + w >= right) new_line();
        if (draw && py < y + height_limit) pen.put(px, py, s[i], false);
        px += w;
      }
    }
  }
  if (draw) pen.finish();
  return py - y + height;
}

int kvfont_textheight(int width, const char* text, int font) {
  return kvfont_wraptext(nullptr, font, 0, 0, width, 10000, 0, text, true);
}
