#include <cmath>
#include <set>

#include "support/test_support.h"
#include "toolkit/core/draw.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/pxmap.h"

namespace {

constexpr int kW = 0xFFFFFF;

class DrawTest : public kivo::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    make(20, 12);
  }
  void TearDown() override {
    kvpxmap_free(&p);
    HeadlessTest::TearDown();
  }
  void make(int w, int h, uint32_t format = KVPX_TRUECOLOR) {
    if (p.data) kvpxmap_free(&p);
    kvpxmap_init(&p);
    p.width = w, p.height = h, p.format = format;
    ASSERT_TRUE(kvpxmap_allocate(&p));
    kvpxmap_clear(&p, format == KVPX_PALETTE8 ? 0 : kW);
  }
  using Points = std::set<std::pair<int, int>>;
  Points set_pixels(int background = kW) const {
    Points s;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        if (kvpxmap_getpixel(&p, x, y) != background) s.insert({x, y});
    return s;
  }
  kvpxmap p{};
};

TEST_F(DrawTest, LinesStepTheLongerAxisAndMoveThePen) {
  kvdraw_line(&p, 0, 0, 3, 1, 0);
  EXPECT_EQ(set_pixels(), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(p.penx, 3);
  EXPECT_EQ(p.peny, 1);
  make(20, 12);
  kvdraw_line(&p, 5, 5, 5, 5, 0);
  EXPECT_EQ(set_pixels(), (Points{{5, 5}}));
  make(20, 12);
  kvdraw_moveto(&p, 2, 10);
  kvdraw_lineto(&p, 2, 7, 0);  // upwards, y-major
  EXPECT_EQ(set_pixels(), (Points{{2, 10}, {2, 9}, {2, 8}, {2, 7}}));
  // Far outside: clipped, and it takes no time.
  make(20, 12);
  kvdraw_line(&p, -2000000000, 3, 2000000000, 3, 0);
  EXPECT_EQ(set_pixels().size(), 20u);
  kvdraw_line(&p, 2000000000, -2000000000, -2000000000, 2000000000, 0);
}

TEST_F(DrawTest, DashedLines) {
  kvdraw_dashline(&p, 0, 0, 9, 0, 0, 3, 3);
  EXPECT_EQ(set_pixels(), (Points{{0, 0}, {1, 0}, {2, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}));
  make(20, 12);
  kvdraw_moveto(&p, 19, 2);
  kvdraw_dashto(&p, 10, 2, 0);  // right to left, pattern from the start
  EXPECT_EQ(set_pixels(), (Points{{19, 2}, {18, 2}, {17, 2}, {13, 2}, {12, 2}, {11, 2}, {10, 2}}));
}

TEST_F(DrawTest, RectanglesFramesBoxesAndShadows) {
  kvdraw_rect(&p, 4, 4, 1, 1, 0);
  EXPECT_EQ(set_pixels(), (Points{{4, 4}}));
  make(20, 12);
  kvdraw_rect(&p, 1, 1, 4, 3, 0);
  EXPECT_EQ(set_pixels(), (Points{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {4, 2}, {1, 3}, {2, 3}, {3, 3}, {4, 3}}));
  make(20, 12);
  kvdraw_frame3d(&p, 0, 0, 3, 3, 0x111111, 0x222222);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x111111);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 0), 0x222222);  // top-right corner belongs to the right edge
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 2), 0x111111);  // bottom-left to the left edge
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 2), 0x222222);
  make(20, 12);
  kvdraw_box3d(&p, 0, 0, 4, 4, 0x333333, 0x111111, 0x222222);
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 1), 0x333333);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 2), 0x333333);
  EXPECT_EQ(kvpxmap_getpixel(&p, 3, 3), 0x222222);
  make(20, 12);
  kvdraw_shadowrect(&p, 0, 0, 4, 3, 0);
  Points s = set_pixels();
  for (Points::value_type q : {std::pair{4, 2}, {5, 2}, {4, 4}, {5, 4}, {2, 3}, {2, 4}, {4, 3}})
    EXPECT_TRUE(s.count(q)) << q.first << "," << q.second;
  EXPECT_FALSE(s.count({4, 1}));
  EXPECT_FALSE(s.count({1, 4}));
}

TEST_F(DrawTest, CirclesEllipsesAndArcs) {
  make(40, 40);
  kvdraw_circle(&p, 20, 20, 10, 0);
  Points s = set_pixels();
  EXPECT_TRUE(s.count({30, 20}) && s.count({10, 20}) && s.count({20, 30}) && s.count({20, 10}));
  for (auto [x, y] : s) EXPECT_NEAR(std::hypot(x - 20, y - 20), 10, 1.0);
  make(40, 40);
  kvdraw_arc(&p, 20, 20, 10, 10, 0, 90, 0);  // clockwise: from the right down to the bottom
  s = set_pixels();
  EXPECT_TRUE(s.count({30, 20}) && s.count({20, 30}));
  for (auto [x, y] : s) EXPECT_TRUE(x >= 20 && y >= 20);
  make(40, 40);
  kvdraw_arc(&p, 20, 20, 0, 10, 0, 360, 0);
  EXPECT_TRUE(set_pixels().empty());
  make(40, 40);
  kvdraw_fillcircle(&p, 20, 20, 8, 0);
  s = set_pixels();
  EXPECT_TRUE(s.count({20, 20}) && s.count({14, 20}) && s.count({26, 20}));
  EXPECT_NEAR(static_cast<double>(s.size()), 3.14159 * 8.5 * 8.5, 20);
  make(40, 40);
  kvdraw_fillellipse(&p, 20, 20, 12, 5, 0);
  s = set_pixels();
  EXPECT_TRUE(s.count({20, 20}) && s.count({10, 20}));
  for (auto [x, y] : s) EXPECT_TRUE(std::abs(y - 20) <= 5 && std::abs(x - 20) <= 12);
  kvdraw_fillcircle(&p, 0, 0, 2000000000, 0);  // huge: bounded time, clipped
  EXPECT_EQ(set_pixels().size(), 1600u);
}

TEST_F(DrawTest, FloodFillTakesTheFourConnectedRegion) {
  make(300, 300);
  kvdraw_rect(&p, 10, 10, 100, 100, 0);
  kvdraw_line(&p, 10, 60, 109, 60, 0);
  kvdraw_floodfill(&p, 50, 30, 0xFF0000);
  EXPECT_EQ(kvpxmap_getpixel(&p, 11, 11), 0xFF0000);
  EXPECT_EQ(kvpxmap_getpixel(&p, 108, 59), 0xFF0000);
  EXPECT_EQ(kvpxmap_getpixel(&p, 50, 61), kW);  // the other half stays
  EXPECT_EQ(kvpxmap_getpixel(&p, 5, 5), kW);    // outside the frame stays
  EXPECT_EQ(kvpxmap_getpixel(&p, 10, 10), 0);
  // Filling with the colour already present changes nothing; a whole large
  // pixmap fills without exhausting the stack.
  Points before = set_pixels();
  kvdraw_floodfill(&p, 50, 30, 0xFF0000);
  EXPECT_EQ(set_pixels(), before);
  kvdraw_floodfill(&p, 200, 200, 0x00FF00);
  EXPECT_EQ(kvpxmap_getpixel(&p, 299, 299), 0x00FF00);
  EXPECT_EQ(kvpxmap_getpixel(&p, 50, 80), kW);
  // Diagonal neighbours are not connected.
  make(3, 3);
  kvpxmap_setpixel(&p, 1, 0, 0), kvpxmap_setpixel(&p, 0, 1, 0);
  kvdraw_floodfill(&p, 0, 0, 0x00FF00);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 2), kW);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x00FF00);
}

TEST_F(DrawTest, BitmapsAndPatterns) {
  const unsigned char bytes[] = {1, 0, 0, 1};
  kvdraw_bitmap2(&p, 2, 2, 2, 2, bytes, 0, 0x00FF00);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 2), 0);
  EXPECT_EQ(kvpxmap_getpixel(&p, 3, 2), 0x00FF00);
  make(20, 12);
  kvdraw_bitmap(&p, 2, 2, 2, 2, bytes, 0);
  EXPECT_EQ(set_pixels(), (Points{{2, 2}, {3, 3}}));
  make(20, 12);
  kvdraw_pattern(&p, 0, 0, "*.*\n.*.", 3, 2, 0);
  EXPECT_EQ(set_pixels(), (Points{{0, 0}, {2, 0}, {1, 1}}));
  make(20, 12);
  const int colours[] = {0x111111, 0x222222};
  kvdraw_colorpattern(&p, 0, 0, "12 0x2", 3, 2, colours);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x111111);
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 0), 0x222222);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 1), 0x222222);
  EXPECT_EQ(set_pixels().size(), 3u);
}

TEST_F(DrawTest, ArrowsAreCentredTrianglesOfTheirSize) {
  struct Case {
    void (*draw)(kvpxmap*, const char*, int, int, int, int, int);
    const char* name;
    int w, h;
  };
  const Case cases[] = {
      {kvdraw_arrow, "up", 7, 4},          {kvdraw_arrow, "down", 7, 4},       {kvdraw_arrow, "left", 4, 7},
      {kvdraw_arrow, "right", 4, 7},       {kvdraw_arrow, "double left", 9, 7}, {kvdraw_arrow, "double right", 9, 7},
      {kvdraw_smallarrow, "up", 5, 3},     {kvdraw_smallarrow, "left", 3, 5},  {kvdraw_bigarrow, "down", 11, 6},
      {kvdraw_bigarrow, "right", 8, 15},
  };
  for (const Case& c : cases) {
    make(20, 20);
    c.draw(&p, c.name, 0, 0, 20, 20, 0);
    Points s = set_pixels();
    int x0 = 100, y0 = 100, x1 = -1, y1 = -1;
    for (auto [x, y] : s) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    EXPECT_EQ(x1 - x0 + 1, c.w) << c.name;
    EXPECT_EQ(y1 - y0 + 1, c.h) << c.name;
    EXPECT_EQ(x0, (20 - c.w) / 2) << c.name;
    EXPECT_EQ(y0, (20 - c.h) / 2) << c.name;
  }
  make(7, 4);
  kvdraw_arrow(&p, "up", 0, 0, 7, 4, 0);
  EXPECT_EQ(set_pixels().size(), 1u + 3 + 5 + 7);
  EXPECT_TRUE(set_pixels().count({3, 0}));
  make(20, 20);
  kvdraw_arrow(&p, "sideways", 0, 0, 20, 20, 0);
  kvdraw_smallarrow(&p, "double left", 0, 0, 20, 20, 0);
  EXPECT_TRUE(set_pixels().empty());
}

TEST_F(DrawTest, DecorationStyles) {
  kvdraw_decoration(&p, 0, false, 0, 0, 10, 10, -1, -1, -1, -1);
  EXPECT_TRUE(set_pixels().empty());
  kvdraw_decoration(&p, 1, false, 0, 0, 10, 10, -1, -1, -1, -1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), kvcolor(KV_COLOR_LIGHT));
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 1), kvcolor(KV_COLOR_WHITE));
  EXPECT_EQ(kvpxmap_getpixel(&p, 9, 9), kvcolor(KV_COLOR_BLACK));
  EXPECT_EQ(kvpxmap_getpixel(&p, 8, 8), kvcolor(KV_COLOR_DARK));
  kvdraw_decoration(&p, 1, true, 0, 0, 10, 10, -1, -1, -1, -1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), kvcolor(KV_COLOR_DARK));
  EXPECT_EQ(kvpxmap_getpixel(&p, 9, 9), kvcolor(KV_COLOR_WHITE));
  make(20, 12);
  kvdraw_decoration(&p, 3, false, 0, 0, 6, 4, 0x123456, -1, -1, -1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), 0x123456);
  EXPECT_EQ(kvpxmap_getpixel(&p, 1, 0), kW);
  EXPECT_EQ(kvpxmap_getpixel(&p, 2, 0), 0x123456);
  EXPECT_EQ(set_pixels().size(), 8u);  // every other pixel of the 16 on the edges
  make(20, 12);
  kvdraw_decoration(&p, 4, false, 0, 0, 4, 3, 0, -1, -1, -1);
  EXPECT_EQ(set_pixels().size(), 10u);
  make(20, 12);
  kvdraw_decoration(&p, 5, true, 0, 0, 4, 3, -1, -1, -1, -1);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 0), kvcolor(KV_COLOR_BLACK));
  EXPECT_EQ(kvpxmap_getpixel(&p, 3, 2), kvcolor(KV_COLOR_WHITE));
}

TEST_F(DrawTest, PrimitivesWorkOnPalettePixmaps) {
  make(10, 10, KVPX_PALETTE8);
  kvdraw_line(&p, 0, 0, 9, 9, 12);
  kvdraw_floodfill(&p, 9, 0, 4);
  EXPECT_EQ(kvpxmap_getpixel(&p, 5, 5), 12);
  EXPECT_EQ(kvpxmap_getpixel(&p, 9, 0), 4);
  EXPECT_EQ(kvpxmap_getpixel(&p, 0, 9), 0);
}

}  // namespace
