// Merging between formats, palette codes, the directx copy and stretching.
#include <gtest/gtest.h>

#include "pxmap_test_util.h"
#include "support/test_support.h"

namespace {

using kivo::test::make_pxmap;
using kivo::test::pixels_of;
using kivo::test::pxmap_from;

class PxmapMerge : public kivo::test::HeadlessTest {};

constexpr int T = 0xF00000;

TEST_F(PxmapMerge, TruecolorOntoTruecolorSkipsTheSourceTransparentColour) {
  kvpxmap dst = pxmap_from(KVPX_TRUECOLOR, 3, 1, {7, 7, 7});
  kvpxmap src = pxmap_from(KVPX_TRUECOLOR, 3, 1, {1, T, 3});
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, -1, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{1, 7, 3}));
  kvpxmap_settranscolor(&src, 1);
  kvpxmap_clear(&dst, 7);
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{7, T, 3}));
  kvpxmap_free(&dst);
  kvpxmap_free(&src);
}

TEST_F(PxmapMerge, SizeIsCutAtBothRightAndBottomEdges) {
  kvpxmap dst = make_pxmap(KVPX_TRUECOLOR, 4, 3);
  kvpxmap src = pxmap_from(KVPX_TRUECOLOR, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  kvpxmap_merge4(&dst, &src, 2, 1, 1, 0, 10, 10, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{0, 0, 0, 0,  //
                                              0, 0, 2, 3,  //
                                              0, 0, 5, 6}));
  // Negative positions are clipped instead of writing outside.
  kvpxmap_clear(&dst, 0);
  kvpxmap_merge4(&dst, &src, -1, -2, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  kvpxmap_free(&dst);
  kvpxmap_free(&src);
}

TEST_F(PxmapMerge, Palette8OntoTruecolorAndServerKeepsDestinationUnder255) {
  for (uint32_t f : {KVPX_TRUECOLOR, KVPX_SERVER}) {
    kvpxmap dst = pxmap_from(f, 3, 1, {0x111111, 0x111111, 0x111111});
    kvpxmap src = pxmap_from(KVPX_PALETTE8, 3, 1, {4, 255, 15});
    kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(pixels_of(dst), (std::vector<int>{0x800000, 0x111111, 0xFFFFFF})) << f;
    kvpxmap_free(&dst);
    kvpxmap_free(&src);
  }
}

TEST_F(PxmapMerge, ServerCopiesUseTheMaskOrCopyPlainly) {
  kvpxmap dst = pxmap_from(KVPX_SERVER, 3, 1, {0x111111, 0x111111, 0x111111});
  kvpxmap masked = pxmap_from(KVPX_TRUECOLOR, 3, 1, {0x00FF00, T, 0x0000FF});
  ASSERT_TRUE(kvpxmap_convert2server(&masked));
  kvpxmap_merge4(&dst, &masked, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{0x00FF00, 0x111111, 0x0000FF}));
  // truecolor onto server ignores transparency.
  kvpxmap tc = pxmap_from(KVPX_TRUECOLOR, 3, 1, {T, T, 1});
  kvpxmap_merge4(&dst, &tc, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{T, T, 1}));
  kvpxmap_free(&dst);
  kvpxmap_free(&masked);
  kvpxmap_free(&tc);
}

TEST_F(PxmapMerge, OntoDirectxConvertsTheSourceAndKeysBlack) {
  kvpxmap dst = pxmap_from(KVPX_DIRECTX, 3, 1, {5, 5, 5});
  kvpxmap src = pxmap_from(KVPX_PALETTE8, 3, 1, {15, 255, 0});
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(src.format, KVPX_DIRECTX);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{0xFFFFFF, 5, 5}));
  // With the opaque-copy switch black is copied.
  kvpxmap_setopaquecopy(true);
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
  kvpxmap_setopaquecopy(false);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{0xFFFFFF, 0, 0}));
  kvpxmap_free(&dst);
  kvpxmap_free(&src);
}

TEST_F(PxmapMerge, CopyToDirectxFromServerIsOpaqueAndClipsNegativeDestination) {
  kvpxmap dst = pxmap_from(KVPX_DIRECTX, 3, 2, {9, 9, 9, 9, 9, 9});
  kvpxmap server = pxmap_from(KVPX_SERVER, 2, 2, {0, 1, 2, 3});
  kvllgui_copypxmap2directx(&dst, &server, 1, 0, 2, 2, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{9, 0, 1, 9, 2, 3}));
  kvpxmap dx = pxmap_from(KVPX_DIRECTX, 2, 2, {4, 0, 6, 7});
  kvllgui_copypxmap2directx(&dst, &dx, -1, -1, 2, 2, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{7, 0, 1, 9, 2, 3}));
  kvpxmap tc = make_pxmap(KVPX_TRUECOLOR, 1, 1);
  testing::internal::CaptureStdout();
  kvllgui_copypxmap2directx(&dst, &tc, 0, 0, 1, 1, 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvllgui_copypxmap2directx not supported: 3 -> 6\n");
  kvpxmap_free(&dst);
  kvpxmap_free(&server);
  kvpxmap_free(&dx);
  kvpxmap_free(&tc);
}

TEST_F(PxmapMerge, PaletteCodes) {
  // Code 0 maps colours; missing ones are added, reduced, at 254, 253, ...
  kvpxmap dst = make_pxmap(KVPX_PALETTE8, 4, 1);
  kvpxmap src = pxmap_from(KVPX_PALETTE8, 4, 1, {1, 2, 3, 255});
  kvpxmap_setpalette(&src, 1, 0x0000FF);  // dst has it at 9
  kvpxmap_setpalette(&src, 2, 0x4F8FCF);  // missing
  kvpxmap_setpalette(&src, 3, 0xCF4F1F);  // missing
  kvpxmap_clear(&dst, 5);
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{9, 254, 253, 5}));
  EXPECT_EQ(dst.palette[254], 0x4080C0u);
  EXPECT_EQ(dst.palette[253], 0xC04000u);

  // Code 1 copies indices, skipping 255; code 3 copies 255 too and the palette.
  kvpxmap_clear(&dst, 5);
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{1, 2, 3, 5}));
  kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 3);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{1, 2, 3, 255}));
  EXPECT_EQ(dst.palette[2], 0x4F8FCFu);

  struct Case {
    int code;
    const char* message;
  } cases[] = {{2, "kvpxmap_merge_pal8topal8_pc2\n"}, {7, "kvpxmap_merge_pal8topal8: wrong PaletteCode (7)\n"}};
  for (const Case& c : cases) {
    kvpxmap_clear(&dst, 5);
    testing::internal::CaptureStdout();
    kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, c.code);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
    EXPECT_EQ(pixels_of(dst), (std::vector<int>{5, 5, 5, 5}));
  }
  kvpxmap_free(&dst);
  kvpxmap_free(&src);
}

TEST_F(PxmapMerge, UnsupportedPairsPrintTheirMessages) {
  struct Case {
    uint32_t dst, src;
    const char* message;
  } cases[] = {
      {KVPX_PALETTE8, KVPX_TRUECOLOR, "kvpxmap_merge_truecolortopal8: not implemented\n"},
      {KVPX_PALETTE8, KVPX_SERVER, "kvpxmap_merge1: unsupported formats: 4 -> 1\n"},
      {KVPX_TRUECOLOR, KVPX_DIRECTX, "kvpxmap_merge2: unsupported formats: 6 -> 3\n"},
      {KVPX_SERVER, KVPX_DIRECTX, "pxmapmerge not supported: 6 -> 4\n"},
      {KVPX_SCREEN, KVPX_TRUECOLOR, ""},
      {KVPX_SCREEN, KVPX_SERVER, ""},
      {KVPX_SCREEN, KVPX_PALETTE8, "kvpxmap_merge3: unsupported formats: 1 -> screen\n"},
      {KVPX_PALETTE16, KVPX_TRUECOLOR, "kvpxmap_merge4: unsupported formats: 3 -> 2\n"},
  };
  for (const Case& c : cases) {
    kvpxmap dst = make_pxmap(c.dst, 2, 2), src = make_pxmap(c.src, 2, 2);
    kvpxmap_clear(&src, 1);
    std::vector<int> before = c.dst == KVPX_SCREEN ? std::vector<int>{} : pixels_of(dst);
    testing::internal::CaptureStdout();
    kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
    if (c.dst != KVPX_SCREEN) {
      EXPECT_EQ(pixels_of(dst), before);
    }
    kvpxmap_free(&dst);
    kvpxmap_free(&src);
  }
}

TEST_F(PxmapMerge, StretchAveragesOnServerAndScalesOnDirectx) {
  kvpxmap src = pxmap_from(KVPX_SERVER, 2, 2, {0x000000, 0xFFFFFF, 0x202020, 0x404040});
  kvpxmap dst = make_pxmap(KVPX_SERVER, 1, 1);
  kvpxmap_stretch(&dst, &src, 0, 0, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(dst), (std::vector<int>{0x585858}));  // (0 + 255 + 32 + 64) / 4 rounded
  kvpxmap big = make_pxmap(KVPX_SERVER, 4, 2);
  kvpxmap_stretch(&big, &src, 0, 0, 4, 2, 0, 0, 2, 2);
  EXPECT_EQ(pixels_of(big), (std::vector<int>{0, 0, 0xFFFFFF, 0xFFFFFF, 0x202020, 0x202020, 0x404040, 0x404040}));

  kvpxmap dsrc = pxmap_from(KVPX_DIRECTX, 2, 1, {1, 2});
  kvpxmap ddst = make_pxmap(KVPX_DIRECTX, 5, 1);
  kvpxmap_stretch(&ddst, &dsrc, 1, 0, 4, -1, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(ddst), (std::vector<int>{0, 1, 1, 2, 2}));
  // Destination rectangles reaching outside are cut; a huge one costs nothing.
  kvpxmap_stretch(&ddst, &dsrc, -1000000, 0, 2000000, 1, 0, 0, 2, 1);
  EXPECT_EQ(pixels_of(ddst), (std::vector<int>{2, 2, 2, 2, 2}));

  testing::internal::CaptureStdout();
  kvpxmap_stretch(&ddst, &src, 0, 0, 1, 1, 0, 0, 1, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_stretch: unsupported formats: 4 -> 6\n");
  for (kvpxmap* p : {&src, &dst, &big, &dsrc, &ddst}) kvpxmap_free(p);
}

TEST_F(PxmapMerge, ResizeKeepsTheOverlapOfTruecolor) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 2, 2, {1, 2, 3, 4});
  kvpxmap_resize(&p, 3, 1);
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(pixels_of(p), (std::vector<int>{1, 2, 0}));
  kvpxmap s = make_pxmap(KVPX_SERVER, 2, 2);
  kvpxmap_resize(&s, 5, 6);
  EXPECT_EQ(kvpxmap_surface(&s)->width, 5);
  EXPECT_EQ(kvpxmap_surface(&s)->height, 6);
  kvpxmap pal = make_pxmap(KVPX_PALETTE8, 2, 2);
  testing::internal::CaptureStdout();
  kvpxmap_resize(&pal, 3, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_resize: wrong format 1\n");
  for (kvpxmap* q : {&p, &s, &pal}) kvpxmap_free(q);
}

}  // namespace

#include "pxmap_surface_checks.h"

namespace {

TEST_F(PxmapMerge, SurfacePixmapsOnTheHeadlessBackend) { kivo::test::check_surface_pixmaps(); }

}  // namespace
