// Small helpers for the pixmap tests: building pixmaps from pixel lists and
// reading them back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "toolkit/core/pxmap.h"

namespace kivo::test {

inline kvpxmap make_pxmap(uint32_t format, int w, int h) {
  kvpxmap p;
  p.width = w;
  p.height = h;
  p.format = format;
  EXPECT_TRUE(kvpxmap_allocate(&p)) << "format " << format << " " << w << "x" << h;
  return p;
}

// A pixmap of `format` (palette8, truecolor, server, directx) holding the
// given pixels row by row: indices for palette8, colours otherwise.
inline kvpxmap pxmap_from(uint32_t format, int w, int h, const std::vector<int>& pixels) {
  kvpxmap p = make_pxmap(format, w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) kvpxmap_setpixel(&p, x, y, pixels[size_t(y * w + x)]);
  return p;
}

inline std::vector<int> pixels_of(const kvpxmap& p) {
  std::vector<int> out;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) out.push_back(kvpxmap_getpixel(&p, x, y));
  return out;
}

// Free on scope exit.
struct PxmapGuard {
  kvpxmap* p;
  ~PxmapGuard() { kvpxmap_free(p); }
};

}  // namespace kivo::test
