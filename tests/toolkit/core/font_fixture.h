// Shared set-up of the font tests: a fresh font table and a truecolor pixmap.
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/font.h"
#include "toolkit/core/font_internal.h"
#include "toolkit/core/pxmap.h"

namespace kivo::test {

class FontTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    kivo::core::fonts_release();
  }
  void TearDown() override {
    if (pixmap.data) kvpxmap_free(&pixmap);
    kivo::core::fonts_release();
    HeadlessTest::TearDown();
  }
  kvpxmap* canvas(int w, int h, int colour = 0xFFFFFF) {
    if (pixmap.data) kvpxmap_free(&pixmap);
    kvpxmap_init(&pixmap);
    pixmap.width = w;
    pixmap.height = h;
    pixmap.format = KVPX_TRUECOLOR;
    EXPECT_TRUE(kvpxmap_allocate(&pixmap));
    kvpxmap_clear(&pixmap, colour);
    return &pixmap;
  }
  // Pixels of the canvas that are not `background`.
  int count_not(int background) const {
    int n = 0;
    for (int y = 0; y < pixmap.height; ++y)
      for (int x = 0; x < pixmap.width; ++x) n += kvpxmap_getpixel(&pixmap, x, y) != background;
    return n;
  }
  // Rightmost column holding a pixel other than `background`, -1 if none.
  int rightmost_not(int background) const {
    int r = -1;
    for (int y = 0; y < pixmap.height; ++y)
      for (int x = 0; x < pixmap.width; ++x)
        if (kvpxmap_getpixel(&pixmap, x, y) != background && x > r) r = x;
    return r;
  }
  kvpxmap pixmap{};
};

// A tiny proportional description: three glyphs (space, "!", '"') of widths
// 1, 2 and 3, two rows high.
inline std::vector<std::string> tiny_description() {
  return {"header:", "name=Tiny", "xsize=3", "ysize=2", "proportional", "chars=3", "ascent=2", "descent=0",
          "propxs=1 2 3", "propdataoffset=0 2 6", "data:", ".", ".", "*.", ".*", "***", "*.*"};
}

}  // namespace kivo::test
