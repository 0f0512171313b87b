#include <algorithm>
#include <memory>

#include "support/test_support.h"
#include "toolkit/port/posix/services.h"

namespace {

using kivo::port::SystemFontRequest;
using kivo::port::SystemGlyph;

class SystemFontsTest : public ::testing::Test {
 protected:
  std::unique_ptr<kivo::port::SystemFonts> fonts = kivo::port::make_posix_system_fonts();
  int open(const char* face, int height, bool bold = false, int width = 0) {
    SystemFontRequest r;
    r.face = face;
    r.pixel_height = height;
    r.pixel_width = width;
    r.bold = bold;
    return fonts->open(r);
  }
  static int ink(const SystemGlyph& g) { return static_cast<int>(std::count(g.mask.begin(), g.mask.end(), 1)); }
};

TEST_F(SystemFontsTest, ArialResolvesToAMetricCompatibleFaceWithDesktopMetrics) {
  int h = open("Arial", -32);  // 24 points at 96 dpi
  ASSERT_GT(h, 0);
  auto m = fonts->metrics(h);
  EXPECT_NE(m.resolved.find("Liberation Sans"), std::string::npos) << m.resolved;
  // The metric-compatible face reports what the desktop's Arial reports.
  EXPECT_EQ(m.ascent, 29);
  EXPECT_EQ(m.descent, 7);
  EXPECT_EQ(m.height, 36);
  SystemGlyph a;
  ASSERT_TRUE(fonts->glyph(h, U'A', a));
  EXPECT_NEAR(a.advance, 21, 1);
  EXPECT_EQ(a.mask.size(), static_cast<size_t>(a.width * a.height));
  EXPECT_TRUE(std::all_of(a.mask.begin(), a.mask.end(), [](uint8_t v) { return v <= 1; }));
  EXPECT_GT(ink(a), 20);
  fonts->close(h);
  EXPECT_EQ(fonts->metrics(h).height, 0);
}

TEST_F(SystemFontsTest, CellHeightAndWidthAreHonoured) {
  int h = open("Arial", 20);
  ASSERT_GT(h, 0);
  EXPECT_EQ(fonts->metrics(h).height, 20);
  int narrow = open("Arial", 20, false, 4);
  int wide = open("Arial", 20, false, 16);
  SystemGlyph n, w;
  ASSERT_TRUE(fonts->glyph(narrow, U'H', n));
  ASSERT_TRUE(fonts->glyph(wide, U'H', w));
  EXPECT_LT(n.advance * 2, w.advance);
}

TEST_F(SystemFontsTest, BoldHasMoreInk) {
  int regular = open("Arial", -24);
  int bold = open("Arial", -24, true);
  SystemGlyph r, b;
  ASSERT_TRUE(fonts->glyph(regular, U'o', r));
  ASSERT_TRUE(fonts->glyph(bold, U'o', b));
  EXPECT_GT(ink(b), ink(r));
  EXPECT_NE(fonts->metrics(bold).resolved.find("Bold"), std::string::npos);
}

TEST_F(SystemFontsTest, UnknownFaceFallsBackAndOversizeIsRefused) {
  EXPECT_GT(open("NoSuchFaceAnywhere", -16), 0);
  EXPECT_EQ(open("Arial", -501), 0);
  EXPECT_EQ(open("Arial", 0), 0);
  EXPECT_EQ(open("", -16), 0);
  EXPECT_EQ(open("Arial", 16, false, 501), 0);
}

TEST_F(SystemFontsTest, MissingCharactersComeFromAFallbackFace) {
  int h = open("Arial", -24);
  SystemGlyph snowman;  // not in the Arial-compatible face, but in DejaVu
  EXPECT_TRUE(fonts->glyph(h, U'\u2603', snowman));
  EXPECT_GT(ink(snowman), 0);
  SystemGlyph euro;
  EXPECT_TRUE(fonts->glyph(h, U'\u20AC', euro));
  SystemGlyph none;
  EXPECT_FALSE(fonts->glyph(h + 100, U'A', none));
}

}  // namespace
