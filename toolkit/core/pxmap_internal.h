// Helpers shared by the pixmap sources: storage of the surface formats,
// clipping and the pixel kernels every copy is built from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/core/pxmap.h"
#include "toolkit/port/surfaces.h"

namespace kivo::pxmap {

// A rectangle of 0x00RRGGBB pixels: a truecolor pixmap or a surface.
struct PixelView {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  uint32_t* row(int y) const { return pixels + ptrdiff_t(y) * stride; }
};

// The 32-bit pixels of a truecolor, server or directx pixmap (empty view for
// other formats or missing storage).
PixelView pixel_view(const kvpxmap* p);

// Surface storage. Both return nullptr when the backend refuses the size.
kvpxmap_server* new_server(int width, int height);
void free_server(kvpxmap_server* server);
bool server_add_mask(kvpxmap_server* server);  // zero-filled mask plane
void server_drop_mask(kvpxmap_server* server);
kvpxmap_directx* new_directx(int width, int height);  // colour key per the switch
void free_directx(kvpxmap_directx* directx);

// Releases p's storage (not its palette) and leaves data null.
void release_storage(kvpxmap* p);
// New zero-filled memory storage of `format` for w x h (nullptr when the size
// is refused or there is no memory). Released with release_memory.
void* new_memory(uint32_t format, int width, int height);
void release_memory(void* data);
bool size_allowed(int width, int height);

// Colour as a directx pixel: reduced to the screen layout.
uint32_t to_screen_layout(uint32_t colour);

// Clips a copy of (sx, sy, w, h) from a source of size sw x sh to (dx, dy) on
// a destination of size dw x dh. Adjusts all six values; false if empty.
bool clip_copy(int& dx, int& dy, int& sx, int& sy, int& w, int& h, int sw, int sh, int dw,
               int dh);
// Clips (x, y, w, h) to a width x height area; false if empty.
bool clip_rect(int& x, int& y, int& w, int& h, int width, int height);

// Pixel kernels on views; the rectangles must already be clipped.
void copy_opaque(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy,
                 int w, int h);
void copy_keyed(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy, int w,
                int h, uint32_t key);
void fill(const PixelView& dst, int x, int y, int w, int h, uint32_t value);
// dst = (dst & mask) | src, pixel by pixel (the masked copy of server pixmaps).
void and_or(const PixelView& dst, int dx, int dy, const PixelView& mask, const PixelView& src,
            int sx, int sy, int w, int h);

// Takes over another record's storage, size and format; frees what p held.
// The palette of p stays.
void adopt_storage(kvpxmap* p, kvpxmap* from);

}  // namespace kivo::pxmap
