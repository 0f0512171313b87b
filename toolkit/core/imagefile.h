// Image files: BMP, PCX, PPM and XPM read and written, PNG written, chosen
// by the file-name extension; loading a file into a pixmap of any format,
// saving a region of a pixmap, halving a picture, and kvPxMapCache, which
// saves a rectangle of a pixmap and puts it back later.
//
// Every reader takes untrusted files: damaged, truncated or lying files give
// false. Pictures wider or higher than kvpicture_max_dimension, or with more
// than kvpicture_max_pixels pixels, are refused.
#pragma once

#include <cstdint>

#include "toolkit/core/pxmap.h"

constexpr int kvpicture_max_dimension = 16384;
constexpr int64_t kvpicture_max_pixels = int64_t(64) << 20;  // 256 MiB as truecolor

// File types by extension (case-insensitive).
constexpr int KVFILE_UNKNOWN = 0, KVFILE_PNG = 1, KVFILE_BMP = 2, KVFILE_XPM = 3, KVFILE_PPM = 4,
              KVFILE_PCX = 5, KVFILE_HTML = 6, KVFILE_WMF = 7, KVFILE_PS = 8, KVFILE_PDF = 9;
int kvfiletype(const char* name);

// Width and height of a BMP, XPM, PPM or PCX file.
bool kvgetpicturesizes(const char* name, int* width, int* height);

// Loads the file named by the configuration's first token into p at x=, y=
// (default 0), copying xs= by ys= pixels (default all). Other tokens are
// handed to the loader (transparentcolor= for BMP, palettecode= for merges
// onto palette8 pixmaps).
bool kvgraphic_gloadintern_file(kvpxmap* p, const char* configuration);

// Per-format loaders into a pixmap of any format at (x, y), w x h pixels
// (-1: all). `tokens` is a null-terminated list of configuration tokens or
// nullptr.
bool kvpxmap_loadfromfile_bmp(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h);
bool kvpxmap_loadfromfile_pcx(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h);
bool kvpxmap_loadfromfile_ppm(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h);
bool kvpxmap_loadfromfile_xpm(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h);

// p becomes a palette8 pixmap from XPM lines as embedded in programs (the
// array holds 1 + colours + height lines). Whatever p held is released.
bool kvpxmap_createfrommem_xpm(kvpxmap* p, const char* const* lines);
// The same for untrusted data: at most `count` lines are read.
bool kvpxmap_createfrommem_xpm_n(kvpxmap* p, const char* const* lines, int count);

// Saves the region x=, y=, xs=, ys= (default all) of p into the file named
// by the formatted configuration's first token, in the format of its
// extension (PNG, BMP, XPM, PPM, PCX). Files are written under a temporary
// name and renamed.
bool kvpxmap_savetofile(kvpxmap* p, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool kvpxmap_savetofile_xpm(kvpxmap* p, const char* name);

// Loads `source`, averages every 2 x 2 block and saves the half-size result
// with the formatted target configuration.
bool kvpicture_halve(const char* source, const char* target_format, ...)
    __attribute__((format(printf, 2, 3)));

// Saves a rectangle of a pixmap and puts it back later (for example under a
// drag image). The saved copy is exact: transparent colours are saved too.
class kvPxMapCache {
 public:
  kvPxMapCache() = default;
  ~kvPxMapCache() { discard(); }
  kvPxMapCache(const kvPxMapCache&) = delete;
  kvPxMapCache& operator=(const kvPxMapCache&) = delete;

  void save(kvpxmap* source, int x, int y, int w, int h);
  void restore();
  void discard();

  kvpxmap* source = nullptr;  // not owned
  kvpxmap saved;
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool valid = false;
};
