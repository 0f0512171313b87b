// Helpers shared by the drawing primitives.
#pragma once

#include <climits>
#include <cstdint>

#include "toolkit/core/draw_points.h"

namespace kivo::core {

inline int clamp_int(int64_t v) {
  return v < INT_MIN / 2 ? INT_MIN / 2 : v > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(v);
}

void line_points(PointBatch& batch, const kvpxmap* p, int x1, int y1, int x2, int y2, int on, int off);
// A horizontal run (x1..x2 on row y) and a vertical run, clipped.
void span(PointBatch& batch, const kvpxmap* p, int x1, int x2, int y);
void column(PointBatch& batch, const kvpxmap* p, int x, int y1, int y2);
void top_left_edges(PointBatch& batch, const kvpxmap* p, int x, int y, int w, int h);
void bottom_right_edges(PointBatch& batch, const kvpxmap* p, int x, int y, int w, int h);

}  // namespace kivo::core
