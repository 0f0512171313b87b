// Conversions of pixmaps between formats, in place.
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

namespace {

// Server storage holding a palette8 or truecolor pixmap's pixels: the
// transparent ones (index 255, or the colour of entry 255) become black
// with a white mask pixel.
kvpxmap_server* server_from_memory(const kvpxmap* p) {
  kvpxmap_server* server = new_server(p->width, p->height);
  if (!server) return nullptr;
  PixelView out{server->surface->pixels, p->width, p->height, server->surface->stride};
  size_t w = size_t(p->width);
  bool any_transparent = false;
  for (int y = 0; y < p->height && !any_transparent; ++y) {
    for (size_t x = 0; x < w; ++x) {
      bool transparent = p->format == KVPX_PALETTE8
                             ? static_cast<const uint8_t*>(p->data)[y * w + x] == 255
                             : static_cast<const uint32_t*>(p->data)[y * w + x] == p->palette[255];
      if (transparent) {
        any_transparent = true;
        break;
      }
    }
  }
  if (any_transparent && !server_add_mask(server)) {
    free_server(server);
    return nullptr;
  }
  PixelView mask;
  if (any_transparent)
    mask = {server->mask->pixels, p->width, p->height, server->mask->stride};
  for (int y = 0; y < p->height; ++y) {
    uint32_t* o = out.row(y);
    uint32_t* m = any_transparent ? mask.row(y) : nullptr;
    if (p->format == KVPX_PALETTE8) {
      const uint8_t* s = static_cast<const uint8_t*>(p->data) + y * w;
      for (size_t x = 0; x < w; ++x) {
        bool t = s[x] == 255;
        o[x] = t ? 0 : p->palette[s[x]] & 0xFFFFFF;
        if (m) m[x] = t ? 0xFFFFFF : 0;
      }
    } else {
      const uint32_t* s = static_cast<const uint32_t*>(p->data) + y * w;
      uint32_t key = p->palette[255];
      for (size_t x = 0; x < w; ++x) {
        bool t = s[x] == key;
        o[x] = t ? 0 : s[x];
        if (m) m[x] = t ? 0xFFFFFF : 0;
      }
    }
  }
  return server;
}

// Replaces p's storage by `data` of `format` (p's size stays).
void replace(kvpxmap* p, void* data, uint32_t format) {
  release_storage(p);
  p->data = data;
  p->format = format;
}

}  // namespace

bool kvpxmap_convert2truecolor(kvpxmap* p, int colour) {
  switch (p->format) {
    case KVPX_TRUECOLOR: return true;
    case KVPX_PALETTE8: {
      if (!p->data || !p->palette) return false;
      auto* out = static_cast<uint32_t*>(new_memory(KVPX_TRUECOLOR, p->width, p->height));
      if (!out) return false;
      uint32_t transparent = colour == -1 ? 0 : uint32_t(colour);
      const uint8_t* in = static_cast<const uint8_t*>(p->data);
      size_t n = size_t(p->width) * size_t(p->height);
      for (size_t i = 0; i < n; ++i) out[i] = in[i] == 255 ? transparent : p->palette[in[i]];
      replace(p, out, KVPX_TRUECOLOR);
      return true;
    }
    case KVPX_SERVER:
    case KVPX_DIRECTX: {
      PixelView src = pixel_view(p);
      if (!src.pixels) return false;
      auto* out = static_cast<uint32_t*>(new_memory(KVPX_TRUECOLOR, p->width, p->height));
      if (!out) return false;
      copy_opaque({out, p->width, p->height, p->width}, 0, 0, src, 0, 0, p->width, p->height);
      replace(p, out, KVPX_TRUECOLOR);
      return true;
    }
    default: std::printf("kvpxmap_convert2truecolor: wrong format\n"); return false;
  }
}

bool kvpxmap_convert2palette8(kvpxmap* p, int transparent) {
  if (p->format == KVPX_PALETTE8) return true;
  if (p->format != KVPX_TRUECOLOR) {
    std::printf("kvpxmap_convert2palette8: wrong format %d\n", int(p->format));
    return false;
  }
  if (!p->data || !p->palette) return false;
  const uint32_t* in = static_cast<const uint32_t*>(p->data);
  size_t n = size_t(p->width) * size_t(p->height);
  uint32_t key = uint32_t(transparent);
  bool has_key = transparent != -1;

  // Count the colours (the transparent one needs no entry); more than the
  // 255 opaque indices reduces every pixel to 2 bits per channel.
  std::unordered_map<uint32_t, int> index;
  index.reserve(512);
  bool reduce = false;
  for (size_t i = 0; i < n; ++i) {
    if (has_key && in[i] == key) continue;
    index.emplace(in[i], 0);
    if (index.size() > 255) {
      reduce = true;
      break;
    }
  }
  uint32_t mask = reduce ? 0xC0C0C0u : 0xFFFFFFFFu;

  auto* out = static_cast<uint8_t*>(new_memory(KVPX_PALETTE8, p->width, p->height));
  if (!out) return false;
  index.clear();
  int next = 0;
  for (int i = 0; i < 255; ++i) p->palette[i] = 0;
  for (size_t i = 0; i < n; ++i) {
    if (has_key && in[i] == key) {
      out[i] = 255;
      continue;
    }
    uint32_t c = in[i] & mask;
    auto [it, added] = index.emplace(c, next);
    if (added) p->palette[next++] = c;
    out[i] = uint8_t(it->second);
  }
  replace(p, out, KVPX_PALETTE8);
  return true;
}

bool kvpxmap_convert2server(kvpxmap* p) {
  switch (p->format) {
    case KVPX_SERVER: return true;
    case KVPX_PALETTE8:
    case KVPX_TRUECOLOR: {
      if (!p->data || !p->palette) return false;
      kvpxmap_server* server = server_from_memory(p);
      if (!server) return false;
      replace(p, server, KVPX_SERVER);
      return true;
    }
    case KVPX_DIRECTX: {
      PixelView src = pixel_view(p);
      if (!src.pixels) return false;
      kvpxmap_server* server = new_server(p->width, p->height);
      if (!server) return false;
      PixelView dst{server->surface->pixels, p->width, p->height, server->surface->stride};
      copy_opaque(dst, 0, 0, src, 0, 0, p->width, p->height);
      replace(p, server, KVPX_SERVER);
      return true;
    }
    default: std::printf("kvpxmap_convert2server: unsupported format %d\n", int(p->format)); return false;
  }
}

bool kvpxmap_convert2directx(kvpxmap* p) {
  if (p->format == KVPX_DIRECTX) return true;
  if (p->format != KVPX_SERVER && !kvpxmap_convert2server(p)) return false;
  PixelView src = pixel_view(p);
  if (!src.pixels) return false;
  kvpxmap_directx* directx = new_directx(p->width, p->height);
  if (!directx) return false;
  PixelView dst{directx->surface->pixels, p->width, p->height, directx->surface->stride};
  copy_opaque(dst, 0, 0, src, 0, 0, p->width, p->height);
  replace(p, directx, KVPX_DIRECTX);
  return true;
}

bool kvpxmap_convert2screen(kvpxmap* p) {
  replace(p, nullptr, KVPX_SCREEN);
  return true;
}

bool kvpxmap_convert(kvpxmap* p, uint32_t format, int colour) {
  switch (format) {
    case KVPX_PALETTE8: return kvpxmap_convert2palette8(p, colour);
    case KVPX_TRUECOLOR: return kvpxmap_convert2truecolor(p, colour);
    case KVPX_SERVER: return kvpxmap_convert2server(p);
    case KVPX_SCREEN: return kvpxmap_convert2screen(p);
    case KVPX_DIRECTX: return kvpxmap_convert2directx(p);
    default: std::printf("kvpxmap_convert: format %d not supported\n", int(format)); return false;
  }
}
