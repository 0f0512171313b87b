// Directx pixmaps: the opaque-copy switch, the screen pixel layout and the
// copy onto a directx pixmap.
#include <atomic>
#include <cstdio>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

namespace {

std::atomic<bool> g_opaque_copy{false};
// 0: 32 bits (colours kept); otherwise the channel masks of a 16-bit layout.
std::atomic<uint32_t> g_screen_mask{0};

}  // namespace

namespace kivo::pxmap {

uint32_t to_screen_layout(uint32_t colour) {
  uint32_t mask = g_screen_mask.load(std::memory_order_relaxed);
  colour &= 0xFFFFFF;
  return mask ? colour & mask : colour;
}

}  // namespace kivo::pxmap

using namespace kivo::pxmap;

void kvpxmap_setopaquecopy(bool on) { g_opaque_copy.store(on, std::memory_order_relaxed); }
bool kvpxmap_opaquecopy() { return g_opaque_copy.load(std::memory_order_relaxed); }

void kvpxmap_setscreenlayout(int bits_per_pixel, bool green6) {
  uint32_t mask = 0;
  if (bits_per_pixel == 16) mask = green6 ? 0xF8FCF8 : 0xF8F8F8;
  g_screen_mask.store(mask, std::memory_order_relaxed);
}

void kvllgui_copypxmap2directx(kvpxmap* dst, kvpxmap* src, int dx, int dy, int w, int h, int sx,
                               int sy) {
  if (dst->format != KVPX_DIRECTX || (src->format != KVPX_SERVER && src->format != KVPX_DIRECTX)) {
    std::printf("kvllgui_copypxmap2directx not supported: %d -> %d\n", int(src->format),
                int(dst->format));
    return;
  }
  PixelView d = pixel_view(dst);
  PixelView s = pixel_view(src);
  if (!d.pixels || !s.pixels) return;
  if (w <= 0) w = src->width;
  if (h <= 0) h = src->height;
  if (!clip_copy(dx, dy, sx, sy, w, h, s.width, s.height, d.width, d.height)) return;
  bool keyed = src->format == KVPX_DIRECTX && static_cast<kvpxmap_directx*>(src->data)->colour_key &&
               !kvpxmap_opaquecopy();
  if (keyed)
    copy_keyed(d, dx, dy, s, sx, sy, w, h, 0);
  else
    copy_opaque(d, dx, dy, s, sx, sy, w, h);
}
