// Image files as written and read back: BMP, PCX, PPM, PNG and XPM.
#include <gtest/gtest.h>

#include <string>

#include "imagefile_test_util.h"
#include "pxmap_test_util.h"
#include "support/test_support.h"
#include "toolkit/core/imagefile.h"
#include "toolkit/core/png_writer.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/picture_decoder.h"

namespace {

using namespace kivo::test;

class ImageFiles : public HeadlessTest {
 protected:
  TempDir dir;
  std::string path(const std::string& name) { return dir.file(name); }

  // A truecolor picture with distinct colours per pixel.
  kvpxmap sample(int w, int h) {
    kvpxmap p = make_pxmap(KVPX_TRUECOLOR, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) kvpxmap_setpixel(&p, x, y, (x * 37 % 256) << 16 | (y * 11 % 256) << 8 | (x + y) % 256);
    return p;
  }

  std::vector<int> load_truecolor(const std::string& name, int w, int h) {
    kvpxmap p = make_pxmap(KVPX_TRUECOLOR, w, h);
    EXPECT_TRUE(kvgraphic_gloadintern_file(&p, name.c_str())) << name;
    std::vector<int> px = pixels_of(p);
    kvpxmap_free(&p);
    return px;
  }
};

TEST_F(ImageFiles, FileTypeByExtension) {
  struct Case {
    const char* name;
    int type;
  } cases[] = {{"a.png", 1}, {"a.BMP", 2}, {"dir.x/a.xpm", 3}, {"a.ppm", 4}, {"a.pcx", 5},
               {"a.htm", 6}, {"a.HTML", 6}, {"a.wmf", 7}, {"a.ps", 8},    {"a.pdf", 9},
               {"a.gif", 0}, {"noext", 0}, {"a.tar.bmp", 2}};
  for (const Case& c : cases) EXPECT_EQ(kvfiletype(c.name), c.type) << c.name;
}

TEST_F(ImageFiles, OnePixelBmpIs58Bytes) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 1, 1, {0x112233});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("one.bmp").c_str()));
  std::vector<uint8_t> b = file_bytes(path("one.bmp"));
  ASSERT_EQ(b.size(), 58u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(b[2], 58);  // the file size, padding included
  EXPECT_EQ(b[10], 54);
  EXPECT_EQ(b[14], 40);
  EXPECT_EQ(b[18], 1);
  EXPECT_EQ(b[22], 1);
  EXPECT_EQ(b[26], 1);
  EXPECT_EQ(b[28], 24);
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 54, b.end())), (std::vector<uint8_t>{0x33, 0x22, 0x11, 0}));
  kvpxmap_free(&p);
}

TEST_F(ImageFiles, EveryFormatRoundTripsEveryRowPadding) {
  for (const char* ext : {"bmp", "pcx", "ppm", "png"}) {
    for (int w = 1; w <= 5; ++w) {
      kvpxmap p = sample(w, 3);
      std::string name = path("rt" + std::to_string(w) + "." + ext);
      ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", name.c_str())) << name;
      int fw = 0, fh = 0;
      if (std::string(ext) != "png") {
        ASSERT_TRUE(kvgetpicturesizes(name.c_str(), &fw, &fh)) << name;
        EXPECT_EQ(fw, w);
        EXPECT_EQ(fh, 3);
        EXPECT_EQ(load_truecolor(name, w, 3), pixels_of(p)) << name;
      } else {
        std::vector<uint8_t> b = file_bytes(name);
        kivo::port::DecodedPicture d;
        std::string error;
        ASSERT_TRUE(kivo::port::backend().picture_decoder().decode(b.data(), b.size(), d, error)) << error;
        ASSERT_EQ(d.width, w);
        ASSERT_EQ(d.height, 3);
        EXPECT_EQ(std::vector<int>(d.pixels.begin(), d.pixels.end()), pixels_of(p));
      }
      kvpxmap_free(&p);
    }
  }
}

TEST_F(ImageFiles, PcxRunCodes) {
  // Red plane 5 x 0x40 -> 197, 0x40; green 200 then 7, 7, 7, 7 -> 193 200, 196 7;
  // blue 1, 2, 3, 4, 4 -> literals, then the last run as a pair.
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 5, 1,
                         {0x40C801, 0x400702, 0x400703, 0x400704, 0x400704});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("r.pcx").c_str()));
  std::vector<uint8_t> b = file_bytes(path("r.pcx"));
  ASSERT_GE(b.size(), 128u);
  EXPECT_EQ(b[0], 10);
  EXPECT_EQ(b[1], 5);
  EXPECT_EQ(b[2], 1);
  EXPECT_EQ(b[3], 8);
  EXPECT_EQ(b[8], 4);
  EXPECT_EQ(b[12], 300 & 0xFF);
  EXPECT_EQ(b[65], 3);
  EXPECT_EQ(b[66], 5);
  EXPECT_EQ(b[68], 1);
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 128, b.end())),
            (std::vector<uint8_t>{197, 0x40, 193, 200, 196, 7, 1, 2, 3, 194, 4}));
  kvpxmap_free(&p);

  // Runs longer than 63 are split.
  kvpxmap wide = make_pxmap(KVPX_TRUECOLOR, 70, 1);
  ASSERT_TRUE(kvpxmap_savetofile(&wide, "%s", path("w.pcx").c_str()));
  b = file_bytes(path("w.pcx"));
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 128, b.begin() + 132)), (std::vector<uint8_t>{255, 0, 199, 0}));
  EXPECT_EQ(load_truecolor(path("w.pcx"), 70, 1), std::vector<int>(70, 0));
  kvpxmap_free(&wide);
}

TEST_F(ImageFiles, PngLayoutAndBlockSplit) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("s.png").c_str()));
  std::vector<uint8_t> b = file_bytes(path("s.png"));
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GT(b.size(), 33u);
  EXPECT_TRUE(std::equal(sig, sig + 8, b.begin()));
  EXPECT_EQ(be32(b, 8), 13u);
  EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
  EXPECT_EQ(be32(b, 16), 2u);
  EXPECT_EQ(b[24], 8);
  EXPECT_EQ(b[25], 2);
  EXPECT_EQ(be32(b, 29), kivo::png::crc32(b.data() + 12, 17));
  // IDAT: 78 DA, one final stored block of two 7-byte rows, Adler-32.
  size_t idat = 33;
  EXPECT_EQ(std::string(b.begin() + idat + 4, b.begin() + idat + 8), "IDAT");
  EXPECT_EQ(be32(b, idat), 2u + 5 + 14 + 4);
  std::vector<uint8_t> raw = {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0x12, 0x34, 0x56};
  std::vector<uint8_t> expect = {0x78, 0xDA, 1, 14, 0, 0xF1, 0xFF};
  expect.insert(expect.end(), raw.begin(), raw.end());
  uint32_t adler = kivo::png::adler32(raw.data(), raw.size());
  for (int s : {24, 16, 8, 0}) expect.push_back(uint8_t(adler >> s));
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + idat + 8, b.begin() + idat + 8 + expect.size()), expect);
  size_t iend = idat + 12 + expect.size();
  EXPECT_EQ(std::string(b.begin() + iend + 4, b.begin() + iend + 8), "IEND");
  EXPECT_EQ(iend + 12, b.size());
  kvpxmap_free(&p);

  // Known values of the checksums.
  const uint8_t text[] = "123456789";
  EXPECT_EQ(kivo::png::crc32(text, 9), 0xCBF43926u);
  EXPECT_EQ(kivo::png::adler32(text, 9), 0x091E01DEu);

  // 1000-pixel rows are 3001 bytes: ten fit into a block, the eleventh starts a new one.
  kvpxmap wide = make_pxmap(KVPX_TRUECOLOR, 1000, 11);
  std::vector<uint8_t> e = kivo::png::encode(static_cast<const uint32_t*>(wide.data), 1000, 11, 1000);
  size_t at = 33 + 8 + 2;
  EXPECT_EQ(e[at], 0);
  EXPECT_EQ(e[at + 1] | e[at + 2] << 8, 30010);
  at += 5 + 30010;
  EXPECT_EQ(e[at], 1);
  EXPECT_EQ(e[at + 1] | e[at + 2] << 8, 3001);
  kvpxmap_free(&wide);

  // Rows longer than a block are split over blocks and still decode.
  kvpxmap huge = sample(12000, 2);
  ASSERT_TRUE(kvpxmap_savetofile(&huge, "%s", path("h.png").c_str()));
  b = file_bytes(path("h.png"));
  kivo::port::DecodedPicture d;
  std::string error;
  ASSERT_TRUE(kivo::port::backend().picture_decoder().decode(b.data(), b.size(), d, error)) << error;
  EXPECT_EQ(std::vector<int>(d.pixels.begin(), d.pixels.end()), pixels_of(huge));
  kvpxmap_free(&huge);
}

TEST_F(ImageFiles, PpmHeaderAndComments) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 2, 1, {0x010203, 0x040506});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("a.ppm").c_str()));
  std::vector<uint8_t> b = file_bytes(path("a.ppm"));
  EXPECT_EQ(std::string(b.begin(), b.end()), std::string("P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 17));
  std::string commented = "P6\n# one\n# two\n2 1\n255\n\x07\x08\x09\x0a\x0b\x0c";
  write_bytes(path("c.ppm"), std::vector<uint8_t>(commented.begin(), commented.end()));
  EXPECT_EQ(load_truecolor(path("c.ppm"), 2, 1), (std::vector<int>{0x070809, 0x0A0B0C}));
  kvpxmap_free(&p);
}

TEST_F(ImageFiles, XpmWithManyColoursUsesTwoCharacterKeys) {
  for (int colours : {90, 91}) {
    kvpxmap p = make_pxmap(KVPX_PALETTE8, colours, 2);
    for (int x = 0; x < colours; ++x) {
      kvpxmap_setpalette(&p, x, 0x010203 * x);
      kvpxmap_setpixel(&p, x, 0, x);
      kvpxmap_setpixel(&p, x, 1, 255);
    }
    std::string name = path("icon.v" + std::to_string(colours) + ".xpm");
    ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", name.c_str()));
    std::vector<uint8_t> b = file_bytes(name);
    std::string text(b.begin(), b.end());
    int cpp = colours == 91 ? 2 : 1;
    std::string head = "/* XPM */\nstatic char * icon_v" + std::to_string(colours) + "[] = {\n\"" +
                       std::to_string(colours) + " 2 " + std::to_string(colours + 1) + " " +
                       std::to_string(cpp) + "\",\n\"" + std::string(size_t(cpp), ' ') + "\tc None\",\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    if (cpp == 1) {
      EXPECT_NE(text.find("\".\tc #000000\",\n\"+\tc #010203\",\n"), std::string::npos);
    } else {
      EXPECT_NE(text.find("\" .\tc #000000\",\n"), std::string::npos);
      // Index 89 has key 90 (". "), index 90 key 91 ("..").
      EXPECT_NE(text.find("\". \tc #59B30B\",\n\"..\tc #5AB50E\",\n"), std::string::npos);
    }
    EXPECT_EQ(text.substr(text.size() - 4), "\"};\n");
    int w = 0, h = 0;
    ASSERT_TRUE(kvgetpicturesizes(name.c_str(), &w, &h));
    EXPECT_EQ(w, colours);
    kvpxmap back = make_pxmap(KVPX_TRUECOLOR, colours, 2);
    kvpxmap_clear(&back, 0x777777);
    ASSERT_TRUE(kvgraphic_gloadintern_file(&back, name.c_str()));
    for (int x = 0; x < colours; ++x) {
      EXPECT_EQ(kvpxmap_getpixel(&back, x, 0), 0x010203 * x);
      EXPECT_EQ(kvpxmap_getpixel(&back, x, 1), 0x777777);  // transparent
    }
    kvpxmap_free(&back);
    kvpxmap_free(&p);
  }
}

TEST_F(ImageFiles, XpmFromMemory) {
  const char* icon[] = {"4 2 4 1", "  c None", ". c #FF0000", "X c #123456789ABC", "o\tc white",
                        " .Xo", "oX. "};
  kvpxmap p;
  ASSERT_TRUE(kvpxmap_createfrommem_xpm(&p, icon));
  EXPECT_EQ(p.format, KVPX_PALETTE8);
  EXPECT_EQ(pixels_of(p), (std::vector<int>{255, 1, 2, 3, 3, 2, 1, 255}));
  EXPECT_EQ(p.palette[1], 0xFF0000u);
  EXPECT_EQ(p.palette[2], 0x12569Au);
  EXPECT_EQ(p.palette[3], 0xFFFFFFu);
  kvpxmap_free(&p);

  const char* named[] = {"4 1 4 1", "a c Blue", "b c grey50", "c c gray100", "d c papayawhip", "abcd"};
  ASSERT_TRUE(kvpxmap_createfrommem_xpm(&p, named));
  EXPECT_EQ(p.palette[0], 0x0000FFu);
  EXPECT_EQ(p.palette[1], 0x808080u);
  EXPECT_EQ(p.palette[2], 0xFFFFFFu);
  EXPECT_EQ(p.palette[3], 0u);  // unknown names are black
  kvpxmap_free(&p);

  const char* many[] = {"1 1 256 1"};
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_createfrommem_xpm(&p, many));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_createfrommem_xpm: too many colors (256)\n");

  struct Bad {
    std::vector<const char*> lines;
  } bad[] = {{{"2 1 1 1", ". c #000000", ".x"}},   // unknown key
             {{"3 1 1 1", ". c #000000", ".."}},   // short row
             {{"2 1 1 3", "... c #000000", "......"}},
             {{"0 1 1 1", ". c #000000", ""}},
             {{"2 2 1 1", ". c #000000", ".."}},   // missing row
             {{"99999 1 1 1", ". c #000000", "."}},
             {{"x y"}}};
  for (const Bad& b : bad) {
    kvpxmap q;
    EXPECT_FALSE(kvpxmap_createfrommem_xpm_n(&q, b.lines.data(), int(b.lines.size()))) << b.lines[0];
    kvpxmap_free(&q);
  }
}

TEST_F(ImageFiles, TruecolorXpmIsReducedWhenItHasTooManyColours) {
  kvpxmap p = sample(300, 1);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("t.xpm").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "kvpxmap_savetofile_xpm warning: too many colors in truecolor-pixmap, reducing to 64\n");
  std::vector<int> back = load_truecolor(path("t.xpm"), 300, 1);
  for (int x = 0; x < 300; ++x) EXPECT_EQ(back[size_t(x)], kvpxmap_getpixel(&p, x, 0) & 0xC0C0C0);
  kvpxmap_free(&p);
  kvpxmap s = make_pxmap(KVPX_SERVER, 2, 2);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_savetofile_xpm(&s, path("s.xpm").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_savetofile_xpm: unsupported format 4\n");
  kvpxmap_free(&s);
}

}  // namespace
