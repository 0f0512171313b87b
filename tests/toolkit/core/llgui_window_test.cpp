// Opening windows of the window layer, their output and the window services.
#include <vector>

#include "llgui_fixture.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/display.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::backend;
using kivo::port::Rect;
using kivo::port::WindowLayer;
using kivo::port::headless::WindowInfo;

class LlguiWindow : public kivo::test::LlguiTest {
 protected:
  WindowInfo info(const kvllgui_window& w) {
    WindowInfo i;
    EXPECT_TRUE(ctl().window(w.handle, i));
    return i;
  }
};

TEST_F(LlguiWindow, OpenedAtMinusOneSitsAtTheWorkAreasTopLeftCorner) {
  kvllgui_window strip;
  ASSERT_TRUE(kvllgui_open(&strip, record, 0, 0, 0, 1920, 40, "", false, false, false, false, true, false,
                           true, false));
  backend().desktop().reserve_strip(strip.handle, kivo::port::Edge::Top, 40, 0, 1920);
  ASSERT_TRUE(open(-1, 500, 200, 100));
  EXPECT_EQ(info(window).outer.x, 0);
  EXPECT_EQ(info(window).outer.y, 40);
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 40);
  kvllgui_close(&strip);
}

TEST_F(LlguiWindow, FramesFollowTheFlags) {
  const auto frame = backend().display().frame_metrics();
  ASSERT_TRUE(open(10, 20, 200, 100, "Titled"));
  WindowInfo titled = info(window);
  EXPECT_TRUE(titled.spec.caption);
  EXPECT_FALSE(titled.spec.sizing_frame);  // opened with "no resize"
  EXPECT_TRUE(titled.spec.minimise_box);
  EXPECT_EQ(titled.title, "Titled");
  EXPECT_EQ(titled.client.width, 200);
  EXPECT_EQ(kvllgui_clientx(&window), 10 + frame.border);
  EXPECT_EQ(kvllgui_clienty(&window), 20 + frame.border + frame.caption);
  EXPECT_EQ(kvllgui_width(&window), 200 + 2 * frame.border);
  EXPECT_EQ(kvllgui_height(&window), 100 + 2 * frame.border + frame.caption);

  ASSERT_TRUE(open(10, 20, 200, 100, "Untitled", true));  // reopening closes first
  WindowInfo untitled = info(window);
  EXPECT_FALSE(untitled.spec.caption);
  EXPECT_FALSE(untitled.spec.sizing_frame);
  EXPECT_TRUE(untitled.spec.tool_window);
  EXPECT_EQ(untitled.client, (Rect{10, 20, 200, 100}));
  EXPECT_EQ(untitled.outer, untitled.client);
  EXPECT_EQ(ctl().window_list().size(), 1u);

  ASSERT_TRUE(open(10, 20, 200, 100, ""));  // an empty title has no caption either
  EXPECT_FALSE(info(window).spec.caption);
  EXPECT_TRUE(info(window).has_icon);
}

TEST_F(LlguiWindow, FullScreenModalAndPopupWindows) {
  kvllgui_window full;
  ASSERT_TRUE(kvllgui_open(&full, record, 0, 50, 50, 10, 10, "Full", true, false, true, false, false, false,
                           false, false));
  EXPECT_EQ(info(full).client, (Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(full.pxmap.width, 1920);
  kvllgui_close(&full);

  ASSERT_TRUE(open(0, 0, 100, 100));  // the main window
  kvllgui_window modal, popup;
  ASSERT_TRUE(kvllgui_open(&modal, record, 0, 10, 10, 50, 50, "Modal", true, false, false, true, true, false,
                           false, false));
  EXPECT_EQ(info(modal).layer, WindowLayer::OnTop);
  ASSERT_TRUE(kvllgui_open(&popup, record, 0, 10, 10, 50, 50, "Menu", false, false, false, false, false, true,
                           false, false));
  EXPECT_EQ(info(popup).spec.owner, window.handle);
  EXPECT_FALSE(info(popup).spec.caption);
  EXPECT_EQ(ctl().capturing_window(), popup.handle);
  kvllgui_close(&popup);
  EXPECT_EQ(ctl().capturing_window(), 0u);
  kvllgui_close(&modal);
}

TEST_F(LlguiWindow, RedrawCopiesTheBackingPixmapWithClippingAndRespectsTheFlags) {
  ASSERT_TRUE(open(0, 0, 100, 50, "W", true));
  pump();
  kvpxmap_clear(&window.pxmap, 0x000000);
  kvpxmap_setpixel(&window.pxmap, 10, 10, 0xFF0000);
  kvpxmap_setpixel(&window.pxmap, 0, 0, 0x00FF00);
  kvllgui_redraw(&window, -5, -5, 10, 10, 5, 5, false);  // the source moves inward
  EXPECT_EQ(ctl().screen_pixel(0, 0), 0xFF0000);
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, false);
  EXPECT_EQ(ctl().screen_pixel(0, 0), 0x00FF00);

  kvpxmap_clear(&window.pxmap, 0x0000FF);
  kvdrawing_suspend();
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, false);
  EXPECT_EQ(ctl().screen_pixel(50, 20), 0x000000);
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, true);
  EXPECT_EQ(ctl().screen_pixel(50, 20), 0x0000FF);
  kvdrawing_resume();
  kvpxmap_clear(&window.pxmap, 0xFFFFFF);
  window.noredraw = 1;
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, true);
  EXPECT_EQ(ctl().screen_pixel(50, 20), 0x0000FF);
}

TEST_F(LlguiWindow, DrawImageCombinesMaskedImagesWithWhatTheWindowShows) {
  ASSERT_TRUE(open(0, 0, 20, 10, "W", true));
  pump();
  kvpxmap_clear(&window.pxmap, 0x404040);
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, true);

  kvpxmap image;
  image.width = 4;
  image.height = 1;
  image.format = KVPX_SERVER;
  ASSERT_TRUE(kvpxmap_allocate(&image));
  kvpxmap_clear(&image, 0x00FF00);
  kvllgui_getdc(&window);
  kvllgui_drawimage(&image, 0, 0, 0, 0, 0, 0);  // opaque
  EXPECT_EQ(ctl().screen_pixel(3, 0), 0x00FF00);

  // Mark pixel 1 transparent: the mask is white there, the colour black.
  auto* server = static_cast<kvpxmap_server*>(image.data);
  ASSERT_TRUE(kivo::pxmap::server_add_mask(server));
  server->mask->pixels[1] = 0xFFFFFF;
  server->surface->pixels[1] = 0;
  kvpxmap_clear(&window.pxmap, 0x404040);
  kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, true);
  kvllgui_drawimage(&image, 10, 0, 0, 0, 0, 0);
  EXPECT_EQ(ctl().screen_pixel(10, 0), 0x00FF00);
  EXPECT_EQ(ctl().screen_pixel(11, 0), 0x404040);
  kvllgui_releasedc(&window);
  kvllgui_drawimage(&image, 0, 5, 0, 0, 0, 0);  // no current window: nothing
  EXPECT_EQ(ctl().screen_pixel(0, 5), 0x404040);
  kvpxmap_free(&image);
}

TEST_F(LlguiWindow, ShowPxmapAndScreenGrab) {
  ASSERT_TRUE(open(30, 40, 64, 16, "W", true));
  kvpxmap dx;
  dx.width = 64;
  dx.height = 16;
  dx.format = KVPX_DIRECTX;
  ASSERT_TRUE(kvpxmap_allocate(&dx));
  kvpxmap_clear(&dx, 0x123456);
  kvllgui_directdraw(&window, false, false, false);
  EXPECT_TRUE(window.ddsetup);
  kvllgui_showpxmap(&window, &dx, true);
  EXPECT_EQ(ctl().screen_pixel(30, 40), 0x123456);
  EXPECT_EQ(ctl().screen_pixel(93, 55), 0x123456);

  kvpxmap grab;
  grab.width = 10;
  grab.height = 10;
  grab.format = KVPX_SERVER;
  ASSERT_TRUE(kvpxmap_allocate(&grab));
  kvllgui_grabscreen(&grab, 2, 3, 30, 40, 4, 4);
  EXPECT_EQ(kvpxmap_getpixel(&grab, 2, 3), 0x123456);
  EXPECT_EQ(kvpxmap_getpixel(&grab, 5, 6), 0x123456);
  EXPECT_EQ(kvpxmap_getpixel(&grab, 6, 7), 0);
  kvpxmap_free(&grab);
  kvpxmap_free(&dx);
}

TEST_F(LlguiWindow, MoveRaiseActivateAndKeepAboveTheDesktop) {
  ASSERT_TRUE(open(100, 100, 100, 50, "W", true));
  kvllgui_move(&window, 300, 200);
  EXPECT_EQ(info(window).outer.x, 300);
  kivo::port::headless::ForeignWindow editor;
  editor.title = "Editor";
  editor.rect = {250, 150, 400, 300};
  const auto foreign = ctl().add_foreign(editor);
  ctl().focus(foreign);
  EXPECT_NE(info(window).stacking, 0);
  kvllgui_raise(&window);
  EXPECT_EQ(info(window).stacking, 0);
  EXPECT_NE(ctl().focused_window(), window.handle);
  kvllgui_activate(&window);
  EXPECT_EQ(ctl().focused_window(), window.handle);

  // Covered by another program: keeping above the desktop leaves it there.
  ctl().focus(foreign);
  kvllgui_keepondesktop(&window, 300, 200, 100, 50);
  EXPECT_NE(info(window).stacking, 0);
  // Covered by the desktop window: lifted above it, not kept on top.
  ctl().remove_foreign(foreign);
  kivo::port::headless::ForeignWindow desktop;
  desktop.title = "Desktop";
  desktop.rect = {0, 0, 1920, 1080};
  const auto desk = ctl().add_foreign(desktop);  // a full-screen window, as a file manager's
  backend().windows().set_layer(window.handle, WindowLayer::OnDesktop);
  kvllgui_keepondesktop(&window, 310, 210, 100, 50);
  EXPECT_EQ(info(window).stacking, 0);
  EXPECT_EQ(info(window).layer, WindowLayer::Normal);
  EXPECT_EQ(info(window).outer.x, 310);
  (void)desk;
}

TEST_F(LlguiWindow, TrayWithoutNotificationAreaKeepsTheWindowVisible) {
  kivo::port::headless::ScreenConfig screen;
  screen.tray = false;
  ctl().set_screen(screen);
  ASSERT_TRUE(open(0, 0, 50, 50));
  EXPECT_FALSE(kvllgui_totray(&window));
  EXPECT_TRUE(info(window).visible);
  EXPECT_FALSE(window.intray);
}

TEST_F(LlguiWindow, WindowTableHoldsAThousandEntries) {
  std::vector<int> objects(kvllgui_table_size);
  for (int i = 0; i < kvllgui_table_size; ++i)
    ASSERT_TRUE(kvllgui_register(record, reinterpret_cast<intptr_t>(&objects[size_t(i)]), 1000 + i));
  EXPECT_FALSE(kvllgui_register(record, 1, 5000));
  // A window opened now works but gets no messages.
  ASSERT_TRUE(open(0, 0, 50, 50, "W", true));
  ctl().click(10, 10);
  EXPECT_EQ(pump(), std::vector<kivo::test::Message>{});
  kvllgui_close(&window);
  kvllgui_unregister(record, reinterpret_cast<intptr_t>(&objects[7]));
  EXPECT_EQ(kvllgui_registered(), kvllgui_table_size - 1);
  ASSERT_TRUE(open(0, 0, 50, 50, "W", true));
  ctl().click(10, 10);
  EXPECT_FALSE(pump().empty());
}

TEST_F(LlguiWindow, TitlesAreCutAndHandedOnAsUtf8) {
  ASSERT_TRUE(open(0, 0, 50, 50, "Einstellungen f\xFCr den Ticker"));
  EXPECT_EQ(info(window).title, "Einstellungen f\xC3\xBCr den Ticker");
  std::string long_title(300, 'a');
  kvllgui_settitle(&window, long_title.c_str());
  EXPECT_EQ(window.title.size(), size_t(kvllgui_title_max));
  EXPECT_EQ(info(window).title.size(), size_t(kvllgui_title_max));
}

TEST_F(LlguiWindow, DisplayDevicesAndTheVerticalBlank) {
  kivo::port::headless::ScreenConfig screen;
  screen.width = 3840;
  kivo::port::headless::MonitorConfig left, right;
  left.name = "DP-1";
  left.bounds = {0, 0, 1920, 1080};
  left.refresh_hz = 50;
  right.name = "HDMI-1";
  right.bounds = {1920, 0, 1920, 1080};
  screen.monitors = {left, right};
  ctl().set_screen(screen);
  EXPECT_EQ(kvdd_enumerate(), 2);
  EXPECT_STREQ(kvdd_devicename(1), "HDMI-1");
  EXPECT_STREQ(kvdd_devicename(2), "");
  EXPECT_STREQ(kvdd_devicename(-1), "");

  auto& clock = backend().clock();
  kvdd_waitretrace();
  EXPECT_EQ(clock.now_us() % 20000, 0);
  const int64_t first = clock.now_us();
  kvdd_waitretrace();
  EXPECT_EQ(clock.now_us() - first, 20000);
  // Without a vertical blank the clock still paces the caller.
  screen.vertical_blank = false;
  ctl().set_screen(screen);
  kvdd_waitretrace();
  EXPECT_EQ(clock.now_us() - first, 40000);
}

}  // namespace
