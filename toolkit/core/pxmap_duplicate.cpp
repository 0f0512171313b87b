// Duplicating a rectangle of a pixmap into a new pixmap of the same format.
#include <cstdio>
#include <cstring>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

namespace {

PixelView view_of(kivo::port::Surface* s) { return {s->pixels, s->width, s->height, s->stride}; }

}  // namespace

bool kvpxmap_duplicate(kvpxmap* dst, const kvpxmap* src, int x, int y, int w, int h) {
  uint32_t f = src->format;
  if (f != KVPX_PALETTE8 && f != KVPX_TRUECOLOR && f != KVPX_SERVER && f != KVPX_DIRECTX) {
    std::printf("kvpxmap_duplicate: wrong format\n");
    return false;
  }
  if (!src->data || !src->palette) return false;
  if (x == -1) x = 0;
  if (y == -1) y = 0;
  if (w == -1) w = src->width - x;
  if (h == -1) h = src->height - y;
  // The rectangle is kept inside the source.
  if (!clip_rect(x, y, w, h, src->width, src->height)) return false;

  kvpxmap copy;
  copy.width = w;
  copy.height = h;
  copy.format = f;
  if (!kvpxmap_allocate(&copy)) {
    kvpxmap_free(&copy);
    return false;
  }
  std::memcpy(copy.palette, src->palette, 256 * sizeof(uint32_t));
  copy.nextfreepal = src->nextfreepal;
  if (f == KVPX_PALETTE8) {
    const auto* in = static_cast<const uint8_t*>(src->data);
    auto* out = static_cast<uint8_t*>(copy.data);
    for (int r = 0; r < h; ++r)
      std::memcpy(out + size_t(r) * size_t(w), in + size_t(y + r) * size_t(src->width) + x, size_t(w));
  } else {
    copy_opaque(pixel_view(&copy), 0, 0, pixel_view(src), x, y, w, h);
  }
  if (f == KVPX_SERVER) {
    // The duplicate keeps the transparency of the original.
    kivo::port::Surface* mask = kvpxmap_mask(src);
    auto* server = static_cast<kvpxmap_server*>(copy.data);
    if (mask) {
      if (!server_add_mask(server)) {
        kvpxmap_free(&copy);
        return false;
      }
      copy_opaque(view_of(server->mask), 0, 0, view_of(mask), x, y, w, h);
    }
  }
  if (f == KVPX_DIRECTX)
    static_cast<kvpxmap_directx*>(copy.data)->colour_key =
        static_cast<const kvpxmap_directx*>(src->data)->colour_key;
  if (dst != src) kvpxmap_free(dst);
  else {
    kvpxmap old = *dst;
    kvpxmap_free(&old);
  }
  *dst = copy;
  return true;
}
