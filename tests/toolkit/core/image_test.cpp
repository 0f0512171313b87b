#include "toolkit/core/font_fixture.h"
#include "toolkit/core/image.h"
#include "toolkit/core/stdout.h"

namespace {

class ImageTest : public kivo::test::FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    kvstdout_set(nullptr, 0);
    kvstdout_save();
  }
};

intptr_t self(const kvImage& image) { return reinterpret_cast<intptr_t>(&image); }

int count_not_in(const kvImage& image, int background) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.getpixel(x, y) != background;
  return n;
}

TEST_F(ImageTest, ImageFromSizeAndBackgroundBecomesTheStandardOutput) {
  EXPECT_EQ(kvgwidth(), 0);  // no standard output yet
  EXPECT_EQ(kvgline(0, 0, 1, 1, 0), 0);
  {
    kvImage image("xs=10,ys=5,bgcolor=%s", "red");
    EXPECT_TRUE(image.initialized);
    EXPECT_EQ(image.format, KVPX_TRUECOLOR);
    EXPECT_EQ(image.width(), 10);
    EXPECT_EQ(image.height(), 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(image.getpixel(x, y), 0x800000);
    kvcallback cb = nullptr;
    intptr_t object = 0;
    ASSERT_TRUE(kvstdout_get(&cb, &object));
    EXPECT_EQ(object, self(image));
    EXPECT_EQ(kvgwidth(), 10);
    EXPECT_EQ(kvgheight(), 5);
    EXPECT_EQ(kvgfontheight(), 13);
    EXPECT_EQ(kvgtextwidth("abc"), 18);
    kvgline(0, 0, 9, 0, 0x0000FF);
    EXPECT_EQ(image.getpixel(9, 0), 0x0000FF);
    kvgbox(0, 2, 2, 2, 0x00FF00);
    EXPECT_EQ(image.getpixel(1, 3), 0x00FF00);
  }
  // The destroyed image is no longer the target.
  EXPECT_FALSE(kvstdout_get(nullptr, nullptr));
  EXPECT_EQ(kvgwidth(), 0);
}

TEST_F(ImageTest, ConfigurationKeywords) {
  kvImage quiet("xs=4,ys=4,palette,nostdout");
  EXPECT_EQ(quiet.format, KVPX_PALETTE8);
  EXPECT_FALSE(kvstdout_get(nullptr, nullptr));
  kvImage empty;
  EXPECT_FALSE(empty.initialized);
  EXPECT_EQ(empty.data, nullptr);
  kvImage sized(3, 2);
  EXPECT_EQ(sized.width(), 3);
  EXPECT_TRUE(sized.convert("palette"));
  EXPECT_EQ(sized.format, KVPX_PALETTE8);
  EXPECT_TRUE(sized.convert("to truecolor"));
  EXPECT_EQ(sized.format, KVPX_TRUECOLOR);
  EXPECT_FALSE(sized.convert("jpeg"));
  kvImage nothing("xs=0,ys=5");
  EXPECT_TRUE(nothing.initialized);
  EXPECT_EQ(nothing.data, nullptr);
}

TEST_F(ImageTest, GraphicMessages) {
  kvImage image("xs=40,ys=20,bgcolor=ffffff,nostdout");
  auto send = [&](int code, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0, intptr_t a5 = 0,
                  intptr_t a6 = 0, intptr_t a7 = 0) {
    return kvImage::message(self(image), code, a1, a2, a3, a4, a5, a6, a7, 0);
  };
  EXPECT_EQ(send(KVG_SELF), self(image));
  EXPECT_EQ(send(1030), 0);  // unknown codes answer 0
  EXPECT_EQ(send(999), 0);
  send(KVG_SETPIXEL, 1, 1, 0x123456);
  EXPECT_EQ(send(KVG_GETPIXEL, 1, 1), 0x123456);
  EXPECT_EQ(send(KVG_GETPIXEL, -1, 1), -1);
  send(KVG_MOVETO, 0, 5);
  send(KVG_LINETO, 39, 5, 0);
  EXPECT_EQ(image.getpixel(20, 5), 0);
  send(KVG_DASHLINE, 0, 7, 9, 7, 0x00FF00, 3, 3);
  EXPECT_EQ(image.getpixel(3, 7), 0xFFFFFF);
  EXPECT_EQ(image.getpixel(6, 7), 0x00FF00);
  EXPECT_EQ(send(KVG_TEXTWIDTH, reinterpret_cast<intptr_t>("ab")), 12);
  EXPECT_EQ(send(KVG_CHARWIDTH, 'a'), 6);
  send(KVG_SETFONT, -2);
  EXPECT_EQ(image.font, -2);
  EXPECT_EQ(send(KVG_FONTHEIGHT), 13);
  send(KVG_CLEAR, 0xFFFFFF);
  send(KVG_CHAR, 0, 0, 0, 'W');
  EXPECT_GT(count_not_in(image, 0xFFFFFF), 0);
  send(KVG_CLEAR, 0xFFFFFF);
  const char* words = "a few words to wrap";
  EXPECT_EQ(send(KVG_WRAPTEXT, 0, 0, 40, 100, 0, reinterpret_cast<intptr_t>(words)), kvfont_textheight(40, words, -2));
  EXPECT_GT(kvfont_textheight(40, words, -2), 13);
  int sys = static_cast<int>(send(KVG_SYSFONT, reinterpret_cast<intptr_t>("Arial,points=10")));
  EXPECT_GT(sys, 0);
  EXPECT_EQ(image.font, sys);
}

TEST_F(ImageTest, StandardOutputSaveRestoreAndThickLines) {
  kvImage first("xs=8,ys=8,bgcolor=ffffff");
  kvstdout_save();
  {
    kvImage second("xs=6,ys=6,bgcolor=ffffff");
    EXPECT_EQ(kvgwidth(), 6);
    kvstdout_restore();
    EXPECT_EQ(kvgwidth(), 8);
    kvstdout_clear(&kvImage::message, self(second));  // not the current one: no effect
    EXPECT_EQ(kvgwidth(), 8);
  }
  kvgthickline(1, 0, 1, 7, 0, 0x0000FF);  // vertical: the second line one pixel right
  EXPECT_EQ(first.getpixel(1, 3), 0);
  EXPECT_EQ(first.getpixel(2, 3), 0x0000FF);
  kvgthickline(0, 5, 7, 5, 0x00FF00, 0xFF0000);  // otherwise one pixel down
  EXPECT_EQ(first.getpixel(4, 5), 0x00FF00);
  EXPECT_EQ(first.getpixel(4, 6), 0xFF0000);
  EXPECT_GT(kvgtextf(0, 0, 0, "%d", 7), 0);
}

TEST_F(ImageTest, PictureFilesGiveTheirSizeAndContent) {
  kivo::test::TempDir dir;
  const std::string file = dir.file("pic.bmp");
  {
    kvImage picture("xs=7,ys=3,bgcolor=00ff00,nostdout");
    picture.setpixel(6, 2, 0x0000FF);
    ASSERT_TRUE(picture.save(file.c_str()));
  }
  kvImage loaded("image=%s,xs=100,ys=100", file.c_str());
  EXPECT_EQ(loaded.width(), 7);
  EXPECT_EQ(loaded.height(), 3);
  EXPECT_EQ(loaded.getpixel(0, 0), 0x00FF00);
  EXPECT_EQ(loaded.getpixel(6, 2), 0x0000FF);
  kvImage missing("image=%s,xs=5,ys=4", dir.file("none.bmp").c_str());
  EXPECT_EQ(missing.width(), 5);  // no size from the file: nothing loaded
  EXPECT_EQ(missing.getpixel(0, 0), 0);
}

}  // namespace
