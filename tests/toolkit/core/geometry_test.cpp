// Position and size keywords and their resolution.
#include <gtest/gtest.h>

#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/geometry.h"

namespace {

struct Rect {
  int x, y, width, height;
  bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rect& r) {
  return o << "(" << r.x << "," << r.y << " " << r.width << "x" << r.height << ")";
}

kvgeometry parse(const char* text, int parent_w, int parent_h, bool* placed = nullptr) {
  kvcfgstr_tokens t;
  kvcfgstr_split(text, t);
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, parent_w, parent_h);
  bool p = kvcfgstr_geometry(t, 0, &g);
  if (placed) *placed = p;
  return g;
}

Rect resolved(kvgeometry g) {
  kvgeometry_resolve(&g);
  return {g.x, g.y, g.width, g.height};
}

TEST(Geometry, ResolvesPixelsAndPercentages) {
  struct Case {
    const char* text;
    int parent_w, parent_h;
    Rect rect;
  } cases[] = {
      {"x=50%,xs=40%,y=0,ys=10", 300, 100, {90, 0, 120, 10}},   // centred: 90 to 210
      {"x=25%,xs=40%,y=0,ys=10", 300, 100, {15, 0, 120, 10}},   // 15 to 135
      {"x=10,xs=50%,y=0,ys=10", 300, 100, {10, 0, 150, 10}},    // left edge, plain width
      {"x=10,y=20,xs=30,ys=40", 300, 100, {10, 20, 30, 40}},
      {"x = 50 %,XS=40 %,y=0,ys=10", 300, 100, {90, 0, 120, 10}},  // blanks and capitals
      {"x=50%,xs=100,y=50%,ys=20", 300, 100, {100, 40, 100, 20}},  // centred pixel sizes
      {"x=0,y=0,xs=500,ys=20", 300, 100, {0, 0, 300, 20}},         // not wider than the parent
      {"x=0,y=0,xs=150%,ys=20", 300, 100, {0, 0, 300, 20}},
      {"x=50%,xs=40%,x=10pix,y=0,ys=1", 300, 100, {10, 0, 120, 1}},  // later tokens win
      {"x=0,y=0,xs=10%,sizepixel,ys=5", 300, 100, {0, 0, 10, 5}},    // sizepixel turns % into px
  };
  for (const auto& c : cases)
    EXPECT_EQ(resolved(parse(c.text, c.parent_w, c.parent_h)), c.rect) << c.text;
}

TEST(Geometry, TheButtonOfTheExample) {
  kvcfgstr_tokens t;
  kvcfgstr_split("OK,x=25%,y=80%,xs=40%,default", t);
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, 200, 100);
  ASSERT_TRUE(kvcfgstr_geometry(t, 1, &g));
  EXPECT_FALSE(g.wdefaulted);
  EXPECT_TRUE(g.hdefaulted);
  kvgeometry_defaultwidth(&g, 999);  // a width was given: unchanged
  kvgeometry_defaultheight(&g, 20);
  EXPECT_FALSE(g.hdefaulted);
  kvgeometry_resolve(&g);
  EXPECT_EQ((Rect{g.x, g.y, g.width, g.height}), (Rect{10, 70, 80, 20}));
  kvcfg_btnattr a;
  kvcfgstr_btnattr(t, 1, a);
  EXPECT_TRUE(a.isdefault);
  EXPECT_EQ(t[0], "OK");
}

TEST(Geometry, CentredNeighboursMeetWithoutGaps) {
  for (int w : {299, 300, 301, 333}) {
    Rect left = resolved(parse("x=25%,xs=50%,y=0,ys=1", w, 10));
    Rect right = resolved(parse("x=75%,xs=50%,y=0,ys=1", w, 10));
    EXPECT_EQ(left.x, 0) << w;
    EXPECT_EQ(left.x + left.width, right.x) << w;
    EXPECT_EQ(right.x + right.width, w) << w;
  }
}

TEST(Geometry, NoPositionGiven) {
  bool placed = true;
  kvgeometry g = parse("", 300, 100, &placed);
  EXPECT_FALSE(placed);
  EXPECT_EQ(g.xspec, 0);
  EXPECT_EQ(g.yspec, 0);
  EXPECT_EQ(g.wspec, 0);
  EXPECT_EQ(g.hspec, 0);
  EXPECT_TRUE(g.xpixel && g.ypixel && g.wpixel && g.hpixel && g.xleft && g.ytop);

  parse("x=-1,y=5", 300, 100, &placed);
  EXPECT_FALSE(placed);
  parse("x=-1%,y=5", 300, 100, &placed);
  EXPECT_FALSE(placed);
  parse("x=0", 300, 100, &placed);
  EXPECT_TRUE(placed);
}

TEST(Geometry, MinimumAndMaximumSizes) {
  EXPECT_EQ(resolved(parse("x=0,y=0,xs=5,ys=500,minxs=20,maxys=50", 300, 1000)),
            (Rect{0, 0, 20, 50}));
  EXPECT_EQ(resolved(parse("x=0,y=0,xs=50,ys=50,minxsize=20,maxxsize=30,minysize=60", 300, 1000)),
            (Rect{0, 0, 30, 60}));
}

TEST(Geometry, InitDefaultsAndStore) {
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, 640, 480);
  kvgeometry_resolve(&g);
  EXPECT_EQ((Rect{g.x, g.y, g.width, g.height}), (Rect{0, 0, 100, 100}));

  g = parse("x=50%,y=50%,xs=50%,ys=50%", 640, 480);
  kvgeometry_resolve(&g);
  EXPECT_EQ((Rect{g.x, g.y, g.width, g.height}), (Rect{160, 120, 320, 240}));
  kvgeometry_store(&g);
  g.xspec += 5;  // moved by 5 pixels
  kvgeometry_resolve(&g);
  EXPECT_EQ((Rect{g.x, g.y, g.width, g.height}), (Rect{165, 120, 320, 240}));
}

TEST(Geometry, HugeAndOddValuesStayInRange) {
  for (const char* text : {"x=1e300%,xs=1e300%,y=-1e300,ys=1e300", "x=99999999999,xs=-99999999%",
                           "x=50%,xs=1e7%,y=50%,ys=-1e7%", "x=nan,y=inf%,xs=.%,ys=-%"}) {
    Rect r = resolved(parse(text, 2000000000, 2000000000));
    EXPECT_LE(r.x, kvgeometry_max_coordinate) << text;
    EXPECT_GE(r.x, -kvgeometry_max_coordinate) << text;
    EXPECT_GE(r.width, 0) << text;
    EXPECT_GE(r.height, 0) << text;
  }
}

}  // namespace
