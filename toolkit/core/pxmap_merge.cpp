// Merging: copying a rectangle of one pixmap onto another with the
// transparency rules of the two formats.
#include <cstdio>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

namespace {

bool memory_ready(const kvpxmap* p) { return p->data && p->palette; }

// Clips the copy to both pixmaps; false when nothing is left.
bool clip(const kvpxmap* dst, const kvpxmap* src, int& dx, int& dy, int& sx, int& sy, int& w,
          int& h) {
  return clip_copy(dx, dy, sx, sy, w, h, src->width, src->height, dst->width, dst->height);
}

// The index a colour has in dst for the colour-mapping copy: an existing
// entry 0 to 254, else a new slot for the colour reduced to 2 bits per
// channel. Never 255, which would make the pixel transparent.
int map_colour(kvpxmap* dst, uint32_t colour) {
  for (int i = 0; i < 255; ++i)
    if (dst->palette[i] == colour) return i;
  uint32_t reduced = colour & 0xC0C0C0;
  int index = kvpxmap_palette_add(dst, int(reduced));
  if (index == 255) {
    for (int i = 0; i < 255; ++i)
      if (dst->palette[i] == reduced) return i;
    if (dst->nextfreepal < 1 || dst->nextfreepal > 254) dst->nextfreepal = 254;
    index = dst->nextfreepal;
    dst->palette[index] = reduced;
    dst->nextfreepal = index == 1 ? 254 : index - 1;
  }
  return index;
}

void server_from_palette8(kvpxmap* dst, const kvpxmap* src, int dx, int dy, int sx, int sy, int w,
                          int h) {
  // AND with a mask that is white where the index is 255, then OR with the
  // colours (black there): transparent pixels keep the destination.
  PixelView d = pixel_view(dst);
  const uint8_t* in = static_cast<const uint8_t*>(src->data);
  for (int r = 0; r < h; ++r) {
    uint32_t* o = d.row(dy + r) + dx;
    const uint8_t* s = in + size_t(sy + r) * size_t(src->width) + sx;
    for (int i = 0; i < w; ++i)
      if (s[i] != 255) o[i] = src->palette[s[i]] & 0xFFFFFF;
  }
}

}  // namespace

void kvpxmap_merge_truecolortopal8(kvpxmap*, kvpxmap*, int, int, int, int, int, int) {
  std::printf("kvpxmap_merge_truecolortopal8: not implemented\n");
}

void kvpxmap_merge_pal8topal8(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w,
                              int h, int palettecode) {
  if (palettecode == 2) {
    std::printf("kvpxmap_merge_pal8topal8_pc2\n");
    return;
  }
  if (palettecode < 0 || palettecode > 3) {
    std::printf("kvpxmap_merge_pal8topal8: wrong PaletteCode (%d)\n", palettecode);
    return;
  }
  if (!memory_ready(dst) || !memory_ready(src)) return;
  uint8_t map[256];
  for (int i = 0; i < 256; ++i) map[i] = uint8_t(i);
  if (palettecode == 0)
    for (int i = 0; i < 255; ++i) map[i] = uint8_t(map_colour(dst, src->palette[i]));
  if (clip(dst, src, dx, dy, sx, sy, w, h)) {
    auto* out = static_cast<uint8_t*>(dst->data);
    const auto* in = static_cast<const uint8_t*>(src->data);
    for (int r = 0; r < h; ++r) {
      uint8_t* o = out + size_t(dy + r) * size_t(dst->width) + dx;
      const uint8_t* s = in + size_t(sy + r) * size_t(src->width) + sx;
      if (palettecode == 3) {
        for (int i = 0; i < w; ++i) o[i] = s[i];
      } else {
        for (int i = 0; i < w; ++i)
          if (s[i] != 255) o[i] = map[s[i]];
      }
    }
  }
  if (palettecode == 3)
    for (int i = 0; i < 256; ++i) dst->palette[i] = src->palette[i];
}

void kvpxmap_merge1(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h,
                    int palettecode) {
  if (src->format == KVPX_PALETTE8)
    kvpxmap_merge_pal8topal8(dst, src, dx, dy, sx, sy, w, h, palettecode);
  else if (src->format == KVPX_TRUECOLOR)
    kvpxmap_merge_truecolortopal8(dst, src, dx, dy, sx, sy, w, h);
  else
    std::printf("kvpxmap_merge1: unsupported formats: %d -> %d\n", int(src->format), int(dst->format));
}

void kvpxmap_merge2(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h) {
  if (src->format != KVPX_PALETTE8 && src->format != KVPX_TRUECOLOR) {
    std::printf("kvpxmap_merge2: unsupported formats: %d -> %d\n", int(src->format), int(dst->format));
    return;
  }
  if (!memory_ready(dst) || !memory_ready(src) || !clip(dst, src, dx, dy, sx, sy, w, h)) return;
  PixelView d = pixel_view(dst);
  if (src->format == KVPX_TRUECOLOR) {
    copy_keyed(d, dx, dy, pixel_view(src), sx, sy, w, h, src->palette[255]);
    return;
  }
  const auto* in = static_cast<const uint8_t*>(src->data);
  for (int r = 0; r < h; ++r) {
    uint32_t* o = d.row(dy + r) + dx;
    const uint8_t* s = in + size_t(sy + r) * size_t(src->width) + sx;
    for (int i = 0; i < w; ++i)
      if (s[i] != 255) o[i] = src->palette[s[i]];
  }
}

void kvpxmap_merge3(kvpxmap*, kvpxmap* src, int, int, int, int, int, int) {
  if (src->format != KVPX_TRUECOLOR && src->format != KVPX_SERVER)
    std::printf("kvpxmap_merge3: unsupported formats: %d -> screen\n", int(src->format));
}

namespace {

void merge_onto_server(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h) {
  if (src->format != KVPX_PALETTE8 && src->format != KVPX_TRUECOLOR && src->format != KVPX_SERVER) {
    std::printf("pxmapmerge not supported: %d -> %d\n", int(src->format), int(dst->format));
    return;
  }
  PixelView d = pixel_view(dst);
  if (!d.pixels || !src->data || !clip(dst, src, dx, dy, sx, sy, w, h)) return;
  if (src->format == KVPX_PALETTE8) {
    if (src->palette) server_from_palette8(dst, src, dx, dy, sx, sy, w, h);
    return;
  }
  PixelView s = pixel_view(src);
  if (!s.pixels) return;
  kivo::port::Surface* mask = kvpxmap_mask(src);
  if (mask) {
    and_or(d, dx, dy, {mask->pixels, mask->width, mask->height, mask->stride}, s, sx, sy, w, h);
  } else {
    copy_opaque(d, dx, dy, s, sx, sy, w, h);
  }
}

}  // namespace

void kvpxmap_merge4(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h,
                    int palettecode) {
  if (w == 0 || w == -1) w = src->width;
  if (h == 0 || h == -1) h = src->height;
  switch (dst->format) {
    case KVPX_PALETTE8: kvpxmap_merge1(dst, src, dx, dy, sx, sy, w, h, palettecode); break;
    case KVPX_TRUECOLOR: kvpxmap_merge2(dst, src, dx, dy, sx, sy, w, h); break;
    case KVPX_SERVER: merge_onto_server(dst, src, dx, dy, sx, sy, w, h); break;
    case KVPX_SCREEN: kvpxmap_merge3(dst, src, dx, dy, sx, sy, w, h); break;
    case KVPX_DIRECTX:
      if (kvpxmap_convert2directx(src)) kvllgui_copypxmap2directx(dst, src, dx, dy, w, h, sx, sy);
      break;
    default:
      std::printf("kvpxmap_merge4: unsupported formats: %d -> %d\n", int(src->format), int(dst->format));
  }
}
