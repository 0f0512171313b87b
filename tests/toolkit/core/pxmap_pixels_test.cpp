// Allocation, pixel access, clearing and filling of every pixmap format.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/port/surfaces.h"

namespace {

class PxmapPixels : public kivo::test::HeadlessTest {};

kvpxmap make(uint32_t format, int w, int h) {
  kvpxmap p;
  p.width = w;
  p.height = h;
  p.format = format;
  EXPECT_TRUE(kvpxmap_allocate(&p)) << "format " << format;
  return p;
}

TEST_F(PxmapPixels, DefaultPaletteHasNamedColoursCubeGreysAndRamps) {
  const uint32_t* pal = kvpxmap_default_palette();
  EXPECT_EQ(pal[0], 0x000000u);
  EXPECT_EQ(pal[1], 0x000080u);
  EXPECT_EQ(pal[6], 0x808000u);
  EXPECT_EQ(pal[7], 0xC0C0C0u);
  EXPECT_EQ(pal[15], 0xFFFFFFu);
  EXPECT_EQ(pal[16 + 16 * 3 + 4 * 1 + 2], 0xFF55AAu);
  EXPECT_EQ(pal[79], 0xFFFFFFu);
  EXPECT_EQ(pal[80], 0x000000u);
  EXPECT_EQ(pal[207], 0xFEFEFEu);
  EXPECT_EQ(pal[209], 0x000010u);
  EXPECT_EQ(pal[239], 0x00F000u);
  EXPECT_EQ(pal[255], 0xF00000u);
}

TEST_F(PxmapPixels, AllocateGivesZeroedStorageAndDefaultPalette) {
  for (uint32_t f : {KVPX_PALETTE8, KVPX_PALETTE16, KVPX_TRUECOLOR, KVPX_SERVER, KVPX_DIRECTX}) {
    kvpxmap p = make(f, 7, 3);
    ASSERT_NE(p.data, nullptr);
    ASSERT_NE(p.palette, nullptr);
    EXPECT_EQ(p.palette[255], 0xF00000u);
    EXPECT_EQ(p.nextfreepal, 254);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(kvpxmap_getpixel(&p, x, y), 0);
    kvpxmap_free(&p);
    EXPECT_EQ(p.data, nullptr);
    EXPECT_EQ(p.palette, nullptr);
    EXPECT_EQ(p.format, 0u);
  }
}

TEST_F(PxmapPixels, AllocateRefusesUnknownFormatAndBadSizes) {
  kvpxmap p;
  p.width = p.height = 4;
  p.format = 9;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_allocate(&p));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_allocate: wrong format\n");
  kvpxmap_free(&p);
  for (auto [w, h] : {std::pair{0, 4}, {4, -1}, {kvpxmap_max_dimension + 1, 1}}) {
    for (uint32_t f : {KVPX_TRUECOLOR, KVPX_SERVER, KVPX_DIRECTX}) {
      kvpxmap q;
      q.width = w;
      q.height = h;
      q.format = f;
      EXPECT_FALSE(kvpxmap_allocate(&q));
      kvpxmap_free(&q);
    }
  }
}

TEST_F(PxmapPixels, OutsideCoordinatesAreIgnored) {
  for (uint32_t f : {KVPX_PALETTE8, KVPX_TRUECOLOR, KVPX_SERVER, KVPX_DIRECTX}) {
    kvpxmap p = make(f, 4, 2);
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 2}}) {
      kvpxmap_setpixel(&p, x, y, 7);
      EXPECT_EQ(kvpxmap_getpixel(&p, x, y), -1);
    }
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(kvpxmap_getpixel(&p, x, y), 0);
    kvpxmap_free(&p);
  }
}

TEST_F(PxmapPixels, SetAndGetStoreTheValueOfEachFormat) {
  struct Case {
    uint32_t format;
    int stored;
    int read;
  } cases[] = {{KVPX_PALETTE8, 0x1234, 0x34},
               {KVPX_PALETTE16, 0x12345, 0x2345},
               {KVPX_PALETTE16, 0xFFFF, -1},
               {KVPX_TRUECOLOR, 0xABCDEF, 0xABCDEF},
               {KVPX_SERVER, 0x102030, 0x102030},
               {KVPX_DIRECTX, 0x102030, 0x102030}};
  for (const Case& c : cases) {
    kvpxmap p = make(c.format, 3, 3);
    kvpxmap_setpixel(&p, 2, 1, c.stored);
    EXPECT_EQ(kvpxmap_getpixel(&p, 2, 1), c.read) << "format " << c.format;
    EXPECT_EQ(kvpxmap_getpixel(&p, 1, 2), 0);
    kvpxmap_free(&p);
  }
}

TEST_F(PxmapPixels, DirectxColoursFollowA16BitScreenLayout) {
  kvpxmap_setscreenlayout(16, true);
  kvpxmap p = make(KVPX_DIRECTX, 2, 1);
  kvpxmap_setpixel(&p, 0, 0, 0x0F0F0F);
  kvpxmap_fillrect(&p, 1, 0, 1, 1, 0xFFFFFF);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x080C08);
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 0), 0xF8FCF8);
  kvpxmap_setscreenlayout(16, false);
  kvpxmap_setpixel(&p, 0, 0, 0x0F0F0F);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x080808);
  kvpxmap_setscreenlayout(32, false);
  kvpxmap_free(&p);
}

TEST_F(PxmapPixels, FillIsClippedToThePixmap) {
  struct Case {
    int x, y, w, h;
    int fx0, fy0, fx1, fy1;  // filled area, exclusive end; empty when fx0 == fx1
  } cases[] = {{-5, -5, 10, 10, 0, 0, 5, 5},
               {15, 15, 10, 10, 15, 15, 20, 20},
               {3, 4, 2, 3, 3, 4, 5, 7},
               {20, 0, 5, 5, 0, 0, 0, 0},
               {-10, 0, 5, 5, 0, 0, 0, 0},
               {2, 2, 0, 5, 0, 0, 0, 0}};
  for (uint32_t f : {KVPX_PALETTE8, KVPX_PALETTE16, KVPX_TRUECOLOR, KVPX_SERVER, KVPX_DIRECTX}) {
    for (const Case& c : cases) {
      kvpxmap p = make(f, 20, 20);
      kvpxmap_fillrect(&p, c.x, c.y, c.w, c.h, 9);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
          bool in = x >= c.fx0 && x < c.fx1 && y >= c.fy0 && y < c.fy1;
          ASSERT_EQ(kvpxmap_getpixel(&p, x, y), in ? 9 : 0)
              << "format " << f << " fill " << c.x << "," << c.y << " at " << x << "," << y;
        }
      kvpxmap_free(&p);
    }
  }
}

TEST_F(PxmapPixels, ClearAndPointsAndWrongFormats) {
  kvpxmap p = make(KVPX_TRUECOLOR, 3, 2);
  kvpxmap_clear(&p, 0x123456);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 1), 0x123456);
  int xs[] = {0, 5, 2}, ys[] = {0, 0, 1};
  kvpxmap_setpoints(&p, 3, xs, ys, 0x1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 1), 1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 0), 0x123456);
  kvpxmap_free(&p);

  kvpxmap bad;
  bad.width = bad.height = 2;
  bad.format = 8;
  testing::internal::CaptureStdout();
  kvpxmap_setpixel(&bad, 0, 0, 1);
  EXPECT_EQ(kvpxmap_getpixel(&bad, 0, 0), -1);
  kvpxmap_clear(&bad, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "kvpxmap_setpixel: wrong format 8\nkvpxmap_getpixel: wrong format\nkvpxmap_clear: wrong format\n");

  kvpxmap screen = make(KVPX_SCREEN, 2, 2);
  testing::internal::CaptureStdout();
  kvpxmap_setpixel(&screen, 0, 0, 1);
  kvpxmap_clear(&screen, 1);
  EXPECT_EQ(kvpxmap_getpixel(&screen, 0, 0), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  kvpxmap_free(&screen);
}

TEST_F(PxmapPixels, SurfaceFormatsExposeTheirSurface) {
  kvpxmap s = make(KVPX_SERVER, 5, 4);
  kivo::port::Surface* surface = kvpxmap_surface(&s);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->width, 5);
  EXPECT_EQ(surface->height, 4);
  kvpxmap_setpixel(&s, 1, 2, 0xFF00FF);
  EXPECT_EQ(surface->pixels[1 + 2 * surface->stride], 0xFF00FFu);
  EXPECT_EQ(kvpxmap_mask(&s), nullptr);
  kvpxmap_free(&s);

  kvpxmap d = make(KVPX_DIRECTX, 5, 4);
  auto* record = static_cast<kvpxmap_directx*>(d.data);
  EXPECT_TRUE(record->colour_key);
  EXPECT_EQ(record->in_video_memory, kvpxmap_surface(&d)->in_video_memory);
  kvpxmap_free(&d);
  kvpxmap_setopaquecopy(true);
  kvpxmap o = make(KVPX_DIRECTX, 5, 4);
  EXPECT_FALSE(static_cast<kvpxmap_directx*>(o.data)->colour_key);
  kvpxmap_setopaquecopy(false);
  kvpxmap_free(&o);

  kvpxmap t = make(KVPX_TRUECOLOR, 2, 2);
  EXPECT_EQ(kvpxmap_surface(&t), nullptr);
  kvpxmap_free(&t);
}

TEST_F(PxmapPixels, PaletteAddHandsOutSlotsDownwardsAndWraps) {
  kvpxmap p = make(KVPX_PALETTE8, 1, 1);
  EXPECT_EQ(kvpxmap_palette_add(&p, 0x0000FF), 9);  // already there
  EXPECT_EQ(kvpxmap_palette_find(&p, 0x123456), -1);
  EXPECT_EQ(kvpxmap_palette_add(&p, 0x123456), 254);
  EXPECT_EQ(kvpxmap_palette_add(&p, 0x123457), 253);
  EXPECT_EQ(kvpxmap_palette_add(&p, 0x123456), 254);
  for (int i = 0; i < 252; ++i) kvpxmap_palette_add(&p, 0x0A0B00 + i);
  EXPECT_EQ(p.palette[1], uint32_t(0x0A0B00 + 251));
  EXPECT_EQ(kvpxmap_palette_add(&p, 0x7A7A7B), 254);
  kvpxmap_settranscolor(&p, 0x00FF00);
  EXPECT_EQ(p.palette[255], 0x00FF00u);
  kvpxmap_resetpalette(&p);
  EXPECT_EQ(p.palette[254], kvpxmap_default_palette()[254]);
  kvpxmap_free(&p);
}

}  // namespace
