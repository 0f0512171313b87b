// Pixel access, clearing and filling of every format.
#include <algorithm>
#include <cstdio>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

namespace {

bool inside(const kvpxmap* p, int x, int y) {
  return x >= 0 && y >= 0 && x < p->width && y < p->height;
}

// Fills an already clipped rectangle of a memory or surface format.
void fill_clipped(kvpxmap* p, int x, int y, int w, int h, int colour) {
  size_t width = size_t(p->width);
  switch (p->format) {
    case KVPX_PALETTE8: {
      auto* d = static_cast<uint8_t*>(p->data);
      for (int r = y; r < y + h; ++r) std::fill_n(d + size_t(r) * width + x, w, uint8_t(colour));
      break;
    }
    case KVPX_PALETTE16: {
      auto* d = static_cast<int16_t*>(p->data);
      for (int r = y; r < y + h; ++r) std::fill_n(d + size_t(r) * width + x, w, int16_t(colour));
      break;
    }
    case KVPX_TRUECOLOR:
    case KVPX_SERVER: fill(pixel_view(p), x, y, w, h, uint32_t(colour)); break;
    case KVPX_DIRECTX: fill(pixel_view(p), x, y, w, h, to_screen_layout(uint32_t(colour))); break;
  }
}

bool has_storage(const kvpxmap* p) {
  if (!p->data) return false;
  if (p->format == KVPX_SERVER || p->format == KVPX_DIRECTX) return kvpxmap_surface(p) != nullptr;
  return true;
}

}  // namespace

void kvpxmap_clear(kvpxmap* p, int colour) {
  if (p->format == KVPX_SCREEN) return;
  if (p->format < KVPX_PALETTE8 || p->format > KVPX_DIRECTX) {
    std::printf("kvpxmap_clear: wrong format\n");
    return;
  }
  if (!has_storage(p)) return;
  fill_clipped(p, 0, 0, p->width, p->height, colour);
}

void kvpxmap_fillrect(kvpxmap* p, int x, int y, int w, int h, int colour) {
  if (p->format == KVPX_SCREEN) return;
  if (!clip_rect(x, y, w, h, p->width, p->height)) return;
  if (p->format < KVPX_PALETTE8 || p->format > KVPX_DIRECTX) {
    // Unknown formats go through the pixel setter, which reports them.
    for (int r = y; r < y + h; ++r)
      for (int c = x; c < x + w; ++c) kvpxmap_setpixel(p, c, r, colour);
    return;
  }
  if (!has_storage(p)) return;
  fill_clipped(p, x, y, w, h, colour);
}

void kvpxmap_setpixel(kvpxmap* p, int x, int y, int colour) {
  switch (p->format) {
    case KVPX_PALETTE8:
    case KVPX_PALETTE16:
    case KVPX_TRUECOLOR:
    case KVPX_SERVER:
    case KVPX_DIRECTX:
      if (inside(p, x, y) && has_storage(p)) fill_clipped(p, x, y, 1, 1, colour);
      return;
    case KVPX_SCREEN: return;
    default: std::printf("kvpxmap_setpixel: wrong format %d\n", int(p->format));
  }
}

int kvpxmap_getpixel(const kvpxmap* p, int x, int y) {
  switch (p->format) {
    case KVPX_PALETTE8:
    case KVPX_PALETTE16:
    case KVPX_TRUECOLOR:
    case KVPX_SERVER:
    case KVPX_DIRECTX: break;
    case KVPX_SCREEN: return -1;
    default: std::printf("kvpxmap_getpixel: wrong format\n"); return -1;
  }
  if (!inside(p, x, y) || !has_storage(p)) return -1;
  size_t i = size_t(x) + size_t(y) * size_t(p->width);
  switch (p->format) {
    case KVPX_PALETTE8: return static_cast<const uint8_t*>(p->data)[i];
    case KVPX_PALETTE16: return static_cast<const int16_t*>(p->data)[i];
    case KVPX_TRUECOLOR: return int(static_cast<const uint32_t*>(p->data)[i]);
    default: return int(pixel_view(p).row(y)[x] & 0xFFFFFF);
  }
}

void kvpxmap_setpoints(kvpxmap* p, int count, const int* xs, const int* ys, int colour) {
  if (count <= 0 || !xs || !ys) return;
  if (p->format == KVPX_TRUECOLOR || p->format == KVPX_SERVER || p->format == KVPX_DIRECTX) {
    PixelView v = pixel_view(p);
    if (!v.pixels) return;
    uint32_t value = p->format == KVPX_DIRECTX ? to_screen_layout(uint32_t(colour)) : uint32_t(colour);
    for (int i = 0; i < count; ++i)
      if (inside(p, xs[i], ys[i])) v.row(ys[i])[xs[i]] = value;
    return;
  }
  for (int i = 0; i < count; ++i) kvpxmap_setpixel(p, xs[i], ys[i], colour);
}
