#include <cstring>

#include "toolkit/core/font_fixture.h"
#include "toolkit/core/runtime.h"

namespace {

using kivo::test::FontTest;
using kivo::test::tiny_description;

void start_toolkit() {
  static char empty[] = "";
  static char* argv[] = {empty, nullptr};
  kvinit(1, argv);
}

struct BuiltinRow {
  const char* name;
  const char* alias;
  int cell, height, ascent, descent, chars, weight;
};

TEST_F(FontTest, InitRegistersTheElevenBuiltinFontsInOrder) {
  start_toolkit();
  const BuiltinRow rows[] = {
      {"builtin 6x13", "6x13", 6, 13, 11, 2, 224, 1},       {"builtin 6x13 bold", "6x13b", 6, 13, 11, 2, 224, 2},
      {"builtin 12x24", "12x24", 12, 24, 22, 2, 223, 1},    {"builtin 5x7", "5x7", 5, 7, 6, 1, 224, 1},
      {"builtin 8x8", "8x8", 8, 8, 7, 1, 224, 1},           {"builtin 6x8", "6x8", 6, 8, 7, 1, 224, 1},
      {"builtin 8x16", "8x16", 8, 16, 14, 2, 223, 1},       {"builtin 8x16 bold", "8x16b", 8, 16, 14, 2, 223, 2},
      {"builtin 9x15", "9x15", 9, 15, 12, 3, 224, 1},       {"builtin 9x15 bold", "9x15b", 9, 15, 12, 3, 224, 2},
      {"builtin variable 13", "var13", 11, 13, 11, 2, 223, 1},
  };
  ASSERT_EQ(kvfont_count(), 11);
  for (int i = 0; i < 11; ++i) {
    const BuiltinRow& r = rows[i];
    SCOPED_TRACE(r.name);
    EXPECT_EQ(kvfont_find(r.name), i);
    EXPECT_EQ(kvfont_findalias(r.alias), i);
    const kvfont* f = kvfont_record(i);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->xsize, r.cell);
    EXPECT_EQ(f->ysize, r.height);
    EXPECT_EQ(f->ascent, r.ascent);
    EXPECT_EQ(f->descent, r.descent);
    EXPECT_EQ(f->chars, r.chars);
    EXPECT_EQ(f->weight, r.weight);
    EXPECT_GE(f->id, 1000000);
    if (i < 10) {
      EXPECT_EQ(f->spacing, 1);
      for (int c = 0; c < r.chars; ++c) ASSERT_EQ(f->widths[c], r.cell);
    } else {
      EXPECT_EQ(f->spacing, 2);
      int lo = 100, hi = 0;
      for (int c = 0; c < r.chars; ++c) lo = std::min(lo, f->widths[c]), hi = std::max(hi, f->widths[c]);
      EXPECT_EQ(lo, 2);
      EXPECT_EQ(hi, 11);
    }
  }
  // Every printable glyph of the fixed fonts has ink: the data is not blank.
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(kvfont_glyph(kvfont_id(0), 'A', &bits, &w, &h));
  EXPECT_GT(std::count(bits, bits + w * h, 1), 10);
  // The exit sequence releases the table.
  kvcleanup(0);
  EXPECT_EQ(kvfont_count(), 0);
}

TEST_F(FontTest, MeasuringFollowsTheWidths) {
  EXPECT_EQ(kvfont_textwidth(-1, "abc"), 18);
  const kvfont* var = kvfont_record(-2);
  ASSERT_NE(var, nullptr);
  EXPECT_EQ(kvfont_textwidth(-2, "abc"), var->widths['a' - 32] + var->widths['b' - 32] + var->widths['c' - 32]);
  EXPECT_NE(kvfont_textwidth(-2, "iii"), kvfont_textwidth(-2, "WWW"));
  EXPECT_EQ(kvfont_textwidth(-1, nullptr), 0);
  EXPECT_EQ(kvfont_height(-1), 13);
  EXPECT_EQ(kvfont_charwidth(-1, 31), 0);
  // Unknown identifiers measure nothing.
  for (int bad : {-4, 5, 999999, 1999999, 2000000000}) {
    EXPECT_EQ(kvfont_textwidth(bad, "abc"), 0) << bad;
    EXPECT_EQ(kvfont_height(bad), 0) << bad;
  }
}

TEST_F(FontTest, SpecialIdentifiersRegisterTheirFontOnFirstUse) {
  EXPECT_EQ(kvfont_count(), 0);
  int index = kvfont_index(-2);
  ASSERT_GE(index, 0);
  EXPECT_EQ(kvfont_record(index)->name, "builtin variable 13");
  EXPECT_EQ(kvfont_count(), 1);
  EXPECT_EQ(kvfont_index(-1), kvfont_index(-3));
  EXPECT_EQ(kvfont_record(-1)->name, "builtin 6x13");
  EXPECT_EQ(kvfont_count(), 2);
  // Table index and stored identifier name the same record.
  int id = kvfont_id(index);
  EXPECT_EQ(kvfont_index(id), index);
  EXPECT_EQ(kvfont_index(index), index);
}

TEST_F(FontTest, LoadingADescriptionOnceRegistersItOnce) {
  int id = kvfont_load(tiny_description(), "tiny font");
  ASSERT_GE(id, 1000000);
  EXPECT_EQ(kvfont_load(tiny_description(), "tiny font"), id);
  EXPECT_EQ(kvfont_count(), 1);
  EXPECT_EQ(kvfont_findalias("TINY"), 0);
  EXPECT_EQ(kvfont_find("Tiny font"), -1);  // registered names match exactly
  const uint8_t* bits = nullptr;
  int w = 0, h = 0;
  ASSERT_TRUE(kvfont_glyph(id, '"', &bits, &w, &h));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(std::vector<uint8_t>(bits, bits + 6), (std::vector<uint8_t>{1, 1, 1, 1, 0, 1}));
  EXPECT_EQ(kvfont_textwidth(id, " !\""), 6);
  EXPECT_FALSE(kvfont_glyph(id, '#', &bits, &w, &h));  // beyond the glyph count
  EXPECT_FALSE(kvfont_glyph(id, 31, &bits, &w, &h));

  kvfont_unload(id);
  EXPECT_EQ(kvfont_index(id), -1);
  EXPECT_EQ(kvfont_textwidth(id, "!"), 0);
  int again = kvfont_load(tiny_description(), "tiny font");
  EXPECT_NE(again, id);
  EXPECT_EQ(kvfont_index(again), 0);  // the free record is reused
  EXPECT_EQ(kvfont_count(), 1);
}

TEST_F(FontTest, LyingDescriptionsAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
  };
  auto with = [](size_t index, const std::string& line) {
    auto d = tiny_description();
    d[index] = line;
    return d;
  };
  auto without_last = [] {
    auto d = tiny_description();
    d.pop_back();
    return d;
  };
  const Case cases[] = {
      {"more glyphs than widths", with(5, "chars=4")},
      {"fewer widths than glyphs", with(8, "propxs=1 2")},
      {"a width that is not a number", with(8, "propxs=1 x 3")},
      {"a negative width", with(8, "propxs=1 -2 3")},
      {"an offset past the data", with(9, "propdataoffset=0 2 7")},
      {"a negative offset", with(9, "propdataoffset=-1 2 6")},
      {"a row shorter than its glyph", with(16, "**")},
      {"rows missing", without_last()},
      {"no height", with(3, "ysize=0")},
      {"a huge height", with(3, "ysize=100000")},
      {"too many glyphs", with(5, "chars=225")},
      {"no data section", with(10, "dat")},
      {"a huge width", with(8, "propxs=1 2 99999999")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kvfont_load(c.lines, "broken"), 0) << c.what;
  }
  EXPECT_EQ(kvfont_count(), 0);
  EXPECT_GE(kvfont_load_text("header:\nname=x\nysize=1\nchars=1\nxsize=1\ndata:\n*\n", "ok"), 1000000);
  EXPECT_EQ(kvfont_count(), 1);
}

TEST_F(FontTest, FamiliesAreRegisteredOnDemandWithTheirNames) {
  kvfont_loadfamilies();
  kvfont_loadfamilies();
  EXPECT_EQ(kvfont_count(), 54);
  int lo = 1000, hi = 0;
  for (int n : {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 40, 44, 48}) {
    for (const char* suffix : {"", "b"}) {
      std::string alias = "Arial" + std::to_string(n) + suffix;
      int i = kvfont_find(("name=" + alias).c_str());
      ASSERT_GE(i, 0) << alias;
      EXPECT_EQ(kvfont_findalias(alias.c_str()), i);
      const kvfont* f = kvfont_record(i);
      EXPECT_EQ(f->spacing, 2);
      EXPECT_EQ(f->weight, *suffix ? 2 : 1);
      lo = std::min(lo, f->ysize), hi = std::max(hi, f->ysize);
    }
  }
  EXPECT_EQ(lo, 10);
  EXPECT_EQ(hi, 47);
  lo = 1000, hi = 0;
  for (int n : {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) {
    for (const char* suffix : {"", "b"}) {
      std::string alias = "crnew" + std::to_string(n) + suffix;
      int i = kvfont_findalias(alias.c_str());
      ASSERT_GE(i, 0) << alias;
      const kvfont* f = kvfont_record(i);
      EXPECT_EQ(f->spacing, 1);
      EXPECT_EQ(kvfont_textwidth(i, "iiii"), kvfont_textwidth(i, "WWWW"));
      lo = std::min(lo, f->ysize), hi = std::max(hi, f->ysize);
    }
  }
  EXPECT_EQ(lo, 8);
  EXPECT_EQ(hi, 72);
  // Bigger sizes are wider.
  EXPECT_LT(kvfont_textwidth(kvfont_findalias("arial12"), "Hello"), kvfont_textwidth(kvfont_findalias("arial24"), "Hello"));
}

}  // namespace
