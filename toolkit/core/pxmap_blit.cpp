// Clipping and the pixel kernels behind every copy and fill of 32-bit
// pixels. Rows are moved with memcpy so that opaque copies run at memory
// speed; the keyed copy is a branch-free select the compiler vectorises.
#include <algorithm>
#include <cstring>

#include "toolkit/core/pxmap_internal.h"

namespace kivo::pxmap {

bool clip_rect(int& x, int& y, int& w, int& h, int width, int height) {
  if (x < 0) {
    w += x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    y = 0;
  }
  if (x >= width || y >= height || w <= 0 || h <= 0) return false;
  w = std::min(w, width - x);
  h = std::min(h, height - y);
  return w > 0 && h > 0;
}

bool clip_copy(int& dx, int& dy, int& sx, int& sy, int& w, int& h, int sw, int sh, int dw,
               int dh) {
  // Negative positions on either side move the other side's start inward.
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  if (w <= 0 || h <= 0 || sx >= sw || sy >= sh || dx >= dw || dy >= dh) return false;
  w = std::min({w, sw - sx, dw - dx});
  h = std::min({h, sh - sy, dh - dy});
  return w > 0 && h > 0;
}

void copy_opaque(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy,
                 int w, int h) {
  size_t bytes = size_t(w) * sizeof(uint32_t);
  if (dst.pixels == src.pixels && dy > sy) {
    // Overlapping copy inside one view: walk bottom-up.
    for (int r = h - 1; r >= 0; --r) std::memmove(dst.row(dy + r) + dx, src.row(sy + r) + sx, bytes);
    return;
  }
  if (dst.pixels == src.pixels) {
    for (int r = 0; r < h; ++r) std::memmove(dst.row(dy + r) + dx, src.row(sy + r) + sx, bytes);
    return;
  }
  for (int r = 0; r < h; ++r) std::memcpy(dst.row(dy + r) + dx, src.row(sy + r) + sx, bytes);
}

void copy_keyed(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy, int w,
                int h, uint32_t key) {
  for (int r = 0; r < h; ++r) {
    uint32_t* d = dst.row(dy + r) + dx;
    const uint32_t* s = src.row(sy + r) + sx;
    for (int i = 0; i < w; ++i) {
      uint32_t v = s[i];
      d[i] = v == key ? d[i] : v;
    }
  }
}

void fill(const PixelView& dst, int x, int y, int w, int h, uint32_t value) {
  for (int r = 0; r < h; ++r) std::fill_n(dst.row(y + r) + x, w, value);
}

void and_or(const PixelView& dst, int dx, int dy, const PixelView& mask, const PixelView& src,
            int sx, int sy, int w, int h) {
  for (int r = 0; r < h; ++r) {
    uint32_t* d = dst.row(dy + r) + dx;
    const uint32_t* m = mask.row(sy + r) + sx;
    const uint32_t* s = src.row(sy + r) + sx;
    for (int i = 0; i < w; ++i) d[i] = (d[i] & m[i]) | s[i];
  }
}

}  // namespace kivo::pxmap
