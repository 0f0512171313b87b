// Stretching between surface pixmaps and resizing pixmaps.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

namespace {

// Destination pixel d of dn covers source span [lo, hi) of sn pixels (at
// least one pixel, so enlarging repeats pixels and shrinking averages).
void span(int d, int dn, int sn, int& lo, int& hi) {
  lo = int(int64_t(d) * sn / dn);
  hi = int((int64_t(d + 1) * sn + dn - 1) / dn);
  if (hi <= lo) hi = lo + 1;
}

// The part [i0, i1) x [j0, j1) of a dw x dh rectangle at (dx, dy) that
// lies on d.
bool visible(const PixelView& d, int dx, int dy, int dw, int dh, int& i0, int& i1, int& j0, int& j1) {
  i0 = int(std::max<int64_t>(0, -int64_t(dx)));
  j0 = int(std::max<int64_t>(0, -int64_t(dy)));
  i1 = int(std::min<int64_t>(dw, int64_t(d.width) - dx));
  j1 = int(std::min<int64_t>(dh, int64_t(d.height) - dy));
  return i0 < i1 && j0 < j1;
}

// Quality stretch: every destination pixel is the average of the source
// pixels it covers.
void stretch_average(const PixelView& d, int dx, int dy, int dw, int dh, const PixelView& s,
                     int sx, int sy, int sw, int sh) {
  int i0, i1, j0, j1;
  if (!visible(d, dx, dy, dw, dh, i0, i1, j0, j1)) return;
  std::vector<int> x_lo(size_t(i1 - i0)), x_hi(size_t(i1 - i0));
  for (int i = i0; i < i1; ++i) span(i, dw, sw, x_lo[size_t(i - i0)], x_hi[size_t(i - i0)]);
  for (int j = j0; j < j1; ++j) {
    int y_lo, y_hi;
    span(j, dh, sh, y_lo, y_hi);
    uint32_t* out = d.row(dy + j);
    for (int i = i0; i < i1; ++i) {
      int tx = dx + i;
      uint64_t r = 0, g = 0, b = 0, n = 0;
      for (int y = y_lo; y < y_hi; ++y) {
        const uint32_t* in = s.row(sy + y) + sx;
        for (int x = x_lo[size_t(i - i0)]; x < x_hi[size_t(i - i0)]; ++x) {
          uint32_t c = in[x];
          r += (c >> 16) & 0xFF;
          g += (c >> 8) & 0xFF;
          b += c & 0xFF;
          ++n;
        }
      }
      out[tx] = uint32_t(((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n));
    }
  }
}

// Scaled blit: nearest source pixel.
void stretch_nearest(const PixelView& d, int dx, int dy, int dw, int dh, const PixelView& s, int sx,
                     int sy, int sw, int sh) {
  int i0, i1, j0, j1;
  if (!visible(d, dx, dy, dw, dh, i0, i1, j0, j1)) return;
  for (int j = j0; j < j1; ++j) {
    const uint32_t* in = s.row(sy + int(int64_t(j) * sh / dh)) + sx;
    uint32_t* out = d.row(dy + j);
    for (int i = i0; i < i1; ++i) out[dx + i] = in[int64_t(i) * sw / dw];
  }
}

}  // namespace

void kvpxmap_stretch(kvpxmap* dst, kvpxmap* src, int dx, int dy, int dw, int dh, int sx, int sy,
                     int sw, int sh) {
  bool server = dst->format == KVPX_SERVER && src->format == KVPX_SERVER;
  bool directx = dst->format == KVPX_DIRECTX && src->format == KVPX_DIRECTX;
  if (!server && !directx) {
    std::printf("kvpxmap_stretch: unsupported formats: %d -> %d\n", int(src->format), int(dst->format));
    return;
  }
  if (dw == 0 || dw == -1) dw = src->width;
  if (dh == 0 || dh == -1) dh = src->height;
  if (sw == 0) sw = src->width;
  if (sh == 0) sh = src->height;
  PixelView d = pixel_view(dst), s = pixel_view(src);
  if (!d.pixels || !s.pixels || dw <= 0 || dh <= 0) return;
  // The source rectangle is kept inside the source.
  if (!clip_rect(sx, sy, sw, sh, s.width, s.height)) return;
  if (server)
    stretch_average(d, dx, dy, dw, dh, s, sx, sy, sw, sh);
  else
    stretch_nearest(d, dx, dy, dw, dh, s, sx, sy, sw, sh);
}

void kvpxmap_resize(kvpxmap* p, int w, int h) {
  switch (p->format) {
    case KVPX_SCREEN:
      p->width = w;
      p->height = h;
      return;
    case KVPX_TRUECOLOR: {
      auto* out = static_cast<uint32_t*>(new_memory(KVPX_TRUECOLOR, w, h));
      if (!out) return;
      PixelView old = pixel_view(p);
      if (old.pixels)
        copy_opaque({out, w, h, w}, 0, 0, old, 0, 0, std::min(w, p->width), std::min(h, p->height));
      release_storage(p);
      p->data = out;
      p->width = w;
      p->height = h;
      return;
    }
    case KVPX_SERVER: {
      kvpxmap_server* server = new_server(w, h);
      if (!server) return;
      release_storage(p);
      p->data = server;
      p->width = w;
      p->height = h;
      return;
    }
    default: std::printf("kvpxmap_resize: wrong format %d\n", int(p->format));
  }
}
