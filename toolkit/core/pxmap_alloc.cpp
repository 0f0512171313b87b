// Pixmap records: initialisation, allocation and release of every format.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/surfaces.h"

namespace kivo::pxmap {

bool size_allowed(int width, int height) {
  return width > 0 && height > 0 && width <= kvpxmap_max_dimension &&
         height <= kvpxmap_max_dimension;
}

void* new_memory(uint32_t format, int width, int height) {
  if (!size_allowed(width, height)) return nullptr;
  size_t bytes_per_pixel = 0;
  switch (format) {
    case KVPX_PALETTE8: bytes_per_pixel = 1; break;
    case KVPX_PALETTE16: bytes_per_pixel = 2; break;
    case KVPX_TRUECOLOR: bytes_per_pixel = 4; break;
    default: return nullptr;
  }
  return std::calloc(size_t(width) * size_t(height), bytes_per_pixel);
}

void release_memory(void* data) { std::free(data); }

kvpxmap_server* new_server(int width, int height) {
  if (!size_allowed(width, height)) return nullptr;
  auto* server = new (std::nothrow) kvpxmap_server;
  if (!server) return nullptr;
  server->surface = port::backend().surfaces().create(width, height);
  if (!server->surface) {
    delete server;
    return nullptr;
  }
  return server;
}

bool server_add_mask(kvpxmap_server* server) {
  if (server->mask) {
    PixelView m{server->mask->pixels, server->mask->width, server->mask->height,
                server->mask->stride};
    fill(m, 0, 0, m.width, m.height, 0);
  } else {
    server->mask = port::backend().surfaces().create(server->surface->width, server->surface->height);
    if (!server->mask) return false;
  }
  server->has_mask = true;
  return true;
}

void server_drop_mask(kvpxmap_server* server) {
  if (server->mask) port::backend().surfaces().destroy(server->mask);
  server->mask = nullptr;
  server->has_mask = false;
}

void free_server(kvpxmap_server* server) {
  if (!server) return;
  server_drop_mask(server);
  port::backend().surfaces().destroy(server->surface);
  delete server;
}

kvpxmap_directx* new_directx(int width, int height) {
  if (!size_allowed(width, height)) return nullptr;
  auto* directx = new (std::nothrow) kvpxmap_directx;
  if (!directx) return nullptr;
  directx->surface = port::backend().surfaces().create(width, height);
  if (!directx->surface) {
    delete directx;
    return nullptr;
  }
  directx->colour_key = !kvpxmap_opaquecopy();
  directx->in_video_memory = directx->surface->in_video_memory;
  return directx;
}

void free_directx(kvpxmap_directx* directx) {
  if (!directx) return;
  port::backend().surfaces().destroy(directx->surface);
  delete directx;
}

void release_storage(kvpxmap* p) {
  switch (p->format) {
    case KVPX_SERVER: free_server(static_cast<kvpxmap_server*>(p->data)); break;
    case KVPX_DIRECTX: free_directx(static_cast<kvpxmap_directx*>(p->data)); break;
    default: release_memory(p->data); break;
  }
  p->data = nullptr;
}

PixelView pixel_view(const kvpxmap* p) {
  if (!p->data) return {};
  if (p->format == KVPX_TRUECOLOR)
    return {static_cast<uint32_t*>(p->data), p->width, p->height, p->width};
  port::Surface* s = kvpxmap_surface(p);
  if (!s) return {};
  return {s->pixels, s->width, s->height, s->stride};
}

void adopt_storage(kvpxmap* p, kvpxmap* from) {
  release_storage(p);
  p->data = from->data;
  p->width = from->width;
  p->height = from->height;
  p->format = from->format;
  from->data = nullptr;
  kvpxmap_free(from);
}

}  // namespace kivo::pxmap

using namespace kivo::pxmap;

void kvpxmap_init(kvpxmap* p) {
  p->width = 0;
  p->height = 0;
  p->format = 0;
  p->data = nullptr;
  p->palette = nullptr;
  p->nextfreepal = 254;
  p->penx = 0;
  p->peny = 0;
}

bool kvpxmap_allocate(kvpxmap* p) {
  if (p->format < KVPX_PALETTE8 || p->format > KVPX_DIRECTX) {
    std::printf("kvpxmap_allocate: wrong format\n");
    return false;
  }
  if (!p->palette) {
    p->palette = new (std::nothrow) uint32_t[256];
    if (!p->palette) return false;
  }
  std::memcpy(p->palette, kvpxmap_default_palette(), 256 * sizeof(uint32_t));
  p->nextfreepal = 254;
  // Storage still held is not released here: its format may no longer be
  // the record's. Callers free before re-allocating.
  switch (p->format) {
    case KVPX_PALETTE8:
    case KVPX_PALETTE16:
    case KVPX_TRUECOLOR: p->data = new_memory(p->format, p->width, p->height); break;
    case KVPX_SERVER: p->data = new_server(p->width, p->height); break;
    case KVPX_DIRECTX: p->data = new_directx(p->width, p->height); break;
    case KVPX_SCREEN: return true;
  }
  return p->data != nullptr;
}

void kvpxmap_free(kvpxmap* p) {
  release_storage(p);
  delete[] p->palette;
  kvpxmap_init(p);
}

kivo::port::Surface* kvpxmap_surface(const kvpxmap* p) {
  if (!p->data) return nullptr;
  if (p->format == KVPX_SERVER) return static_cast<kvpxmap_server*>(p->data)->surface;
  if (p->format == KVPX_DIRECTX) return static_cast<kvpxmap_directx*>(p->data)->surface;
  return nullptr;
}

kivo::port::Surface* kvpxmap_mask(const kvpxmap* p) {
  if (p->format != KVPX_SERVER || !p->data) return nullptr;
  auto* server = static_cast<kvpxmap_server*>(p->data);
  return server->has_mask ? server->mask : nullptr;
}
