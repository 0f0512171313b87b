// Real windows on the X server: geometry, title, the hints every
// WindowSpec flag stands for, and what the window manager reports back.
#include "x11_fixture.h"

namespace kivo::test {
namespace {

using port::WindowEvent;
using port::WindowLayer;

using WindowProperties = X11Test;

TEST_F(WindowProperties, FramedWindowSitsWhereAskedWithExactClientSize) {
  auto s = spec(200, 150, 320, 90, "Ticker \xC3\xA4\xE2\x82\xAC");
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  const port::Rect outer = windows().outer_rect(w);
  const port::Rect client = windows().client_rect(w);
  EXPECT_EQ(outer.x, 200);
  EXPECT_EQ(outer.y, 150);
  EXPECT_EQ(client.width, 320);
  EXPECT_EQ(client.height, 90);
  // Openbox draws a title bar: the client area sits inside the frame.
  EXPECT_GT(client.y, outer.y);
  EXPECT_EQ(outer.width - client.width, 2 * (client.x - outer.x));
  // The frame the display reports is the one the window manager drew.
  const port::FrameMetrics frame = backend().display().frame_metrics();
  EXPECT_EQ(frame.border, client.x - outer.x);
  EXPECT_EQ(frame.border + frame.caption, client.y - outer.y);
  EXPECT_EQ(text(::Window(w), "_NET_WM_NAME"), "Ticker \xC3\xA4\xE2\x82\xAC");
  EXPECT_EQ(text(::Window(w), "WM_NAME"), "Ticker \xE4?");

  windows().set_title(w, "Neu");
  EXPECT_EQ(text(::Window(w), "_NET_WM_NAME"), "Neu");
}

TEST_F(WindowProperties, FrameMetricsKnownBeforeAnyWindowIsShown) {
  // Asked of the window manager on a window that is never shown.
  const port::FrameMetrics before = backend().display().frame_metrics();
  const port::WindowId w = open(spec(100, 100, 200, 100));
  ASSERT_NE(w, 0u);
  const port::Rect outer = windows().outer_rect(w), client = windows().client_rect(w);
  EXPECT_EQ(before.border, client.x - outer.x);
  EXPECT_EQ(before.border + before.caption, client.y - outer.y);
  EXPECT_GT(before.caption, 0);
}

TEST_F(WindowProperties, WindowWithoutCaptionHasNoFrameAndFixedSize) {
  auto s = spec(0, 0, 500, 40);
  s.caption = false;
  s.sizing_frame = false;
  s.tool_window = true;
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  const std::vector<long> motif = longs(::Window(w), "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_EQ(motif[2], 0) << "no decorations at all";
  EXPECT_TRUE(has_state(::Window(w), "_NET_WM_STATE_SKIP_TASKBAR"));
  EXPECT_TRUE(has_state(::Window(w), "_NET_WM_STATE_SKIP_PAGER"));
  EXPECT_EQ(windows().outer_rect(w), (port::Rect{0, 0, 500, 40}));
  EXPECT_EQ(windows().client_rect(w), (port::Rect{0, 0, 500, 40}));
  XSizeHints hints{};
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(raw_, ::Window(w), &hints, &supplied));
  EXPECT_TRUE(hints.flags & PMinSize);
  EXPECT_EQ(hints.min_width, 500);
  EXPECT_EQ(hints.max_width, 500);
  EXPECT_EQ(hints.max_height, 40);
  // resize() keeps the size fixed, at the new size.
  windows().resize(w, 600, 30);
  EXPECT_TRUE(pump_until([&] { return windows().client_rect(w).width == 600; }));
  EXPECT_EQ(windows().client_rect(w).height, 30);
  const auto resized = of(w, {WindowEvent::Resized});
  ASSERT_FALSE(resized.empty());
  EXPECT_EQ(resized.back().width, 600);
  EXPECT_EQ(resized.back().height, 30);
}

TEST_F(WindowProperties, LayersBecomeWindowManagerStates) {
  struct Case {
    WindowLayer layer;
    const char* present;
    const char* absent;
  } cases[] = {
      {WindowLayer::OnTop, "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW"},
      {WindowLayer::OnDesktop, "_NET_WM_STATE_BELOW", "_NET_WM_STATE_ABOVE"},
  };
  for (const Case& c : cases) {
    // Given at creation...
    auto s = spec(50, 50, 100, 50);
    s.layer = c.layer;
    const port::WindowId w = open(s);
    ASSERT_NE(w, 0u);
    EXPECT_TRUE(wait_property([&] { return has_state(::Window(w), c.present); })) << c.present;
    EXPECT_FALSE(has_state(::Window(w), c.absent));
    // ...and changed on a shown window.
    windows().set_layer(w, WindowLayer::Normal);
    EXPECT_TRUE(wait_property([&] { return !has_state(::Window(w), c.present); })) << c.present;
    windows().set_layer(w, c.layer);
    EXPECT_TRUE(wait_property([&] { return has_state(::Window(w), c.present); })) << c.present;
    close_window(w);
  }
}

TEST_F(WindowProperties, FullScreenCoversTheScreen) {
  auto s = spec(0, 0, 1920, 1080);
  s.full_screen = true;
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(wait_property([&] { return has_state(::Window(w), "_NET_WM_STATE_FULLSCREEN"); }));
  EXPECT_TRUE(pump_until([&] { return windows().client_rect(w) == port::Rect{0, 0, 1920, 1080}; }));
}

TEST_F(WindowProperties, PopupIsUnmanagedAndGrabsThePointerWhenCaptured) {
  auto s = spec(300, 300, 120, 80);
  s.popup = true;
  s.caption = false;
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(raw_, ::Window(w), &attributes));
  EXPECT_TRUE(attributes.override_redirect);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(windows().outer_rect(w), (port::Rect{300, 300, 120, 80}));
  windows().capture_pointer(w);
  backend().display().flush();
  // While we hold the pointer, nobody else can grab it.
  EXPECT_EQ(XGrabPointer(raw_, root_, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
            AlreadyGrabbed);
  // A click outside the popup is still ours, relative to the popup.
  click(100, 100);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::ButtonUp); }));
  const auto downs = of(w, {WindowEvent::ButtonDown});
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].x, -200);
  EXPECT_EQ(downs[0].y, -200);
  windows().release_pointer();
  backend().display().flush();
  EXPECT_EQ(XGrabPointer(raw_, root_, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
            GrabSuccess);
  XUngrabPointer(raw_, CurrentTime);
}

TEST_F(WindowProperties, MoveKeepsSizeAndReportsMoved) {
  const port::WindowId w = open(spec(100, 100, 200, 100));
  ASSERT_NE(w, 0u);
  pump_for(100);
  events_.clear();
  windows().move(w, 400, 300);
  EXPECT_TRUE(pump_until([&] { return windows().outer_rect(w).x == 400; }));
  EXPECT_EQ(windows().outer_rect(w).y, 300);
  EXPECT_EQ(windows().client_rect(w).width, 200);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::Moved); }));
  EXPECT_EQ(count(w, WindowEvent::Resized), 0);
}

TEST_F(WindowProperties, MinimiseSendsMinimisedWithoutResizedAndRestoreResized) {
  const port::WindowId w = open(spec(100, 100, 200, 100));
  ASSERT_NE(w, 0u);
  pump_for(100);
  events_.clear();
  windows().minimise(w);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::Minimised); }));
  pump_for(100);
  EXPECT_EQ(count(w, WindowEvent::Minimised), 1);
  EXPECT_EQ(count(w, WindowEvent::Resized), 0);
  events_.clear();
  windows().restore(w);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::Resized); }));
  const auto resized = of(w, {WindowEvent::Resized});
  EXPECT_EQ(resized[0].width, 200);
  EXPECT_EQ(resized[0].height, 100);
  EXPECT_EQ(count(w, WindowEvent::Minimised), 0);
}

TEST_F(WindowProperties, MaximisedByTheWindowManager) {
  auto s = spec(100, 100, 200, 100);
  s.maximise_box = true;
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  pump_for(100);
  events_.clear();
  // As the frame's maximise button does it.
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = ::Window(w);
  e.xclient.message_type = atom("_NET_WM_STATE");
  e.xclient.format = 32;
  e.xclient.data.l[0] = 1;
  e.xclient.data.l[1] = long(atom("_NET_WM_STATE_MAXIMIZED_VERT"));
  e.xclient.data.l[2] = long(atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
  e.xclient.data.l[3] = 2;
  XSendEvent(raw_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::Maximised) && has_event(w, WindowEvent::Resized); }));
  EXPECT_EQ(count(w, WindowEvent::Maximised), 1);
  EXPECT_GT(of(w, {WindowEvent::Resized}).back().width, 1000);
}

TEST_F(WindowProperties, CloseButtonAsksInsteadOfClosing) {
  const port::WindowId w = open(spec(100, 100, 200, 100));
  ASSERT_NE(w, 0u);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = ::Window(w);
  e.xclient.message_type = atom("WM_PROTOCOLS");
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(atom("WM_DELETE_WINDOW"));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(raw_, ::Window(w), False, NoEventMask, &e);
  EXPECT_TRUE(pump_until([&] { return has_event(w, WindowEvent::CloseRequest); }));
  XWindowAttributes attributes{};
  EXPECT_TRUE(XGetWindowAttributes(raw_, ::Window(w), &attributes)) << "the window still exists";
}

TEST_F(WindowProperties, HideWithdrawsAndShowReturnsToThePlace) {
  const port::WindowId w = open(spec(250, 200, 200, 100));
  ASSERT_NE(w, 0u);
  windows().hide(w);
  XWindowAttributes attributes{};
  EXPECT_TRUE(pump_until([&] {
    XGetWindowAttributes(raw_, ::Window(w), &attributes);
    return attributes.map_state == IsUnmapped;
  }));
  windows().show(w);
  EXPECT_TRUE(pump_until([&] {
    XGetWindowAttributes(raw_, ::Window(w), &attributes);
    return attributes.map_state == IsViewable;
  }));
  EXPECT_TRUE(pump_until([&] { return windows().outer_rect(w).x == 250 && windows().outer_rect(w).y == 200; }))
      << windows().outer_rect(w).x << "," << windows().outer_rect(w).y;
}

TEST_F(WindowProperties, IconAndProtocols) {
  const port::WindowId w = open(spec(100, 100, 200, 100));
  ASSERT_NE(w, 0u);
  std::vector<uint32_t> pixels(16 * 16, 0x112233);
  pixels[0] = 0;  // transparent corner
  windows().set_icon(w, pixels.data(), 16, 16);
  const std::vector<long> icon = longs(::Window(w), "_NET_WM_ICON");
  ASSERT_EQ(icon.size(), 2u + 256u);
  EXPECT_EQ(icon[0], 16);
  EXPECT_EQ(icon[1], 16);
  EXPECT_EQ(icon[2], 0);
  EXPECT_EQ(uint32_t(icon[3]), 0xFF112233u);
  const std::vector<long> protocols = longs(::Window(w), "WM_PROTOCOLS");
  EXPECT_NE(std::find(protocols.begin(), protocols.end(), long(atom("WM_DELETE_WINDOW"))), protocols.end());
  EXPECT_EQ(longs(::Window(w), "XdndAware"), std::vector<long>{5});
  EXPECT_EQ(longs(::Window(w), "_NET_WM_PID").size(), 1u);
}

TEST_F(WindowProperties, ActivationFollowsTheActiveWindow) {
  const port::WindowId a = open_focused(spec(100, 100, 200, 100, "first"));
  ASSERT_NE(a, 0u);
  const port::WindowId b = open(spec(400, 100, 200, 100, "second"));
  ASSERT_NE(b, 0u);
  windows().activate(b);
  EXPECT_TRUE(pump_until([&] { return has_event(b, WindowEvent::Activated) && has_event(a, WindowEvent::Deactivated); }));
  EXPECT_TRUE(pump_until([&] { return has_event(b, WindowEvent::FocusGained) && has_event(a, WindowEvent::FocusLost); }));
  EXPECT_EQ(backend().desktop().foreground(), b);
}

}  // namespace
}  // namespace kivo::test
