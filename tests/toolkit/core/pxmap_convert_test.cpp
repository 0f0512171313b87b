// Conversions between pixmap formats and their messages.
#include <gtest/gtest.h>

#include <set>

#include "pxmap_test_util.h"
#include "support/test_support.h"
#include "toolkit/port/surfaces.h"

namespace {

using kivo::test::make_pxmap;
using kivo::test::pixels_of;
using kivo::test::pxmap_from;

class PxmapConvert : public kivo::test::HeadlessTest {};

constexpr int T = 0xF00000;  // default transparent colour (entry 255)

TEST_F(PxmapConvert, Palette8ToTruecolorUsesPaletteAndColourFor255) {
  struct Case {
    int colour;
    int expected_for_255;
  } cases[] = {{-1, 0}, {0x00FF00, 0x00FF00}, {0, 0}};
  for (const Case& c : cases) {
    kvpxmap p = pxmap_from(KVPX_PALETTE8, 3, 1, {1, 255, 15});
    ASSERT_TRUE(kvpxmap_convert(&p, KVPX_TRUECOLOR, c.colour));
    EXPECT_EQ(p.format, KVPX_TRUECOLOR);
    EXPECT_EQ(pixels_of(p), (std::vector<int>{0x000080, c.expected_for_255, 0xFFFFFF}));
    kvpxmap_free(&p);
  }
  kvpxmap all = pxmap_from(KVPX_PALETTE8, 2, 2, {255, 255, 255, 255});
  ASSERT_TRUE(kvpxmap_convert2truecolor(&all, -1));
  EXPECT_EQ(pixels_of(all), (std::vector<int>{0, 0, 0, 0}));
  kvpxmap_free(&all);
}

TEST_F(PxmapConvert, TruecolorToPalette8BuildsPaletteInOrderOfAppearance) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 3, 2, {0x112233, 0xABCDEF, 0x112233, 0x00FF00, 0x445566, 0xABCDEF});
  ASSERT_TRUE(kvpxmap_convert2palette8(&p, 0x00FF00));
  EXPECT_EQ(p.format, KVPX_PALETTE8);
  EXPECT_EQ(pixels_of(p), (std::vector<int>{0, 1, 0, 255, 2, 1}));
  EXPECT_EQ(p.palette[0], 0x112233u);
  EXPECT_EQ(p.palette[1], 0xABCDEFu);
  EXPECT_EQ(p.palette[2], 0x445566u);
  EXPECT_EQ(p.palette[255], uint32_t(T));  // the transparent colour entry stays
  ASSERT_TRUE(kvpxmap_convert2truecolor(&p, 0x00FF00));
  EXPECT_EQ(pixels_of(p), (std::vector<int>{0x112233, 0xABCDEF, 0x112233, 0x00FF00, 0x445566, 0xABCDEF}));
  kvpxmap_free(&p);
}

TEST_F(PxmapConvert, TooManyColoursAreReducedTo64) {
  kvpxmap p = make_pxmap(KVPX_TRUECOLOR, 300, 1);
  for (int x = 0; x < 300; ++x) kvpxmap_setpixel(&p, x, 0, x * 0x010305);
  ASSERT_TRUE(kvpxmap_convert2palette8(&p, -1));
  std::set<uint32_t> used;
  for (int x = 0; x < 300; ++x) {
    int index = kvpxmap_getpixel(&p, x, 0);
    ASSERT_LT(index, 255);
    EXPECT_EQ(p.palette[index], uint32_t(x * 0x010305) & 0xC0C0C0u);
    used.insert(p.palette[index]);
  }
  EXPECT_LE(used.size(), 64u);
  kvpxmap_free(&p);

  // 255 opaque colours plus the transparent one still fit without reduction.
  kvpxmap q = make_pxmap(KVPX_TRUECOLOR, 256, 1);
  for (int x = 0; x < 255; ++x) kvpxmap_setpixel(&q, x, 0, 0x010101 * x + 0x000100);
  kvpxmap_setpixel(&q, 255, 0, 0x123456);
  ASSERT_TRUE(kvpxmap_convert2palette8(&q, 0x123456));
  EXPECT_EQ(kvpxmap_getpixel(&q, 255, 0), 255);
  EXPECT_EQ(q.palette[kvpxmap_getpixel(&q, 254, 0)], uint32_t(0x010101 * 254 + 0x000100));
  kvpxmap_free(&q);
}

TEST_F(PxmapConvert, ToServerMarksTransparentPixelsInTheMask) {
  struct Case {
    uint32_t format;
    std::vector<int> pixels;
  } cases[] = {{KVPX_PALETTE8, {12, 255, 7}}, {KVPX_TRUECOLOR, {0xFF0000, T, 0xC0C0C0}}};
  for (const Case& c : cases) {
    kvpxmap p = pxmap_from(c.format, 3, 1, c.pixels);
    ASSERT_TRUE(kvpxmap_convert2server(&p));
    EXPECT_EQ(p.format, KVPX_SERVER);
    EXPECT_EQ(pixels_of(p), (std::vector<int>{0xFF0000, 0, 0xC0C0C0}));
    kivo::port::Surface* mask = kvpxmap_mask(&p);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->pixels[0], 0u);
    EXPECT_EQ(mask->pixels[1], 0xFFFFFFu);
    EXPECT_EQ(mask->pixels[2], 0u);
    // Back to truecolor the transparency is gone: the pixel is black.
    ASSERT_TRUE(kvpxmap_convert2truecolor(&p, -1));
    EXPECT_EQ(pixels_of(p), (std::vector<int>{0xFF0000, 0, 0xC0C0C0}));
    kvpxmap_free(&p);
  }
  kvpxmap opaque = pxmap_from(KVPX_TRUECOLOR, 2, 1, {1, 2});
  ASSERT_TRUE(kvpxmap_convert2server(&opaque));
  EXPECT_EQ(kvpxmap_mask(&opaque), nullptr);
  kvpxmap_free(&opaque);
}

TEST_F(PxmapConvert, DirectxRoundTripsThroughServer) {
  kvpxmap p = pxmap_from(KVPX_PALETTE8, 2, 2, {1, 255, 2, 3});
  ASSERT_TRUE(kvpxmap_convert2directx(&p));
  EXPECT_EQ(p.format, KVPX_DIRECTX);
  EXPECT_EQ(pixels_of(p), (std::vector<int>{0x000080, 0, 0x008000, 0x008080}));
  ASSERT_TRUE(kvpxmap_convert2server(&p));
  EXPECT_EQ(p.format, KVPX_SERVER);
  EXPECT_EQ(kvpxmap_mask(&p), nullptr);
  ASSERT_TRUE(kvpxmap_convert2directx(&p));
  ASSERT_TRUE(kvpxmap_convert2truecolor(&p, -1));
  EXPECT_EQ(pixels_of(p), (std::vector<int>{0x000080, 0, 0x008000, 0x008080}));
  ASSERT_TRUE(kvpxmap_convert2screen(&p));
  EXPECT_EQ(p.format, KVPX_SCREEN);
  EXPECT_EQ(p.data, nullptr);
  kvpxmap_free(&p);
}

TEST_F(PxmapConvert, UnsupportedPairsPrintTheirMessages) {
  struct Case {
    uint32_t from;
    int to;
    const char* message;
  } cases[] = {
      {KVPX_SERVER, KVPX_PALETTE8, "kvpxmap_convert2palette8: wrong format 4\n"},
      {KVPX_DIRECTX, KVPX_PALETTE8, "kvpxmap_convert2palette8: wrong format 6\n"},
      {KVPX_PALETTE16, KVPX_TRUECOLOR, "kvpxmap_convert2truecolor: wrong format\n"},
      {KVPX_SCREEN, KVPX_TRUECOLOR, "kvpxmap_convert2truecolor: wrong format\n"},
      {KVPX_PALETTE16, KVPX_SERVER, "kvpxmap_convert2server: unsupported format 2\n"},
      {KVPX_SCREEN, KVPX_DIRECTX, "kvpxmap_convert2server: unsupported format 5\n"},
      {KVPX_TRUECOLOR, KVPX_PALETTE16, "kvpxmap_convert: format 2 not supported\n"},
      {KVPX_TRUECOLOR, 7, "kvpxmap_convert: format 7 not supported\n"},
  };
  for (const Case& c : cases) {
    kvpxmap p = make_pxmap(c.from, 2, 2);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(kvpxmap_convert(&p, uint32_t(c.to), -1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
    EXPECT_EQ(p.format, c.from);  // unchanged
    kvpxmap_free(&p);
  }
}

TEST_F(PxmapConvert, DuplicateCopiesTheRectangleAndPalette) {
  for (uint32_t f : {KVPX_PALETTE8, KVPX_TRUECOLOR, KVPX_SERVER, KVPX_DIRECTX}) {
    kvpxmap src = pxmap_from(f, 3, 2, {1, 2, 3, 4, 5, 6});
    kvpxmap_setpalette(&src, 3, 0x123456);
    kvpxmap dst;
    ASSERT_TRUE(kvpxmap_duplicate(&dst, &src, 1, -1, -1, 2)) << f;
    EXPECT_EQ(dst.format, f);
    EXPECT_EQ(dst.width, 2);
    EXPECT_EQ(dst.height, 2);
    EXPECT_EQ(pixels_of(dst), (std::vector<int>{2, 3, 5, 6}));
    EXPECT_EQ(dst.palette[3], 0x123456u);
    kvpxmap_setpixel(&dst, 0, 0, 9);
    EXPECT_EQ(kvpxmap_getpixel(&src, 1, 0), 2);
    // Duplicating onto itself replaces the storage.
    ASSERT_TRUE(kvpxmap_duplicate(&dst, &dst, 1, 1, 1, 1));
    EXPECT_EQ(pixels_of(dst), (std::vector<int>{6}));
    kvpxmap_free(&dst);
    kvpxmap_free(&src);
  }
  kvpxmap p16 = make_pxmap(KVPX_PALETTE16, 2, 2), out;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_duplicate(&out, &p16, -1, -1, -1, -1));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_duplicate: wrong format\n");
  kvpxmap_free(&p16);
}

TEST_F(PxmapConvert, DuplicateOfServerKeepsTheMask) {
  kvpxmap src = pxmap_from(KVPX_PALETTE8, 2, 1, {255, 4});
  ASSERT_TRUE(kvpxmap_convert2server(&src));
  kvpxmap dst;
  ASSERT_TRUE(kvpxmap_duplicate(&dst, &src, -1, -1, -1, -1));
  ASSERT_NE(kvpxmap_mask(&dst), nullptr);
  EXPECT_EQ(kvpxmap_mask(&dst)->pixels[0], 0xFFFFFFu);
  kvpxmap_free(&dst);
  kvpxmap_free(&src);
}

TEST_F(PxmapConvert, GreyedRendition) {
  // 2 x 1: one dark and one light pixel -> 3 x 2.
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 2, 1, {0x000000, 0xFFFFFF});
  kvpxmap_greyed(&p);
  ASSERT_EQ(p.format, KVPX_TRUECOLOR);
  ASSERT_EQ(p.width, 3);
  ASSERT_EQ(p.height, 2);
  EXPECT_EQ(pixels_of(p), (std::vector<int>{0x808080, T, T, T, T, T}));
  kvpxmap_free(&p);

  // A dark block: shadow along the right and bottom edges.
  kvpxmap q = pxmap_from(KVPX_PALETTE8, 3, 3, {0, 0, 255, 0, 0, 15, 255, 15, 15});
  kvpxmap_greyed(&q);
  const int D = 0x808080, W = 0xFFFFFF;
  EXPECT_EQ(pixels_of(q), (std::vector<int>{D, D, T, T,  //
                                            D, D, W, T,  //
                                            T, W, W, T,  //
                                            T, T, T, T}));
  kvpxmap_free(&q);
}

}  // namespace
