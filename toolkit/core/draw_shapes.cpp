// Circles, ellipses, arcs and flood fill.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "toolkit/core/draw.h"
#include "toolkit/core/draw_internal.h"

namespace kivo::core {
namespace {

constexpr double kPi = std::numbers::pi;
// Radii beyond the largest pixmap step as if they were that large, so that a
// huge radius cannot make a shape take unbounded time.
constexpr double kMaxStepRadius = kvpxmap_max_dimension;

double step_for(double radius, double factor) {
  radius = std::min(std::abs(radius), kMaxStepRadius);
  return kPi / (factor * radius);
}

int trunc_int(double v) {
  if (v < -1e9) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<int>(v);
}

void arc_points(PointBatch& batch, int x, int y, int rx, int ry, double start_deg, double end_deg) {
  if (rx == 0 || ry == 0) return;
  if (end_deg < start_deg) end_deg += 360.0 * std::ceil((start_deg - end_deg) / 360.0);
  end_deg = std::min(end_deg, start_deg + 360.0);
  const double start = start_deg * kPi / 180.0, end = end_deg * kPi / 180.0;
  const double step = step_for(rx, 12);
  const long count = static_cast<long>((end - start) / step);
  for (long i = 0; i <= count; ++i) {
    const double t = start + static_cast<double>(i) * step;
    // Rounded to the nearest pixel on both sides of the centre (truncating
    // toward zero would pull the left and upper halves in by one pixel).
    batch.add(trunc_int(x + std::floor(rx * std::cos(t) + 0.5)), trunc_int(y + std::floor(ry * std::sin(t) + 0.5)));
  }
}

}  // namespace
}  // namespace kivo::core

using namespace kivo::core;

void kvdraw_arc(kvpxmap* p, int x, int y, int rx, int ry, int start, int end, int colour) {
  if (!p) return;
  PointBatch batch(p);
  arc_points(batch, x, y, rx, ry, start, end);
  batch.flush(p, colour);
}

void kvdraw_ellipse(kvpxmap* p, int x, int y, int rx, int ry, int colour) { kvdraw_arc(p, x, y, rx, ry, 0, 360, colour); }

void kvdraw_circle(kvpxmap* p, int x, int y, int r, int colour) { kvdraw_arc(p, x, y, r, r, 0, 360, colour); }

namespace {
// Shapes larger than any pixmap are filled row by row, which gives the same
// area without sampling gaps and in time bounded by the pixmap's height.
void fill_rows(kvpxmap* p, PointBatch& batch, int x, int y, double rx, double ry) {
  rx = std::abs(rx), ry = std::abs(ry);
  const long first = std::max<long>(0, static_cast<long>(std::floor(y - ry)));
  const long last = std::min<long>(p->height - 1, static_cast<long>(std::ceil(y + ry)));
  for (long row = first; row <= last; ++row) {
    const double d = (row - y) / ry;
    if (d < -1 || d > 1) continue;
    const double half = rx * std::sqrt(1 - d * d);
    span(batch, p, trunc_int(std::floor(x - half + 0.5)), trunc_int(std::floor(x + half + 0.5)), static_cast<int>(row));
  }
}
}  // namespace

void kvdraw_fillcircle(kvpxmap* p, int x, int y, int r, int colour) {
  if (!p || r == 0) return;
  PointBatch batch(p);
  if (std::abs(static_cast<double>(r)) > kMaxStepRadius) {
    fill_rows(p, batch, x, y, r, r);
    batch.flush(p, colour);
    return;
  }
  const double step = step_for(r, 12);
  const long count = static_cast<long>(kPi / step);
  for (long i = 0; i <= count; ++i) {
    const double t = kPi / 2 + static_cast<double>(i) * step;
    const double c = r * std::cos(t);
    const int row = trunc_int(y + r * std::sin(t) + 0.5);
    const int a = trunc_int(x + c + 0.5), b = trunc_int(x - c + 0.5);
    span(batch, p, std::min(a, b), std::max(a, b), row);
  }
  batch.flush(p, colour);
}

void kvdraw_fillellipse(kvpxmap* p, int x, int y, int rx, int ry, int colour) {
  if (!p || (rx == 0 && ry == 0)) return;
  PointBatch batch(p);
  if (std::max(std::abs(static_cast<double>(rx)), std::abs(static_cast<double>(ry))) > kMaxStepRadius) {
    if (ry != 0) fill_rows(p, batch, x, y, rx, ry);
    batch.flush(p, colour);
    return;
  }
  const double step = step_for(std::max(std::abs(rx), std::abs(ry)), 4);
  const long count = static_cast<long>(kPi / step);
  for (long i = 0; i <= count; ++i) {
    const double t = kPi / 2 + static_cast<double>(i) * step;
    const double c = rx * std::cos(t);
    const int row = trunc_int(y + ry * std::sin(t));
    const int a = trunc_int(x + c), b = trunc_int(x - c);
    span(batch, p, std::min(a, b), std::max(a, b), row);
  }
  batch.flush(p, colour);
}

void kvdraw_floodfill(kvpxmap* p, int x, int y, int colour) {
  if (!p || x < 0 || y < 0 || x >= p->width || y >= p->height) return;
  const int target = kvpxmap_getpixel(p, x, y);
  if (target == colour || target == -1) return;
  const int w = p->width, h = p->height;
  // Scan-line fill with an explicit stack of seeds; `done` marks filled
  // pixels so that the colour comparison reads the original pixmap.
  std::vector<bool> done(static_cast<size_t>(w) * h, false);
  auto fillable = [&](int px, int py) {
    return !done[static_cast<size_t>(py) * w + px] && kvpxmap_getpixel(p, px, py) == target;
  };
  PointBatch batch(p);
  std::vector<std::pair<int, int>> seeds{{x, y}};
  while (!seeds.empty()) {
    auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (!fillable(sx, sy)) continue;
    int left = sx, right = sx;
    while (left > 0 && fillable(left - 1, sy)) --left;
    while (right < w - 1 && fillable(right + 1, sy)) ++right;
    for (int px = left; px <= right; ++px) {
      done[static_cast<size_t>(sy) * w + px] = true;
      batch.add(px, sy);
    }
    for (int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= h) continue;
      bool in_run = false;
      for (int px = left; px <= right; ++px) {
        bool f = fillable(px, ny);
        if (f && !in_run) seeds.emplace_back(px, ny);
        in_run = f;
      }
    }
  }
  batch.flush(p, colour);
}
