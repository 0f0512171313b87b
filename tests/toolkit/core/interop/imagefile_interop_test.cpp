// Our image files against Debian's tools: pngcheck, netpbm and ImageMagick
// must read what we write with the same pixels, and 24-bit files they write
// must read back the same in our readers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../imagefile_test_util.h"
#include "../pxmap_test_util.h"
#include "support/test_support.h"
#include "toolkit/core/imagefile.h"

namespace {

using namespace kivo::test;

bool have(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

// Runs a shell command; its own redirections stay, its messages are dropped.
int run(const std::string& command) { return std::system(("(" + command + ") 2>/dev/null").c_str()); }

class ImageInterop : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    for (const char* tool : {"pngcheck", "pngtopnm", "bmptopnm", "pcxtoppm", "xpmtoppm", "ppmtobmp",
                             "ppmtopcx", "ppmtoxpm", "convert"})
      if (!have(tool)) GTEST_SKIP() << tool << " is not installed (tools/packages/pix.txt)";
  }
  TempDir dir;
  std::string path(const std::string& name) { return dir.file(name); }

  // 7 x 5, every pixel its own colour: odd widths exercise row padding.
  kvpxmap picture() {
    kvpxmap p = make_pxmap(KVPX_TRUECOLOR, 7, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) kvpxmap_setpixel(&p, x, y, (x * 36) << 16 | (y * 60) << 8 | (255 - x * y * 7));
    return p;
  }

  // Pixels of a binary PPM file as read by our reader (its format is checked
  // against the tools elsewhere in this file).
  std::vector<int> ppm_pixels(const std::string& name, int w, int h) {
    kvpxmap p = make_pxmap(KVPX_TRUECOLOR, w, h);
    int fw = 0, fh = 0;
    EXPECT_TRUE(kvgetpicturesizes(name.c_str(), &fw, &fh)) << name;
    EXPECT_EQ(fw, w);
    EXPECT_EQ(fh, h);
    EXPECT_TRUE(kvgraphic_gloadintern_file(&p, name.c_str())) << name;
    std::vector<int> px = pixels_of(p);
    kvpxmap_free(&p);
    return px;
  }
};

TEST_F(ImageInterop, PpmWeWriteIsReadByNetpbmAndImageMagick) {
  kvpxmap p = picture();
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("ours.ppm").c_str()));
  // netpbm normalises to a plain P3 text dump; compare against our own bytes.
  ASSERT_EQ(run("pnmtoplainpnm " + path("ours.ppm") + " > " + path("plain.ppm")), 0);
  std::vector<uint8_t> plain = file_bytes(path("plain.ppm"));
  std::string text(plain.begin(), plain.end());
  std::string expected = "P3\n7 5\n255\n";
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  ASSERT_EQ(run("convert " + path("ours.ppm") + " -depth 8 " + path("im.ppm")), 0);
  EXPECT_EQ(ppm_pixels(path("im.ppm"), 7, 5), pixels_of(p));
  kvpxmap_free(&p);
}

TEST_F(ImageInterop, PngWePassesPngcheckAndDecodesTheSame) {
  for (int w : {7, 11000}) {  // the wide one spans several stored blocks per row
    kvpxmap p = make_pxmap(KVPX_TRUECOLOR, w, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < w; ++x) kvpxmap_setpixel(&p, x, y, (x * 7919 + y * 104729) & 0xFFFFFF);
    std::string png = path("ours" + std::to_string(w) + ".png"), ppm = path("back" + std::to_string(w) + ".ppm");
    ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", png.c_str()));
    EXPECT_EQ(run("pngcheck -q " + png), 0) << "pngcheck rejects " << png;
    ASSERT_EQ(run("pngtopnm " + png + " > " + ppm), 0);
    EXPECT_EQ(ppm_pixels(ppm, w, 5), pixels_of(p));
    kvpxmap_free(&p);
  }
}

TEST_F(ImageInterop, FilesWeWriteOpenInNetpbmAndImageMagickWithTheSamePixels) {
  kvpxmap p = picture();
  struct Case {
    const char* ext;
    const char* netpbm;
  } cases[] = {{"bmp", "bmptopnm"}, {"pcx", "pcxtoppm"}, {"xpm", "xpmtoppm"}};
  for (const Case& c : cases) {
    std::string ours = path(std::string("ours.") + c.ext);
    ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", ours.c_str())) << ours;
    std::string by_netpbm = path(std::string("netpbm_") + c.ext + ".ppm");
    std::string by_im = path(std::string("im_") + c.ext + ".ppm");
    ASSERT_EQ(run(std::string(c.netpbm) + " " + ours + " > " + by_netpbm), 0) << c.netpbm;
    ASSERT_EQ(run("convert " + ours + " -depth 8 " + by_im), 0) << "convert " << ours;
    EXPECT_EQ(ppm_pixels(by_netpbm, 7, 5), pixels_of(p)) << c.netpbm;
    EXPECT_EQ(ppm_pixels(by_im, 7, 5), pixels_of(p)) << "ImageMagick " << c.ext;
  }
  kvpxmap_free(&p);
}

TEST_F(ImageInterop, XpmWithTwoCharacterKeysOpensInTheTools) {
  kvpxmap p = make_pxmap(KVPX_PALETTE8, 10, 10);
  for (int i = 0; i < 100; ++i) {
    kvpxmap_setpalette(&p, i, (0x030507 * i) & 0xFFFFFF);
    kvpxmap_setpixel(&p, i % 10, i / 10, i);
  }
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", path("keys.xpm").c_str()));
  ASSERT_TRUE(kvpxmap_convert2truecolor(&p, -1));
  ASSERT_EQ(run("xpmtoppm " + path("keys.xpm") + " > " + path("keys_n.ppm")), 0);
  ASSERT_EQ(run("convert " + path("keys.xpm") + " -depth 8 " + path("keys_i.ppm")), 0);
  EXPECT_EQ(ppm_pixels(path("keys_n.ppm"), 10, 10), pixels_of(p));
  EXPECT_EQ(ppm_pixels(path("keys_i.ppm"), 10, 10), pixels_of(p));
  kvpxmap_free(&p);
}

TEST_F(ImageInterop, TwentyFourBitFilesOfTheToolsReadTheSame) {
  kvpxmap p = picture();
  std::string src = path("src.ppm");
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s", src.c_str()));
  struct Case {
    std::string command, file;
  } cases[] = {
      {"ppmtobmp -bpp 24 " + src + " > " + path("n.bmp"), path("n.bmp")},
      {"convert " + src + " -type TrueColor BMP3:" + path("i.bmp"), path("i.bmp")},
      {"convert " + src + " -type TrueColor " + path("i4.bmp"), path("i4.bmp")},
      {"ppmtopcx -24bit " + src + " > " + path("n.pcx"), path("n.pcx")},
      {"convert " + src + " -type TrueColor " + path("i.pcx"), path("i.pcx")},
      {"pnmtopnm " + src + " > " + path("n.ppm"), path("n.ppm")},
      {"convert " + src + " " + path("i.ppm"), path("i.ppm")},
      {"ppmtoxpm " + src + " > " + path("n.xpm"), path("n.xpm")},
      {"convert " + src + " " + path("i.xpm"), path("i.xpm")},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(run(c.command), 0) << c.command;
    EXPECT_EQ(ppm_pixels(c.file, 7, 5), pixels_of(p)) << c.command;
  }
  kvpxmap_free(&p);
}

}  // namespace
