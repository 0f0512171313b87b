#include "toolkit/core/font_fixture.h"

namespace {

using kivo::test::FontTest;

TEST_F(FontTest, SystemFontIsRenderedOnceAndRegistered) {
  int id = kvfont_loadsystem("%s,points=%d,bold", "Arial", 24);
  ASSERT_GE(id, 1000000);
  const kvfont* f = kvfont_record(id);
  EXPECT_EQ(f->name, "system font Arial 24");
  EXPECT_EQ(f->alias, "Arial,points=24,bold");
  EXPECT_EQ(f->ysize, 36);  // 32-pixel characters of the Arial-compatible face
  EXPECT_EQ(f->ascent, 29);
  EXPECT_EQ(f->spacing, 2);
  EXPECT_EQ(f->weight, 2);
  EXPECT_EQ(f->chars, 224);
  EXPECT_EQ(f->xsize, f->widths['x' - 32]);
  EXPECT_GT(kvfont_charwidth(id, 'W'), kvfont_charwidth(id, 'i'));
  EXPECT_EQ(kvfont_charwidth(id, 255), kvfont_charwidth(id, '@'));
  // Same text again: the same font; with reloading on: rendered anew.
  EXPECT_EQ(kvfont_loadsystem("arial,points=24,BOLD"), id);
  kvfont_reload(true);
  int again = kvfont_loadsystem("Arial,points=24,bold");
  kvfont_reload(false);
  EXPECT_NE(again, id);
  EXPECT_GT(again, 0);
  // Not bold is another font.
  int plain = kvfont_loadsystem("Arial,points=24");
  EXPECT_NE(plain, id);
  EXPECT_LT(kvfont_textwidth(plain, "Hello"), kvfont_textwidth(id, "Hello"));
}

TEST_F(FontTest, SystemFontGlyphsHaveHardEdgesAndCentredInk) {
  int id = kvfont_loadsystem("Arial,points=12");
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(kvfont_glyph(id, 'i', &bits, &w, &h));
  EXPECT_TRUE(std::all_of(bits, bits + w * h, [](uint8_t v) { return v <= 1; }));
  // A blank has the space's width and no ink.
  ASSERT_TRUE(kvfont_glyph(id, ' ', &bits, &w, &h));
  EXPECT_EQ(std::count(bits, bits + w * h, 1), 0);
  EXPECT_GT(w, 0);
  // Explicit sizes: a cell 20 pixels high.
  int cell = kvfont_loadsystem("Arial,ys=20");
  EXPECT_EQ(kvfont_height(cell), 20);
  int extra = kvfont_loadsystem("Arial,ys=20,xsextra=4,ascent=15");
  EXPECT_EQ(kvfont_record(extra)->ascent, 15);
  // Underlined glyphs carry the line.
  int under = kvfont_loadsystem("Arial,points=12,underlined");
  ASSERT_TRUE(kvfont_glyph(under, ' ', &bits, &w, &h));
  EXPECT_GT(std::count(bits, bits + w * h, 1), 0);
}

TEST_F(FontTest, CharacterMapChoosesWhatUpperCodesShow) {
  int plain = kvfont_loadsystem("Arial,points=20");
  std::vector<uint8_t> euro, snowman, e_acute;
  auto glyph_of = [](int id, int code) {
    const uint8_t* bits = nullptr;
    int w = 0, h = 0;
    EXPECT_TRUE(kvfont_glyph(id, code, &bits, &w, &h));
    return std::vector<uint8_t>(bits, bits + w * h);
  };
  euro = glyph_of(plain, 128);  // the ANSI code page's euro sign
  kvfont_setcharmap(128, 0x2603);
  kvfont_setcharmap(129, 0xE9);  // an ANSI code: e acute
  int mapped = kvfont_loadsystem("Arial,points=20,xsextra=0");
  EXPECT_NE(glyph_of(mapped, 128), euro);
  EXPECT_EQ(glyph_of(mapped, 129), glyph_of(mapped, 0xE9));
  kvfont_setcharmap(128, 128);
  kvfont_setcharmap(129, 129);
  int back = kvfont_loadsystem("Arial,points=20,xsextra=00");
  EXPECT_EQ(glyph_of(back, 128), euro);
}

TEST_F(FontTest, SystemFontFailuresRegisterNothing) {
  EXPECT_GT(kvfont_loadsystem("NoSuchFaceAtAll,points=12"), 0);  // the desktop's fallback face
  int before = kvfont_count();
  EXPECT_EQ(kvfont_loadsystem("Arial,points=376"), 0);
  EXPECT_EQ(kvfont_loadsystem("Arial,ys=501"), 0);
  EXPECT_EQ(kvfont_loadsystem("Arial,xs=501,ys=20"), 0);
  EXPECT_EQ(kvfont_loadsystem(",points=12"), 0);
  EXPECT_EQ(kvfont_loadsystem(nullptr), 0);
  EXPECT_EQ(kvfont_count(), before);
  EXPECT_GT(kvfont_loadsystem("Arial,points=375"), 0);
}

}  // namespace
