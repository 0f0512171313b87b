#include "toolkit/core/environment.h"
#include "toolkit/core/font_fixture.h"

namespace {

using kivo::test::FontTest;
constexpr int kWhite = 0xFFFFFF;

TEST_F(FontTest, CodesWithoutGlyphDrawNothing) {
  kvpxmap* p = canvas(40, 20);
  for (int code : {0, 10, 31, 255}) kvfont_drawchar(p, -1, 2, 2, 0, false, true, 0x00FF00, code);
  EXPECT_EQ(count_not(kWhite), 0);
  kvfont_drawchar(p, -1, 2, 2, 0, false, false, -1, 'A');
  EXPECT_GT(count_not(kWhite), 0);
}

TEST_F(FontTest, DrawcharStyles) {
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(kvfont_glyph(-1, 'H', &bits, &w, &h));
  const int ink = static_cast<int>(std::count(bits, bits + w * h, 1));

  kvpxmap* p = canvas(20, 20);
  kvfont_drawchar(p, -1, 3, 4, 0x000080, false, false, -1, 'H');
  EXPECT_EQ(count_not(kWhite), ink);  // only the ink is set

  p = canvas(20, 20);
  kvfont_drawchar(p, -1, 3, 4, 0x000080, false, false, 0x00FF00, 'H');
  EXPECT_EQ(count_not(kWhite), w * h);  // the whole cell with a background
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(kvpxmap_getpixel(p, 3 + x, 4 + y), bits[y * w + x] ? 0x000080 : 0x00FF00);

  p = canvas(20, 20);
  kvfont_drawchar(p, -1, 3, 4, 0x000080, false, true, -1, ' ');
  for (int x = 0; x < 20; ++x) EXPECT_EQ(kvpxmap_getpixel(p, x, 4 + h - 1), x >= 3 && x < 3 + w ? 0x000080 : kWhite);

  p = canvas(20, 20);
  kvfont_drawchar(p, -1, 3, 4, 0, true, true, -1, 'H', 0xFF0000, 0x0000FF);
  // Ink in the dark colour; the shade one pixel right and down, where no ink covers it.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool ink = bits[y * w + x] != 0;
      bool shade = y > 0 && x > 0 && bits[(y - 1) * w + x - 1];
      int expected = ink ? 0x0000FF : shade ? 0xFF0000 : kWhite;
      EXPECT_EQ(kvpxmap_getpixel(p, 3 + x, 4 + y), expected) << x << "," << y;
    }
  // Raised with default colours uses the scheme's white and dark roles.
  p = canvas(20, 20, 0x123456);
  kvfont_drawchar(p, -1, 3, 4, 0, true, false, -1, 'H');
  EXPECT_EQ(kvpxmap_getpixel(p, 3, 4 + 2), kvcolor(KV_COLOR_DARK));
}

TEST_F(FontTest, EllipsisStaysWithinTheMaximumWidth) {
  const std::string text(40, 'W');  // 240 pixels in the 6x13 font
  ASSERT_GT(kvfont_textwidth(-1, text.c_str()), 200);
  kvpxmap* p = canvas(300, 20);
  kvfont_drawtext(p, -1, 0, 0, 0, false, false, -1, 100, -1, text.c_str());
  EXPECT_LT(rightmost_not(kWhite), 100);
  EXPECT_GT(rightmost_not(kWhite), 80);
  // The end is three dots: the pixels of the last 18 columns are those of "...".
  kvpxmap dots{};
  kvpxmap_init(&dots);
  dots.width = 18, dots.height = 20, dots.format = KVPX_TRUECOLOR;
  ASSERT_TRUE(kvpxmap_allocate(&dots));
  kvpxmap_clear(&dots, kWhite);
  kvfont_drawtext(&dots, -1, 0, 0, 0, false, false, -1, 0, -1, "...");
  int end = 0;
  for (int x = 0; x < 100; x += 6)
    if (kvpxmap_getpixel(p, x + 2, 10) == 0 || kvpxmap_getpixel(p, x + 1, 10) == 0) end = x;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 18; ++x) EXPECT_EQ(kvpxmap_getpixel(p, end - 12 + x, y), kvpxmap_getpixel(&dots, x, y));
  kvpxmap_free(&dots);
  // A text that fits is drawn whole.
  p = canvas(300, 20);
  kvfont_drawtext(p, -1, 0, 0, 0, false, false, -1, 100, -1, "WW");
  EXPECT_EQ(rightmost_not(kWhite) / 6, 1);
}

TEST_F(FontTest, DrawtextLineFeedsAndUnderlineIndex) {
  kvpxmap* p = canvas(40, 40);
  kvfont_drawtext(p, -1, 5, 1, 0, false, false, -1, 0, -1, "A\nA");
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(kvpxmap_getpixel(p, 5 + x, 1 + y), kvpxmap_getpixel(p, 5 + x, 14 + y));
  EXPECT_GT(count_not(kWhite), 0);

  p = canvas(40, 20);
  kvfont_drawtext(p, -1, 0, 0, 0, false, false, -1, 0, 1, "   ");  // underline the second blank only
  for (int x = 0; x < 18; ++x) EXPECT_EQ(kvpxmap_getpixel(p, x, 12), x >= 6 && x < 12 ? 0 : kWhite) << x;
  p = canvas(40, 20);
  kvfont_drawtext(p, -1, 0, 0, 0, false, true, -1, 0, -1, "   ");
  for (int x = 0; x < 18; ++x) EXPECT_EQ(kvpxmap_getpixel(p, x, 12), 0) << x;
}

TEST_F(FontTest, WrappingMeasuresAndBreaks) {
  const int h = 13;
  EXPECT_EQ(kvfont_textheight(100, "", -1), h);
  EXPECT_EQ(kvfont_textheight(100, nullptr, -1), h);
  EXPECT_EQ(kvfont_textheight(100, "short", -1), h);
  EXPECT_EQ(kvfont_textheight(100, "one\ntwo\r\nthree", -1), 3 * h);
  // 6-pixel cells, 60 pixels: "aaaa bbbb" (54) fits, the next word wraps.
  EXPECT_EQ(kvfont_textheight(60, "aaaa bbbb", -1), h);
  EXPECT_EQ(kvfont_textheight(60, "aaaa bbbb cccc", -1), 2 * h);
  // A word longer than a line breaks where it reaches the edge, without an empty first line.
  EXPECT_EQ(kvfont_textheight(60, std::string(25, 'x').c_str(), -1), 3 * h);
  // A hyphen ends a word.
  EXPECT_EQ(kvfont_textheight(60, "aaaaa-bbbbbb", -1), 2 * h);

  kvpxmap* p = canvas(60, 60);
  int used = kvfont_wraptext(p, -1, 0, 0, 60, 2 * h, 0, "aaaa bbbb cccc dddd eeee ffff", false);
  EXPECT_EQ(used, 3 * h);
  bool below = false, first = false;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (kvpxmap_getpixel(p, x, y) != kWhite) (y >= 2 * h ? below : first) = true;
  EXPECT_TRUE(first);
  EXPECT_FALSE(below);  // lines starting at the height limit are not drawn
  p = canvas(60, 60);
  kvfont_wraptext(p, -1, 0, 0, 60, 100, 0, "aaaa", true);
  EXPECT_EQ(count_not(kWhite), 0);  // measuring draws nothing
}

}  // namespace
