// Pixmaps: kivo's images in memory.
//
// A pixmap has a size, a format code, the pixels of that format and a
// 256-entry palette of 0xRRGGBB colours that it owns. Entry 255 is special:
// in palette formats index 255 is the transparent pixel, in truecolor and
// server pixmaps the colour stored in entry 255 is the transparent colour.
//
// Formats and their `data`:
//   KVPX_PALETTE8  (1)  uint8_t[width * height], row-major, top row first
//   KVPX_PALETTE16 (2)  int16_t[width * height]
//   KVPX_TRUECOLOR (3)  uint32_t[width * height], 0x00RRGGBB
//   KVPX_SERVER    (4)  kvpxmap_server* (below): an image the window layer shows
//   KVPX_SCREEN    (5)  nullptr; drawing on it has no effect
//   KVPX_DIRECTX   (6)  kvpxmap_directx* (below): a fast-blit surface with a
//                       black source colour key
//
// Reaching the pixels of server and directx pixmaps (window layer, fonts):
//   kivo::port::Surface* s = kvpxmap_surface(&p);   // nullptr for other formats
//   s->pixels[x + y * s->stride] is 0x00RRGGBB; s->width == p.width.
//   kvpxmap_mask(&p) gives the mask plane of a server pixmap with transparent
//   pixels (0xFFFFFF where transparent, 0 elsewhere; the colour plane is black
//   there), or nullptr when it has none. Whoever writes pixels of a server
//   pixmap directly leaves the mask alone, as a window-system bitmap would.
// The surfaces come from kivo::port::backend().surfaces(), so a backend may
// place them where showing them is cheapest.
//
// Threads: a pixmap belongs to one thread at a time. The opaque-copy switch
// is process-wide and atomic so that the frame thread may set it around its
// own copies.
#pragma once

#include <cstdint>

#include "toolkit/port/surfaces.h"

constexpr uint32_t KVPX_PALETTE8 = 1;
constexpr uint32_t KVPX_PALETTE16 = 2;
constexpr uint32_t KVPX_TRUECOLOR = 3;
constexpr uint32_t KVPX_SERVER = 4;
constexpr uint32_t KVPX_SCREEN = 5;
constexpr uint32_t KVPX_DIRECTX = 6;

// Largest width and height a pixmap may be allocated with (memory formats
// and surfaces alike); larger requests fail like an out-of-memory.
constexpr int kvpxmap_max_dimension = 16384;

struct kvpxmap {
  int32_t width = 0;
  int32_t height = 0;
  uint32_t format = 0;
  void* data = nullptr;
  uint32_t* palette = nullptr;  // 256 entries, owned
  int32_t nextfreepal = 254;    // next slot kvpxmap_palette_add hands out
  int32_t penx = 0;             // current point of the line primitives
  int32_t peny = 0;
};

// Storage of a server pixmap.
struct kvpxmap_server {
  kivo::port::Surface* surface = nullptr;  // colours; black where transparent
  kivo::port::Surface* mask = nullptr;     // 0xFFFFFF where transparent, else 0
  bool has_mask = false;
};

// Storage of a directx pixmap.
struct kvpxmap_directx {
  kivo::port::Surface* surface = nullptr;
  bool colour_key = false;       // black pixels are transparent when copied
  bool in_video_memory = false;  // as reported by the backend
};

// ---- Record, allocation, pixels ---------------------------------------------

void kvpxmap_init(kvpxmap* p);
// Allocates palette (the default palette) and storage for p's width, height
// and format; memory formats are zero-filled. False for an unknown format,
// a size that is not positive or above kvpxmap_max_dimension, or no memory;
// the record can still be given to kvpxmap_free.
bool kvpxmap_allocate(kvpxmap* p);
void kvpxmap_free(kvpxmap* p);

void kvpxmap_clear(kvpxmap* p, int colour);
void kvpxmap_fillrect(kvpxmap* p, int x, int y, int w, int h, int colour);
void kvpxmap_setpixel(kvpxmap* p, int x, int y, int colour);
int kvpxmap_getpixel(const kvpxmap* p, int x, int y);
void kvpxmap_setpoints(kvpxmap* p, int count, const int* xs, const int* ys, int colour);

kivo::port::Surface* kvpxmap_surface(const kvpxmap* p);
kivo::port::Surface* kvpxmap_mask(const kvpxmap* p);

// ---- Palette ------------------------------------------------------------------

// The palette every pixmap starts with.
const uint32_t* kvpxmap_default_palette();
void kvpxmap_setpalette(kvpxmap* p, int index, int colour);
void kvpxmap_settranscolor(kvpxmap* p, int colour);
void kvpxmap_resetpalette(kvpxmap* p);
int kvpxmap_palette_find(const kvpxmap* p, int colour);
int kvpxmap_palette_add(kvpxmap* p, int colour);

// ---- Copies and conversions -------------------------------------------------

// dst becomes a new pixmap of src's format holding (x, y, w, h) of src; -1 for
// x or y means 0, -1 for w or h up to the edge. Whatever dst held is released.
bool kvpxmap_duplicate(kvpxmap* dst, const kvpxmap* src, int x, int y, int w, int h);

bool kvpxmap_convert(kvpxmap* p, uint32_t format, int colour);
bool kvpxmap_convert2palette8(kvpxmap* p, int transparent);
bool kvpxmap_convert2truecolor(kvpxmap* p, int colour);
bool kvpxmap_convert2server(kvpxmap* p);
bool kvpxmap_convert2directx(kvpxmap* p);
bool kvpxmap_convert2screen(kvpxmap* p);

// Copies (sx, sy, w, h) of src onto dst at (dx, dy) with the transparency
// rules of the formats. w or h of 0 or -1 mean the source's size.
void kvpxmap_merge4(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h,
                    int palettecode);
void kvpxmap_merge1(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h,
                    int palettecode);
void kvpxmap_merge2(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h);
void kvpxmap_merge3(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w, int h);
void kvpxmap_merge_pal8topal8(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy, int w,
                              int h, int palettecode);
void kvpxmap_merge_truecolortopal8(kvpxmap* dst, kvpxmap* src, int dx, int dy, int sx, int sy,
                                   int w, int h);

// The copy onto a directx pixmap from a server (opaque) or directx pixmap
// (black transparent unless the opaque-copy switch is on).
void kvllgui_copypxmap2directx(kvpxmap* dst, kvpxmap* src, int dx, int dy, int w, int h, int sx,
                               int sy);

// The opaque-copy switch: while on, directx copies ignore the colour key and
// new directx pixmaps get none.
void kvpxmap_setopaquecopy(bool on);
bool kvpxmap_opaquecopy();

// Pixel layout of the screen that directx colours are reduced to: 32 bits
// (the default, colours kept) or 16 bits with 6 (5-6-5) or 5 green bits.
void kvpxmap_setscreenlayout(int bits_per_pixel, bool green6);

void kvpxmap_stretch(kvpxmap* dst, kvpxmap* src, int dx, int dy, int dw, int dh, int sx, int sy,
                     int sw, int sh);
void kvpxmap_resize(kvpxmap* p, int w, int h);
void kvpxmap_greyed(kvpxmap* p);
