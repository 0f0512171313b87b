// The headless backend's virtual desktop: windows, stacking and focus,
// input routing, work area, tray, vertical blank and the composed screen.
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/display.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/monitors.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/synthetic_input.h"
#include "toolkit/port/tray.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::backend;
using kivo::port::Edge;
using kivo::port::Key;
using kivo::port::Rect;
using kivo::port::WindowEvent;
using kivo::port::WindowId;
using kivo::port::WindowSpec;
using Type = WindowEvent::Type;

struct Recorded {
  WindowId window;
  WindowEvent event;
};

class VirtualDesktopTest : public kivo::test::HeadlessTest {
 protected:
  kivo::port::headless::Control& ctl() { return *kivo::port::headless::control(); }

  static void on_event(void* user, WindowId window, const WindowEvent& event) {
    static_cast<VirtualDesktopTest*>(user)->events.push_back({window, event});
  }

  WindowId open(int x, int y, int w, int h, bool caption = true) {
    WindowSpec spec;
    spec.x = x;
    spec.y = y;
    spec.width = w;
    spec.height = h;
    spec.caption = caption;
    spec.sizing_frame = caption;
    spec.title = "test";
    spec.handler = on_event;
    spec.user = this;
    return backend().windows().create(spec);
  }

  // Dispatches everything pending and returns the event types that window got.
  std::vector<Type> pump(WindowId window) {
    events.clear();
    while (backend().display().dispatch_one()) {
    }
    std::vector<Type> types;
    for (const auto& r : events)
      if (r.window == window) types.push_back(r.event.type);
    return types;
  }

  const WindowEvent* last(WindowId window, Type type) {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
      if (it->window == window && it->event.type == type) return &it->event;
    return nullptr;
  }

  std::vector<Recorded> events;
};

TEST_F(VirtualDesktopTest, NewWindowIsActivatedFocusedAndPaintedAndFramed) {
  WindowId a = open(100, 50, 200, 100);
  ASSERT_NE(a, 0u);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::Activated, Type::FocusGained, Type::Paint}));
  const auto frame = backend().display().frame_metrics();
  EXPECT_EQ(backend().windows().client_rect(a), (Rect{100 + frame.border, 50 + frame.border + frame.caption, 200, 100}));
  EXPECT_EQ(backend().windows().outer_rect(a).width, 200 + 2 * frame.border);

  WindowId b = open(0, 0, 50, 50, false);
  EXPECT_EQ(backend().windows().client_rect(b), (Rect{0, 0, 50, 50}));
  pump(b);
  EXPECT_EQ(ctl().focused_window(), b);
  EXPECT_NE(last(a, Type::FocusLost), nullptr);
  EXPECT_NE(last(a, Type::Deactivated), nullptr);
}

TEST_F(VirtualDesktopTest, LayersKeepTopmostAboveAndDesktopLayerBelow) {
  WindowId top = open(0, 0, 10, 10);
  backend().windows().set_layer(top, kivo::port::WindowLayer::OnTop);
  WindowId bottom = open(0, 0, 10, 10);
  backend().windows().set_layer(bottom, kivo::port::WindowLayer::OnDesktop);
  WindowId normal = open(0, 0, 10, 10);
  backend().windows().raise(bottom);
  auto list = backend().desktop().top_levels();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].id, top);
  EXPECT_EQ(list[1].id, normal);
  EXPECT_EQ(list[2].id, bottom);
  EXPECT_EQ(backend().desktop().window_at(5, 5), top);
}

TEST_F(VirtualDesktopTest, PointerEventsUseClientCoordinatesAndDoubleClicksNeedTime) {
  WindowId a = open(0, 0, 100, 100, false);
  pump(a);
  ctl().click(10, 20);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::PointerMove, Type::ButtonDown, Type::ButtonUp}));
  EXPECT_EQ(last(a, Type::ButtonDown)->x, 10);
  EXPECT_EQ(last(a, Type::ButtonDown)->y, 20);
  ctl().click(11, 20);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::PointerMove, Type::DoubleClick, Type::ButtonUp}));
  advance_ms(600);
  ctl().click(11, 20);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::PointerMove, Type::ButtonDown, Type::ButtonUp}));
}

TEST_F(VirtualDesktopTest, HeldButtonAndCaptureKeepThePointerOnTheirWindow) {
  WindowId a = open(0, 0, 100, 100, false);
  WindowId b = open(200, 0, 100, 100, false);
  pump(a);
  ctl().move_pointer(50, 50);
  ctl().press(1);
  ctl().move_pointer(250, 50);  // dragged over b
  ctl().release(1);
  pump(a);
  EXPECT_EQ(last(a, Type::ButtonUp)->x, 250);
  EXPECT_EQ(last(b, Type::PointerMove), nullptr);

  backend().windows().capture_pointer(a);
  ctl().click(260, 10);
  EXPECT_EQ(pump(b), std::vector<Type>{});
  backend().windows().release_pointer();
  ctl().click(260, 10);
  EXPECT_NE(pump(b), std::vector<Type>{});
}

TEST_F(VirtualDesktopTest, KeysGoToTheFocusedWindowWithModifiers) {
  WindowId a = open(0, 0, 100, 100, false);
  WindowId b = open(200, 0, 100, 100, false);
  pump(a);
  ctl().key(Key::Ctrl, true);
  ctl().type('v');
  ctl().key(Key::Ctrl, false);
  EXPECT_EQ(pump(b), (std::vector<Type>{Type::KeyDown, Type::Character, Type::KeyUp}));
  EXPECT_EQ(last(b, Type::Character)->character, 22u);
  EXPECT_EQ(last(b, Type::Character)->modifiers, unsigned(kivo::port::kCtrl));
  ctl().click(10, 10);  // click to focus a
  ctl().type_text("\xC3\xA9");
  pump(a);
  EXPECT_EQ(last(a, Type::Character)->character, 0xE9u);
}

TEST_F(VirtualDesktopTest, MinimiseAndRestoreAndMaximise) {
  WindowId a = open(10, 10, 100, 80);
  pump(a);
  ctl().minimise(a);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::Minimised, Type::Deactivated, Type::FocusLost}));
  ctl().click(60, 60);  // nothing there any more
  EXPECT_EQ(pump(a), std::vector<Type>{});
  ctl().restore(a);
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::Resized, Type::Activated, Type::FocusGained, Type::Paint}));
  EXPECT_EQ(last(a, Type::Resized)->width, 100);

  backend().desktop().reserve_strip(a, Edge::Top, 30, 0, 1920);
  ctl().maximise(a);
  pump(a);
  const auto frame = backend().display().frame_metrics();
  EXPECT_EQ(backend().windows().outer_rect(a), (Rect{0, 30, 1920, 1050}));
  EXPECT_EQ(last(a, Type::Resized)->width, 1920 - 2 * frame.border);
  EXPECT_NE(last(a, Type::Maximised), nullptr);
}

TEST_F(VirtualDesktopTest, StripsShrinkTheWorkAreaUntilReleased) {
  WindowId a = open(0, 0, 100, 100);
  auto& desktop = backend().desktop();
  EXPECT_EQ(desktop.work_area(), (Rect{0, 0, 1920, 1080}));
  EXPECT_TRUE(desktop.reserve_strip(a, Edge::Bottom, 40, 0, 1920));
  EXPECT_EQ(desktop.work_area(), (Rect{0, 0, 1920, 1040}));
  EXPECT_TRUE(desktop.reserve_strip(a, Edge::Left, 25, 0, 1080));  // replaces the bottom strip
  EXPECT_EQ(desktop.work_area(), (Rect{25, 0, 1895, 1080}));
  EXPECT_FALSE(desktop.set_work_area({0, 0, 10, 10}));
  backend().windows().destroy(a);  // a vanished window reserves nothing
  EXPECT_EQ(desktop.work_area(), (Rect{0, 0, 1920, 1080}));

  kivo::port::headless::ScreenConfig screen;
  screen.width = 800;
  screen.height = 600;
  screen.work_area_settable = true;
  ctl().set_screen(screen);
  EXPECT_TRUE(desktop.set_work_area({0, 0, 800, 560}));
  EXPECT_EQ(desktop.work_area(), (Rect{0, 0, 800, 560}));
}

TEST_F(VirtualDesktopTest, TrayIconsReportClicksAndVanishWithTheirWindow) {
  WindowId a = open(0, 0, 10, 10);
  uint32_t icon[4] = {1, 2, 3, 4};
  ASSERT_TRUE(backend().tray().add(a, icon, 2, 2, "tip"));
  ASSERT_EQ(ctl().tray_icons().size(), 1u);
  EXPECT_EQ(ctl().tray_icons()[0].tip, "tip");
  pump(a);
  EXPECT_TRUE(ctl().click_tray(a, 3));
  EXPECT_EQ(pump(a), std::vector<Type>{Type::TrayClick});
  EXPECT_EQ(last(a, Type::TrayClick)->button, 3);
  backend().windows().destroy(a);
  EXPECT_TRUE(ctl().tray_icons().empty());

  kivo::port::headless::ScreenConfig screen;
  screen.tray = false;
  ctl().set_screen(screen);
  EXPECT_FALSE(backend().tray().add(open(0, 0, 10, 10), icon, 2, 2, "tip"));
}

TEST_F(VirtualDesktopTest, VerticalBlankFollowsTheVirtualClock) {
  kivo::port::headless::ScreenConfig screen;
  screen.refresh_hz = 50;
  ctl().set_screen(screen);
  auto& clock = backend().clock();
  auto& monitors = backend().monitors();
  ASSERT_TRUE(backend().capabilities().vertical_blank);
  const int64_t start = clock.now_us();
  ASSERT_TRUE(monitors.wait_vblank(0));
  const int64_t first = clock.now_us();
  EXPECT_EQ(first % 20000, 0);
  EXPECT_GT(first, start);
  EXPECT_LE(first - start, 20000);
  ASSERT_TRUE(monitors.wait_vblank(0));
  EXPECT_EQ(clock.now_us() - first, 20000);
  clock.sleep_us(10000);
  EXPECT_EQ(monitors.scan_line(0), (1080 + 45) / 2);
  kivo::port::VblankTiming timing;
  ASSERT_TRUE(monitors.vblank_timing(0, timing));
  EXPECT_EQ(timing.period_us, 20000);
  EXPECT_EQ(timing.last_vblank_us, first + 20000);
  EXPECT_FALSE(monitors.wait_vblank(1));

  screen.vertical_blank = false;
  ctl().set_screen(screen);
  EXPECT_FALSE(monitors.wait_vblank(0));
  EXPECT_EQ(monitors.scan_line(0), -1);
}

TEST_F(VirtualDesktopTest, ScreenShowsPresentedPixelsFramesAndOtherPrograms) {
  kivo::port::headless::ForeignWindow editor;
  editor.title = "Editor";
  editor.rect = {300, 300, 100, 100};
  editor.colour = 0x00FF00;
  WindowId foreign = ctl().add_foreign(editor);
  WindowId a = open(0, 0, 64, 32, false);
  auto* surface = backend().surfaces().create(64, 32);
  ASSERT_NE(surface, nullptr);
  for (int i = 0; i < 64 * 32; ++i) surface->pixels[i] = 0x123456;
  surface->pixels[5 * 64 + 7] = 0xFF0000;
  backend().windows().present(a, *surface, 0, 0, 64, 32, 0, 0, true);
  EXPECT_EQ(ctl().screen_pixel(7, 5), 0xFF0000);
  EXPECT_EQ(ctl().screen_pixel(8, 5), 0x123456);
  EXPECT_EQ(ctl().screen_pixel(350, 350), 0x00FF00);
  EXPECT_EQ(ctl().screen_pixel(1000, 1000), int32_t(ctl().screen().background));
  EXPECT_EQ(ctl().screen_pixel(-1, 0), -1);
  // A partly clipped present moves the source inward.
  backend().windows().present(a, *surface, 0, 0, 64, 32, -7, -5, true);
  EXPECT_EQ(ctl().screen_pixel(0, 0), 0xFF0000);
  std::vector<uint32_t> grab(4, 0xABCDEF);
  ASSERT_TRUE(backend().display().capture_screen(-1, 0, 2, 2, grab.data(), 2));
  EXPECT_EQ(grab[0], 0xABCDEFu);  // off screen: untouched
  EXPECT_EQ(grab[1], 0xFF0000u);
  EXPECT_EQ(ctl().screen_image().size(), size_t(1920 * 1080));
  auto top = backend().desktop().top_levels();
  ASSERT_EQ(top.size(), 2u);
  EXPECT_TRUE(top[0].ours);
  EXPECT_EQ(top[1].id, foreign);
  EXPECT_TRUE(backend().desktop().move_foreign(foreign, {0, 0, 10, 10}));
  EXPECT_FALSE(backend().desktop().move_foreign(a, {0, 0, 10, 10}));
  backend().surfaces().destroy(surface);
}

TEST_F(VirtualDesktopTest, DropsReachWindowsThatAcceptThem) {
  WindowId a = open(0, 0, 100, 100, false);
  pump(a);
  ctl().drop_files(10, 10, {"/tmp/a", "/tmp/b", "/tmp/c"});
  EXPECT_EQ(pump(a), std::vector<Type>{Type::FilesDropped});
  EXPECT_EQ(last(a, Type::FilesDropped)->files.size(), 3u);
  ctl().drop_files(10, 10, {});
  EXPECT_EQ(pump(a), std::vector<Type>{});
}

TEST_F(VirtualDesktopTest, SyntheticInputActsLikeTheUser) {
  WindowId a = open(0, 0, 100, 100, false);
  pump(a);
  auto& input = backend().synthetic_input();
  ASSERT_TRUE(input.move_pointer(40, 30));
  ASSERT_TRUE(input.button(3, true));
  ASSERT_TRUE(input.button(3, false));
  EXPECT_EQ(pump(a), (std::vector<Type>{Type::PointerMove, Type::ButtonDown, Type::ButtonUp}));
  EXPECT_EQ(last(a, Type::ButtonDown)->button, 3);
}

TEST_F(VirtualDesktopTest, EventsForADestroyedWindowAreDropped) {
  WindowId a = open(0, 0, 100, 100, false);
  ctl().click(5, 5);
  backend().windows().destroy(a);
  EXPECT_EQ(pump(a), std::vector<Type>{});
  EXPECT_EQ(ctl().newest_window(), 0u);
}

}  // namespace

namespace {

TEST_F(VirtualDesktopTest, ScreenIsSavedAsPng) {
  kivo::test::TempDir dir;
  const std::string path = dir.file("screen.png");
  ASSERT_TRUE(ctl().save_screen_png(path));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char head[8] = {};
  ASSERT_EQ(std::fread(head, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(head[1], 'P');
  EXPECT_EQ(head[2], 'N');
  EXPECT_EQ(head[3], 'G');
  EXPECT_FALSE(ctl().save_screen_png(dir.file("missing/screen.png")));
}

}  // namespace
