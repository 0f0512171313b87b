// Lines, dashed lines and rectangles.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "toolkit/core/draw.h"
#include "toolkit/core/draw_internal.h"

namespace kivo::core {

// Steps the longer axis from the start toward the end (the end excluded),
// the other coordinate by the ratio of the extents, rounded by adding 0.5
// and truncating; then adds the end point. With a dash pattern, step i is
// drawn when i mod (on + off) < on. Only the steps whose longer-axis
// coordinate lies inside the pixmap are visited, so huge coordinates cost
// no time.
void line_points(PointBatch& batch, const kvpxmap* p, int x1, int y1, int x2, int y2, int on, int off) {
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  if (dx == 0 && dy == 0) {
    batch.add(x1, y1);
    return;
  }
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const int64_t steps = x_major ? std::llabs(dx) : std::llabs(dy);
  const int64_t major_start = x_major ? x1 : y1;
  const int sign = (x_major ? dx : dy) > 0 ? 1 : -1;
  const double ratio = static_cast<double>(x_major ? dy : dx) / static_cast<double>(steps);
  const int minor_start = x_major ? y1 : x1;
  const int64_t limit = x_major ? p->width : p->height;
  // Steps i with 0 <= major_start + sign * i < limit.
  int64_t first = 0, last = steps - 1;
  if (sign > 0) {
    first = std::max<int64_t>(first, -major_start);
    last = std::min<int64_t>(last, limit - 1 - major_start);
  } else {
    first = std::max<int64_t>(first, major_start - (limit - 1));
    last = std::min<int64_t>(last, major_start);
  }
  const int64_t period = on > 0 && off > 0 ? int64_t{on} + off : 0;
  if (on <= 0 && off > 0) last = first - 1;  // nothing on: only the end point
  for (int64_t i = first; i <= last; ++i) {
    if (period && i % period >= on) continue;
    const int major = static_cast<int>(major_start + sign * i);
    const double m = minor_start + static_cast<double>(i) * ratio + 0.5;
    if (m < -1e9 || m > 1e9) continue;
    const int minor = static_cast<int>(m);
    if (x_major) batch.add(major, minor);
    else batch.add(minor, major);
  }
  batch.add(x2, y2);
}

void span(PointBatch& batch, const kvpxmap* p, int x1, int x2, int y) {
  if (y < 0 || y >= p->height || x2 < x1) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, p->width - 1);
  for (int x = x1; x <= x2; ++x) batch.add(x, y);
}

void column(PointBatch& batch, const kvpxmap* p, int x, int y1, int y2) {
  if (x < 0 || x >= p->width || y2 < y1) return;
  y1 = std::max(y1, 0);
  y2 = std::min(y2, p->height - 1);
  for (int y = y1; y <= y2; ++y) batch.add(x, y);
}

// The four edges of an outline: top and left, then right and bottom.
void top_left_edges(PointBatch& batch, const kvpxmap* p, int x, int y, int w, int h) {
  const int64_t r = int64_t{x} + w - 1, b = int64_t{y} + h - 1;
  span(batch, p, x, clamp_int(r), y);
  column(batch, p, x, y, clamp_int(b));
}

void bottom_right_edges(PointBatch& batch, const kvpxmap* p, int x, int y, int w, int h) {
  const int64_t r = int64_t{x} + w - 1, b = int64_t{y} + h - 1;
  column(batch, p, clamp_int(r), y, clamp_int(b));
  span(batch, p, clamp_int(int64_t{x} + 1), clamp_int(r), clamp_int(b));
}

}  // namespace kivo::core

using namespace kivo::core;

void kvdraw_line(kvpxmap* p, int x1, int y1, int x2, int y2, int colour) { kvdraw_dashline(p, x1, y1, x2, y2, colour, 0, 0); }

void kvdraw_dashline(kvpxmap* p, int x1, int y1, int x2, int y2, int colour, int on, int off) {
  if (!p) return;
  p->penx = x2;
  p->peny = y2;
  PointBatch batch(p);
  line_points(batch, p, x1, y1, x2, y2, on, off);
  batch.flush(p, colour);
}

void kvdraw_lineto(kvpxmap* p, int x, int y, int colour) {
  if (p) kvdraw_line(p, p->penx, p->peny, x, y, colour);
}

void kvdraw_moveto(kvpxmap* p, int x, int y) {
  if (!p) return;
  p->penx = x;
  p->peny = y;
}

void kvdraw_dashto(kvpxmap* p, int x, int y, int colour) {
  if (p) kvdraw_dashline(p, p->penx, p->peny, x, y, colour, 3, 3);
}

void kvdraw_rect(kvpxmap* p, int x, int y, int w, int h, int colour) { kvdraw_frame3d(p, x, y, w, h, colour, colour); }

void kvdraw_frame3d(kvpxmap* p, int x, int y, int w, int h, int top_left, int bottom_right) {
  if (!p || w <= 0 || h <= 0) return;
  PointBatch batch(p);
  top_left_edges(batch, p, x, y, w, h);
  batch.flush(p, top_left);
  bottom_right_edges(batch, p, x, y, w, h);
  batch.flush(p, bottom_right);
}

void kvdraw_box3d(kvpxmap* p, int x, int y, int w, int h, int fill, int top_left, int bottom_right) {
  if (!p || w <= 0 || h <= 0) return;
  if (w > 2 && h > 2) kvpxmap_fillrect(p, x + 1, y + 1, w - 2, h - 2, fill);
  kvdraw_frame3d(p, x, y, w, h, top_left, bottom_right);
}

void kvdraw_shadowrect(kvpxmap* p, int x, int y, int w, int h, int colour) {
  if (!p || w <= 0 || h <= 0) return;
  kvdraw_rect(p, x, y, w, h, colour);
  PointBatch batch(p);
  const int right = clamp_int(int64_t{x} + w), bottom = clamp_int(int64_t{y} + h);
  for (int k = 0; k < 2; ++k) {
    column(batch, p, clamp_int(int64_t{right} + k), clamp_int(int64_t{y} + 2), clamp_int(int64_t{bottom} + 1));
    span(batch, p, clamp_int(int64_t{x} + 2), right, clamp_int(int64_t{bottom} + k));
  }
  batch.flush(p, colour);
}

void kvdraw_fillrect(kvpxmap* p, int x, int y, int w, int h, int colour) {
  if (p) kvpxmap_fillrect(p, x, y, w, h, colour);
}
