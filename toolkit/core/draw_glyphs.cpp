// Bitmaps, text patterns, arrow glyphs and the decoration styles of controls.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/core/draw.h"
#include "toolkit/core/draw_internal.h"
#include "toolkit/core/environment.h"

namespace kivo::core {
namespace {

// A filled triangle pointing up (w = 2h - 1) or left (h = 2w - 1), as rows of
// "*" and ".". Down and right are the same flipped.
std::vector<std::string> triangle(const std::string& direction, int size) {
  std::vector<std::string> rows;
  if (direction == "up" || direction == "down") {
    const int w = 2 * size - 1;
    for (int r = 0; r < size; ++r) {
      std::string row(static_cast<size_t>(w), '.');
      for (int x = size - 1 - r; x <= size - 1 + r; ++x) row[static_cast<size_t>(x)] = '*';
      rows.push_back(row);
    }
    if (direction == "down") std::reverse(rows.begin(), rows.end());
  } else if (direction == "left" || direction == "right") {
    const int h = 2 * size - 1;
    for (int r = 0; r < h; ++r) {
      const int ink = size - std::abs(r - (size - 1));
      std::string row(static_cast<size_t>(size), '.');
      for (int x = size - ink; x < size; ++x) row[static_cast<size_t>(x)] = '*';
      if (direction == "right") std::reverse(row.begin(), row.end());
      rows.push_back(row);
    }
  }
  return rows;
}

// Two left (or right) triangles of 4 x 7 side by side with one column between.
std::vector<std::string> double_arrow(bool left) {
  std::vector<std::string> one = triangle(left ? "left" : "right", 4), rows;
  for (const auto& r : one) rows.push_back(r + "." + r);
  return rows;
}

// Pattern of an arrow: size 0 small, 1 normal, 2 big.
std::vector<std::string> arrow_pattern(const char* name, int size) {
  if (!name) return {};
  const std::string n = name;
  const bool vertical = n == "up" || n == "down";
  const bool horizontal = n == "left" || n == "right";
  if (size == 1) {
    if (vertical || horizontal) return triangle(n, 4);  // 7 x 4 and 4 x 7
    if (n == "double left") return double_arrow(true);  // 9 x 7
    if (n == "double right") return double_arrow(false);
    return {};
  }
  if (size == 0 && (vertical || horizontal)) return triangle(n, 3);  // 5 x 3 and 3 x 5
  if (size == 2 && vertical) return triangle(n, 6);                  // 11 x 6
  if (size == 2 && horizontal) return triangle(n, 8);                // 8 x 15
  return {};
}

void draw_arrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour, int size) {
  const std::vector<std::string> rows = arrow_pattern(name, size);
  if (rows.empty() || !p) return;
  const int pw = static_cast<int>(rows[0].size()), ph = static_cast<int>(rows.size());
  const int ax = x + (w - pw) / 2, ay = y + (h - ph) / 2;
  PointBatch batch(p);
  for (int r = 0; r < ph; ++r)
    for (int c = 0; c < pw; ++c)
      if (rows[static_cast<size_t>(r)][static_cast<size_t>(c)] == '*') batch.add(ax + c, ay + r);
  batch.flush(p, colour);
}

int or_role(int colour, int role) { return colour == -1 ? kvcolor(role) : colour; }

// The edges of the outer and inner rectangles of a control's frame.
void outer_top_left(PointBatch& b, const kvpxmap* p, int x, int y, int w, int h) {
  span(b, p, x, x + w - 2, y);
  column(b, p, x, y, y + h - 2);
}
void outer_bottom_right(PointBatch& b, const kvpxmap* p, int x, int y, int w, int h) {
  span(b, p, x, x + w - 1, y + h - 1);
  column(b, p, x + w - 1, y, y + h - 1);
}
void inner_top_left(PointBatch& b, const kvpxmap* p, int x, int y, int w, int h) {
  span(b, p, x + 1, x + w - 3, y + 1);
  column(b, p, x + 1, y + 1, y + h - 3);
}
void inner_bottom_right(PointBatch& b, const kvpxmap* p, int x, int y, int w, int h) {
  span(b, p, x + 1, x + w - 2, y + h - 2);
  column(b, p, x + w - 2, y + 1, y + h - 2);
}

using Edges = void (*)(PointBatch&, const kvpxmap*, int, int, int, int);

void edges(kvpxmap* p, Edges which, int x, int y, int w, int h, int colour) {
  PointBatch b(p);
  which(b, p, x, y, w, h);
  b.flush(p, colour);
}

}  // namespace
}  // namespace kivo::core

using namespace kivo::core;

void kvdraw_bitmap(kvpxmap* p, int x, int y, int w, int h, const unsigned char* bytes, int colour) {
  if (!p || !bytes || w <= 0 || h <= 0) return;
  PointBatch ink(p);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      if (bytes[static_cast<size_t>(r) * w + c]) ink.add(x + c, y + r);
  ink.flush(p, colour);
}

void kvdraw_bitmap2(kvpxmap* p, int x, int y, int w, int h, const unsigned char* bytes, int colour, int background) {
  if (!p || !bytes || w <= 0 || h <= 0) return;
  PointBatch ink(p), back(p);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) (bytes[static_cast<size_t>(r) * w + c] ? ink : back).add(x + c, y + r);
  back.flush(p, background);
  ink.flush(p, colour);
}

namespace {
// Calls f(column, row, character) for the w x h characters of a pattern text.
template <typename F>
void each_cell(const char* text, int w, int h, F f) {
  if (!text || w <= 0 || h <= 0) return;
  long k = 0;
  for (const char* s = text; *s && k < static_cast<long>(w) * h; ++s) {
    if (*s == '\n' || *s == '\r') continue;
    f(static_cast<int>(k % w), static_cast<int>(k / w), *s);
    ++k;
  }
}
}  // namespace

void kvdraw_pattern(kvpxmap* p, int x, int y, const char* text, int w, int h, int colour) {
  if (!p) return;
  PointBatch ink(p);
  each_cell(text, w, h, [&](int c, int r, char ch) {
    if (ch == '*') ink.add(x + c, y + r);
  });
  ink.flush(p, colour);
}

void kvdraw_colorpattern(kvpxmap* p, int x, int y, const char* text, int w, int h, const int* colours) {
  if (!p || !colours) return;
  std::vector<PointBatch> batches(9, PointBatch(p));
  each_cell(text, w, h, [&](int c, int r, char ch) {
    if (ch >= '1' && ch <= '9') batches[static_cast<size_t>(ch - '1')].add(x + c, y + r);
  });
  for (int i = 0; i < 9; ++i)
    if (!batches[static_cast<size_t>(i)].empty()) batches[static_cast<size_t>(i)].flush(p, colours[i]);
}

void kvdraw_arrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour) {
  draw_arrow(p, name, x, y, w, h, colour, 1);
}
void kvdraw_smallarrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour) {
  draw_arrow(p, name, x, y, w, h, colour, 0);
}
void kvdraw_bigarrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour) {
  draw_arrow(p, name, x, y, w, h, colour, 2);
}

void kvdraw_decoration(kvpxmap* p, int style, bool pressed, int x, int y, int w, int h, int c1, int c2, int c3,
                       int c4) {
  if (!p || w <= 0 || h <= 0 || style == 0) return;
  // Far outside any pixmap nothing shows; keeps the edge arithmetic in range.
  if (x < -(1 << 28) || y < -(1 << 28) || x > (1 << 28) || y > (1 << 28)) return;
  w = std::min(w, 1 << 28);
  h = std::min(h, 1 << 28);
  switch (style) {
    case 1: {
      int black = or_role(c1, KV_COLOR_BLACK), white = or_role(c2, KV_COLOR_WHITE);
      int dark = or_role(c3, KV_COLOR_DARK), light = or_role(c4, KV_COLOR_LIGHT);
      if (pressed) std::swap(black, white), std::swap(dark, light);
      edges(p, outer_top_left, x, y, w, h, light);
      edges(p, inner_top_left, x, y, w, h, white);
      edges(p, outer_bottom_right, x, y, w, h, black);
      edges(p, inner_bottom_right, x, y, w, h, dark);
      break;
    }
    case 2: {
      int face = or_role(c1, KV_COLOR_GREY), dark = or_role(c2, KV_COLOR_DARK);
      int black = or_role(c3, KV_COLOR_BLACK), white = or_role(c4, KV_COLOR_WHITE);
      if (pressed) {
        edges(p, outer_top_left, x, y, w, h, dark);
        edges(p, outer_bottom_right, x, y, w, h, face);
        edges(p, inner_top_left, x, y, w, h, black);
      } else {
        kvdraw_frame3d(p, x, y, w, h, white, black);
        edges(p, inner_bottom_right, x, y, w, h, dark);
        edges(p, inner_top_left, x, y, w, h, face);
      }
      break;
    }
    case 3: {
      PointBatch dots(p);
      auto dot = [&](int px, int py) {
        if (((px - x) + (py - y)) % 2 == 0) dots.add(px, py);
      };
      for (int px = x; px < x + w; ++px) dot(px, y), dot(px, y + h - 1);
      for (int py = y; py < y + h; ++py) dot(x, py), dot(x + w - 1, py);
      dots.flush(p, or_role(c1, KV_COLOR_BLACK));
      break;
    }
    case 4:
    case 6: {
      PointBatch b(p);
      span(b, p, x, x + w - 2, y);
      column(b, p, x, y, y + h - 2);
      column(b, p, x + w - 1, y, y + h - 1);
      span(b, p, x, x + w - 1, y + h - 1);
      b.flush(p, or_role(c1, KV_COLOR_BLACK));
      break;
    }
    default: {
      int white = or_role(c1, KV_COLOR_WHITE), black = or_role(c2, KV_COLOR_BLACK);
      if (pressed) std::swap(white, black);
      kvdraw_frame3d(p, x, y, w, h, white, black);
    }
  }
}
