// Checks of server and directx pixmaps that depend on the backend's surface
// allocation; run on every backend (headless here, x11 in x11/).
#pragma once

#include <gtest/gtest.h>

#include "pxmap_test_util.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/surfaces.h"

namespace kivo::test {

inline void check_surface_pixmaps() {
  for (uint32_t f : {KVPX_SERVER, KVPX_DIRECTX}) {
    SCOPED_TRACE(testing::Message() << "format " << f << " on " << kivo::port::backend().name());
    kvpxmap p = make_pxmap(f, 33, 17);
    kivo::port::Surface* s = kvpxmap_surface(&p);
    ASSERT_NE(s, nullptr);
    EXPECT_GE(s->stride, 33);
    EXPECT_EQ(pixels_of(p), std::vector<int>(33 * 17, 0));
    kvpxmap_fillrect(&p, 30, 15, 10, 10, 0x123456);
    kvpxmap_setpixel(&p, 0, 16, 0xABCDEF);
    EXPECT_EQ(kvpxmap_getpixel(&p, 32, 16), 0x123456);
    EXPECT_EQ(kvpxmap_getpixel(&p, 29, 16), 0);
    EXPECT_EQ(kvpxmap_getpixel(&p, 0, 16), 0xABCDEF);
    EXPECT_EQ(s->pixels[16 * s->stride], 0xABCDEFu);
    if (f == KVPX_DIRECTX) {
      auto* record = static_cast<kvpxmap_directx*>(p.data);
      EXPECT_EQ(record->in_video_memory, s->in_video_memory);
      EXPECT_TRUE(record->colour_key);
    }
    kvpxmap_free(&p);
  }

  // Transparency through server and directx on this backend's surfaces.
  kvpxmap icon = pxmap_from(KVPX_PALETTE8, 3, 1, {12, 255, 0});
  ASSERT_TRUE(kvpxmap_convert2server(&icon));
  ASSERT_NE(kvpxmap_mask(&icon), nullptr);
  kvpxmap back = pxmap_from(KVPX_SERVER, 3, 1, {5, 5, 5});
  kvpxmap_merge4(&back, &icon, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(back), (std::vector<int>{0xFF0000, 5, 0}));
  kvpxmap frame = pxmap_from(KVPX_DIRECTX, 3, 1, {5, 5, 5});
  kvpxmap_merge4(&frame, &icon, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(icon.format, KVPX_DIRECTX);
  EXPECT_EQ(pixels_of(frame), (std::vector<int>{0xFF0000, 5, 5}));
  kvpxmap big = make_pxmap(KVPX_DIRECTX, 6, 2);
  kvpxmap_stretch(&big, &icon, 0, 0, 6, 2, 0, 0, 0, 0);
  EXPECT_EQ(pixels_of(big), (std::vector<int>{0xFF0000, 0xFF0000, 0, 0, 0, 0,  //
                                              0xFF0000, 0xFF0000, 0, 0, 0, 0}));
  for (kvpxmap* q : {&icon, &back, &frame, &big}) kvpxmap_free(q);
}

}  // namespace kivo::test
