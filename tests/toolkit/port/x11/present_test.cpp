// Surfaces shown in a window, read back from the screen.
#include "x11_fixture.h"
#include "toolkit/port/x11/pixels.h"

namespace kivo::test {
namespace {

using port::WindowEvent;

// Screens of other layouts (16-bit 5-6-5, BGR) get converted pixels.
TEST(PixelLayout, OtherLayoutsRoundTrip) {
  struct Case {
    int depth, bpp;
    unsigned long r, g, b;
    uint32_t in, stored, back;
  } cases[] = {
      {16, 16, 0xF800, 0x07E0, 0x001F, 0xFF8040, 0xFC08, 0xFF8242},
      {16, 16, 0xF800, 0x07E0, 0x001F, 0xFFFFFF, 0xFFFF, 0xFFFFFF},
      {24, 32, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0x563412, 0x123456},
  };
  for (const Case& c : cases) {
    std::vector<char> data(16);
    XImage image{};
    image.width = 2;
    image.height = 1;
    image.format = ZPixmap;
    image.data = data.data();
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = c.depth;
    image.bits_per_pixel = c.bpp;
    image.bytes_per_line = 8;
    image.red_mask = c.r;
    image.green_mask = c.g;
    image.blue_mask = c.b;
    ASSERT_TRUE(XInitImage(&image));
    EXPECT_FALSE(port::x11::is_native_layout(&image));
    const uint32_t in[2] = {c.in, 0};
    port::x11::pixels_to_image(in, 2, 2, 1, &image);
    EXPECT_EQ(XGetPixel(&image, 0, 0), c.stored) << std::hex << c.in;
    uint32_t back[2] = {1, 1};
    port::x11::image_to_pixels(&image, 0, 0, 2, 1, back, 2);
    EXPECT_EQ(back[0], c.back) << std::hex << c.in;
    EXPECT_EQ(back[1], 0u);
  }
}

class Present : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    auto s = spec(100, 100, 320, 64);
    s.caption = false;
    s.sizing_frame = false;
    window_ = open(s);
    ASSERT_NE(window_, 0u);
    pump_for(100);  // let the first paint pass
  }
  port::Surface* pattern(int width, int height) {
    port::Surface* s = backend().surfaces().create(width, height);
    if (!s) return nullptr;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) s->pixels[y * s->stride + x] = uint32_t((x * 7) & 0xFF) << 16 | uint32_t(y * 3 & 0xFF) << 8 | 0x40;
    return s;
  }
  std::vector<uint32_t> screen(int x, int y, int w, int h) {
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0xDEADBEEF);
    EXPECT_TRUE(backend().display().capture_screen(x, y, w, h, pixels.data(), w));
    return pixels;
  }
  port::WindowId window_ = 0;
};

TEST_F(Present, WholeSurfaceReachesTheScreen) {
  for (int height : {64, 8}) {  // a shared-memory surface and a small heap one
    port::Surface* s = pattern(320, height);
    ASSERT_NE(s, nullptr);
    windows().present(window_, *s, 0, 0, 320, height, 0, 0, true);
    const port::Rect client = windows().client_rect(window_);
    const auto shown = screen(client.x, client.y, 320, height);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < 320; ++x) wrong += shown[size_t(y * 320 + x)] != s->pixels[y * s->stride + x];
    EXPECT_EQ(wrong, 0) << "height " << height;
    backend().surfaces().destroy(s);
  }
}

TEST_F(Present, RectangleGoesToItsPlaceAndIsClipped) {
  port::Surface* s = pattern(320, 64);
  ASSERT_NE(s, nullptr);
  port::Surface* black = backend().surfaces().create(320, 64);
  windows().present(window_, *black, 0, 0, 320, 64, 0, 0, true);
  // A 50 × 20 piece from (30, 10) shown at (100, 5).
  windows().present(window_, *s, 30, 10, 50, 20, 100, 5, true);
  // Negative destinations lose the part outside.
  windows().present(window_, *s, 0, 0, 40, 40, -20, -20, true);
  const port::Rect client = windows().client_rect(window_);
  const auto shown = screen(client.x, client.y, 320, 64);
  auto at = [&](int x, int y) { return shown[size_t(y * 320 + x)]; };
  auto src = [&](int x, int y) { return s->pixels[y * s->stride + x]; };
  EXPECT_EQ(at(100, 5), src(30, 10));
  EXPECT_EQ(at(149, 24), src(79, 29));
  EXPECT_EQ(at(150, 24), 0u);
  EXPECT_EQ(at(99, 5), 0u);
  EXPECT_EQ(at(0, 0), src(20, 20));
  EXPECT_EQ(at(19, 19), src(39, 39));
  EXPECT_EQ(at(20, 0), 0u);
  backend().surfaces().destroy(s);
  backend().surfaces().destroy(black);
}

TEST_F(Present, SurfacesAreSharedWithTheServerWhenItCan) {
  // Xvfb on this machine offers MIT-SHM.
  EXPECT_TRUE(backend().capabilities().shared_memory);
  port::Surface* s = backend().surfaces().create(1920, 64);
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->in_video_memory);
  EXPECT_EQ(s->stride, 1920);
  EXPECT_EQ(s->pixels[1920 * 64 - 1], 0u) << "zero-filled";
  backend().surfaces().destroy(s);
  EXPECT_EQ(backend().surfaces().create(0, 10), nullptr);
  EXPECT_EQ(backend().surfaces().create(16385, 1), nullptr);
}

TEST_F(Present, CaptureOutsideTheScreenLeavesPixelsAlone) {
  std::vector<uint32_t> pixels(20 * 20, 0x123456);
  ASSERT_TRUE(backend().display().capture_screen(-10, -10, 20, 20, pixels.data(), 20));
  EXPECT_EQ(pixels[0], 0x123456u);                   // off the screen
  EXPECT_EQ(pixels[10 * 20 + 10] >> 24, 0u);         // on it: a screen pixel, no alpha byte
  EXPECT_TRUE(backend().display().capture_screen(5000, 5000, 4, 4, pixels.data(), 20));
}

TEST_F(Present, PresentFromAnotherThread) {
  // The frame clock shows the line from its own thread.
  port::Surface* s = pattern(320, 64);
  ASSERT_NE(s, nullptr);
  std::thread drawer([&] {
    for (int i = 0; i < 50; ++i) windows().present(window_, *s, 0, 0, 320, 64, 0, 0, i % 5 == 0);
  });
  pump_for(100);
  drawer.join();
  windows().present(window_, *s, 0, 0, 320, 64, 0, 0, true);
  const port::Rect client = windows().client_rect(window_);
  EXPECT_EQ(screen(client.x + 10, client.y + 10, 1, 1)[0], s->pixels[10 * 320 + 10]);
  backend().surfaces().destroy(s);
}

}  // namespace
}  // namespace kivo::test
