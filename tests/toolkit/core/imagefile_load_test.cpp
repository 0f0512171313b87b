// Loading files into every pixmap format, damaged files, halving and the
// save-under buffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "imagefile_test_util.h"
#include "pxmap_test_util.h"
#include "support/test_support.h"
#include "toolkit/core/cfgstr.h"
#include "toolkit/core/imagefile.h"

namespace {

using namespace kivo::test;

class ImageLoad : public HeadlessTest {
 protected:
  TempDir dir;
  std::string path(const std::string& name) { return dir.file(name); }
  std::string save(const std::string& name, const std::vector<int>& px, int w, int h) {
    kvpxmap p = pxmap_from(KVPX_TRUECOLOR, w, h, px);
    EXPECT_TRUE(kvpxmap_savetofile(&p, "%s", path(name).c_str()));
    kvpxmap_free(&p);
    return path(name);
  }
};

TEST_F(ImageLoad, IntoEveryTargetFormatAtAPosition) {
  const std::vector<int> px = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};
  for (const char* ext : {"bmp", "pcx", "ppm", "xpm"}) {
    std::string name = save(std::string("p.") + ext, px, 2, 2);
    for (uint32_t f : {KVPX_TRUECOLOR, KVPX_PALETTE8, KVPX_SERVER, KVPX_DIRECTX}) {
      if (f == KVPX_DIRECTX && std::string(ext) == "ppm") continue;
      SCOPED_TRACE(testing::Message() << ext << " into format " << f);
      kvpxmap t = make_pxmap(f, 3, 3);
      if (f == KVPX_PALETTE8) kvpxmap_clear(&t, 15);
      else kvpxmap_clear(&t, 0xFFFFFF);
      ASSERT_TRUE(kvgraphic_gloadintern_file(&t, (name + ",x=1,y=1").c_str()));
      ASSERT_TRUE(kvpxmap_convert2truecolor(&t, -1));
      // Black is transparent when copied onto directx.
      int black = f == KVPX_DIRECTX ? 0xFFFFFF : 0;
      EXPECT_EQ(pixels_of(t), (std::vector<int>{0xFFFFFF, 0xFFFFFF, 0xFFFFFF,  //
                                                0xFFFFFF, 0x0000FF, 0x00FF00,  //
                                                0xFFFFFF, 0xFF0000, black}));
      kvpxmap_free(&t);
    }
  }
}

TEST_F(ImageLoad, BmpCoveringAServerTargetReplacesItWithTransparency) {
  std::string name = save("t.bmp", {0x123456, 0xABCDEF}, 2, 1);
  kvpxmap t = make_pxmap(KVPX_SERVER, 2, 1);
  ASSERT_TRUE(kvgraphic_gloadintern_file(&t, (name + ",xs=2,ys=1,transparentcolor=abcdef").c_str()));
  EXPECT_EQ(t.format, KVPX_SERVER);
  EXPECT_EQ(pixels_of(t), (std::vector<int>{0x123456, 0}));
  ASSERT_NE(kvpxmap_mask(&t), nullptr);
  EXPECT_EQ(kvpxmap_mask(&t)->pixels[1], 0xFFFFFFu);
  kvpxmap_free(&t);
}

TEST_F(ImageLoad, MessagesForUnsupportedTypesAndTargets) {
  std::string ppm = save("a.ppm", {1}, 1, 1), bmp = save("a.bmp", {1}, 1, 1);
  struct Case {
    uint32_t format;
    std::string config;
    const char* message;
  } cases[] = {
      {KVPX_DIRECTX, ppm, "kvpxmap_loadfromfile_ppm: PX-Format 6 not supported (should load and copy then)\n"},
      {KVPX_PALETTE16, bmp, "kvpxmap_loadfromfile_bmp: PX-Format 2 not supported (should load and copy then)\n"},
      {KVPX_TRUECOLOR, "x.gif", "kvgraphic_gloadintern_file: unsupported format (x.gif)\n"},
  };
  for (const Case& c : cases) {
    kvpxmap t = make_pxmap(c.format, 2, 2);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(kvgraphic_gloadintern_file(&t, c.config.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
    kvpxmap_free(&t);
  }
  int w, h;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvgetpicturesizes("picture.gif", &w, &h));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvgetpicturesizes: unsupported format (picture.gif)\n");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvgetpicturesizes(path("missing.bmp").c_str(), &w, &h));
  kvpxmap t = make_pxmap(KVPX_TRUECOLOR, 1, 1);
  EXPECT_FALSE(kvgraphic_gloadintern_file(&t, path("missing.pcx").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // missing files are silent
  testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_savetofile(&t, "%s", path("a.gif").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "kvpxmap_savetofile: unsupported format (" + path("a.gif") + ")\n");
  kvpxmap_free(&t);
}

TEST_F(ImageLoad, SaveARegion) {
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s,x=%d,y=1,xs=2,ys=%d", path("r.ppm").c_str(), 1, 2));
  int w = 0, h = 0;
  ASSERT_TRUE(kvgetpicturesizes(path("r.ppm").c_str(), &w, &h));
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);
  kvpxmap back = make_pxmap(KVPX_TRUECOLOR, 2, 2);
  ASSERT_TRUE(kvgraphic_gloadintern_file(&back, path("r.ppm").c_str()));
  EXPECT_EQ(pixels_of(back), (std::vector<int>{5, 6, 8, 9}));
  kvpxmap_free(&back);
  kvpxmap_free(&p);
}

TEST_F(ImageLoad, FileNamesLongerThanAKeywordTokenStayWhole) {
  // Keyword tokens are cut at kvcfgstr_max_token characters; the file name
  // in front of them must not be, or the picture would go to another file.
  std::string folder = dir.path();
  while (folder.size() <= kvcfgstr_max_token) {
    folder += "/" + std::string(200, 'd');
    std::filesystem::create_directory(folder);
  }
  const std::string name = folder + "/long.ppm";
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 2, 1, {0x010203, 0x040506});
  ASSERT_TRUE(kvpxmap_savetofile(&p, "%s,x=1", name.c_str()));
  kvpxmap back = make_pxmap(KVPX_TRUECOLOR, 2, 1);
  kvpxmap_clear(&back, 0);
  ASSERT_TRUE(kvgraphic_gloadintern_file(&back, (name + ",x=1").c_str()));
  EXPECT_EQ(pixels_of(back), (std::vector<int>{0, 0x040506}));
  kvpxmap_free(&back);
  kvpxmap_free(&p);
}

TEST_F(ImageLoad, SaveTextsCutAtTheLengthLimitAreRefused) {
  // A name cut by the formatting limit would save to another file.
  std::string folder = dir.path();
  while (folder.size() <= kvcfgstr_max_text) {
    folder += "/" + std::string(200, 'e');
    std::filesystem::create_directory(folder);
  }
  const std::string name = folder + "/long.ppm";
  kvpxmap p = pxmap_from(KVPX_TRUECOLOR, 1, 1, {0x010203});
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(kvpxmap_savetofile(&p, "%s", name.c_str()));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "kvpxmap_savetofile: file name too long\n");
  EXPECT_FALSE(std::filesystem::exists(name));
  kvpxmap_free(&p);
}

TEST_F(ImageLoad, DamagedFilesAreRefused) {
  std::string good_bmp = save("g.bmp", {1, 2, 3, 4, 5, 6}, 3, 2);
  std::string good_pcx = save("g.pcx", {1, 2, 3, 4, 5, 6}, 3, 2);
  std::vector<uint8_t> bmp = file_bytes(good_bmp), pcx = file_bytes(good_pcx);
  auto with = [](std::vector<uint8_t> b, size_t at, std::vector<uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) b[at + i] = bytes[i];
    return b;
  };
  auto cut = [](std::vector<uint8_t> b, size_t n) { return std::vector<uint8_t>(b.begin(), b.begin() + long(n)); };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty.bmp", {}},
      {"short.bmp", cut(bmp, 30)},
      {"truncated.bmp", cut(bmp, bmp.size() - 1)},
      {"huge.bmp", with(bmp, 18, {0xFF, 0xFF})},
      {"zero.bmp", with(bmp, 22, {0, 0})},
      {"eightbit.bmp", with(bmp, 28, {8})},
      {"topdown.bmp", with(bmp, 22, {0xFE, 0xFF, 0xFF, 0xFF})},
      {"short.pcx", cut(pcx, 100)},
      {"truncated.pcx", cut(pcx, pcx.size() - 2)},
      {"lying.pcx", with(pcx, 8, {0xFF, 0x3F, 0xFF, 0x3F})},
      {"planes.pcx", with(pcx, 65, {1})},
      {"magic.ppm", {'P', '3', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n', 1, 2, 3}},
      {"short.ppm", {'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n', 1, 2, 3}},
      {"huge.ppm", {'P', '6', '\n', '9', '9', '9', '9', '9', ' ', '1', '\n', '2', '5', '5', '\n', 1, 2, 3}},
      {"negative.ppm", {'P', '6', '\n', '-', '2', ' ', '1', '\n', '2', '5', '5', '\n', 1, 2, 3}},
      {"wide.ppm", {'P', '6', '\n', '1', ' ', '1', '\n', '6', '5', '5', '3', '5', '\n', 1, 2, 3, 4, 5, 6}},
      {"noheader.ppm", {'P', '6', '\n'}},
      {"colours.xpm", {'"', '1', ' ', '1', ' ', '3', ' ', '1', '"', ',', '"', 'a', ' ', 'c', ' ', '#', '0', '"'}},
  };
  for (const Case& c : cases) {
    std::string name = path(c.name);
    write_bytes(name, c.bytes);
    kvpxmap t = make_pxmap(KVPX_TRUECOLOR, 4, 4);
    kvpxmap_clear(&t, 0x777777);
    EXPECT_FALSE(kvgraphic_gloadintern_file(&t, name.c_str())) << c.name;
    kvpxmap_free(&t);
  }
  // Runs reaching past the picture are cut at its end.
  std::vector<uint8_t> overrun = cut(pcx, 128);
  for (int i = 0; i < 3; ++i) overrun.insert(overrun.end(), {255, 7});
  write_bytes(path("overrun.pcx"), overrun);
  kvpxmap t = make_pxmap(KVPX_TRUECOLOR, 3, 2);
  ASSERT_TRUE(kvgraphic_gloadintern_file(&t, path("overrun.pcx").c_str()));
  EXPECT_EQ(pixels_of(t), std::vector<int>(6, 0x070707));
  kvpxmap_free(&t);
}

TEST_F(ImageLoad, HalveAveragesTwoByTwoBlocks) {
  std::string name = save("big.bmp", {0x000000, 0x040404, 0x080808,  //
                                      0x0C0C0C, 0xFF0000, 0xFF0000,  //
                                      1, 1, 1},
                          3, 3);
  ASSERT_TRUE(kvpicture_halve(name.c_str(), "%s", path("half.ppm").c_str()));
  int w = 0, h = 0;
  ASSERT_TRUE(kvgetpicturesizes(path("half.ppm").c_str(), &w, &h));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
  kvpxmap back = make_pxmap(KVPX_TRUECOLOR, 1, 1);
  ASSERT_TRUE(kvgraphic_gloadintern_file(&back, path("half.ppm").c_str()));
  EXPECT_EQ(kvpxmap_getpixel(&back, 0, 0), 0x430404);  // (0 + 4 + 12 + 255) / 4 = 67 red
  kvpxmap_free(&back);
}

TEST_F(ImageLoad, SaveUnderBufferRestoresExactly) {
  constexpr int T = 0xF00000;  // the default transparent colour is saved too
  for (uint32_t f : {KVPX_TRUECOLOR, KVPX_PALETTE8, KVPX_SERVER, KVPX_DIRECTX}) {
    kvpxmap p = pxmap_from(f, 3, 2, {1, T & 0xFF, 3, 4, f == KVPX_PALETTE8 ? 255 : T, 6});
    std::vector<int> before = pixels_of(p);
    kvPxMapCache cache;
    EXPECT_FALSE(cache.valid);
    cache.save(&p, 1, 0, 2, 2);
    EXPECT_TRUE(cache.valid);
    kvpxmap_clear(&p, 9);
    cache.restore();
    std::vector<int> after = pixels_of(p);
    EXPECT_EQ(after, (std::vector<int>{9, before[1], before[2], 9, before[4], before[5]})) << f;
    cache.save(&p, 0, 0, 1, 1);  // another size re-allocates
    EXPECT_EQ(cache.saved.width, 1);
    cache.discard();
    EXPECT_FALSE(cache.valid);
    cache.restore();  // nothing to restore
    kvpxmap_free(&p);
  }
}

}  // namespace
