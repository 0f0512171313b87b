// kvPxMapCache: an exact copy of a rectangle of a pixmap, put back later.
#include <cstring>

#include "toolkit/core/imagefile.h"
#include "toolkit/core/pxmap_internal.h"

namespace {

// Copies pixels exactly (no transparency rules) between two pixmaps of the
// same memory or surface format; other pairs go through the merge.
void copy_exact(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h) {
  using namespace kivo::pxmap;
  if (dst->format != src->format || !dst->data || !src->data) {
    kvpxmap_merge4(dst, src, dx, dy, sx, sy, w, h, 0);
    return;
  }
  if (!clip_copy(dx, dy, sx, sy, w, h, src->width, src->height, dst->width, dst->height)) return;
  switch (dst->format) {
    case KVPX_PALETTE8:
    case KVPX_PALETTE16: {
      size_t bpp = dst->format == KVPX_PALETTE8 ? 1 : 2;
      auto* d = static_cast<uint8_t*>(dst->data);
      const auto* s = static_cast<const uint8_t*>(src->data);
      for (int r = 0; r < h; ++r)
        std::memcpy(d + (size_t(dy + r) * size_t(dst->width) + size_t(dx)) * bpp,
                    s + (size_t(sy + r) * size_t(src->width) + size_t(sx)) * bpp, size_t(w) * bpp);
      break;
    }
    case KVPX_TRUECOLOR:
    case KVPX_SERVER:
    case KVPX_DIRECTX: copy_opaque(pixel_view(dst), dx, dy, pixel_view(src), sx, sy, w, h); break;
    default: break;
  }
}

}  // namespace

void kvPxMapCache::save(kvpxmap* from, int sx, int sy, int w, int h) {
  if (!from) return;
  if (valid && (saved.width != w || saved.height != h || saved.format != from->format)) discard();
  if (!valid) {
    kvpxmap_init(&saved);
    saved.width = w;
    saved.height = h;
    saved.format = from->format;
    if (!kvpxmap_allocate(&saved)) {
      kvpxmap_free(&saved);
      return;
    }
    valid = true;
  }
  source = from;
  x = sx;
  y = sy;
  width = w;
  height = h;
  copy_exact(&saved, from, 0, 0, sx, sy, w, h);
}

void kvPxMapCache::restore() {
  if (valid && source) copy_exact(source, &saved, x, y, 0, 0, width, height);
}

void kvPxMapCache::discard() {
  kvpxmap_free(&saved);
  valid = false;
}
