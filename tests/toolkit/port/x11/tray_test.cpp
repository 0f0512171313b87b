// The tray icon: refused without a notification area, embedded and
// clickable with one (a minimal XEmbed tray written here).
#include "x11_fixture.h"

namespace kivo::test {
namespace {

using port::WindowEvent;

class TrayTest : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    window_ = open(spec(100, 100, 200, 100, "owner"));
    ASSERT_NE(window_, 0u);
    icon_.assign(16 * 16, 0xCC2200);
    icon_[0] = 0;
  }
  void TearDown() override {
    if (raw_ && tray_) XDestroyWindow(raw_, tray_);
    X11Test::TearDown();
  }
  // Starts the tray: a window at (1600, 0) that owns the tray selection.
  void start_tray() {
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0x303030;
    tray_ = XCreateWindow(raw_, root_, 1600, 0, 200, 24, 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixel, &a);
    XMapWindow(raw_, tray_);
    XSetSelectionOwner(raw_, atom("_NET_SYSTEM_TRAY_S0"), tray_, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = root_;
    e.xclient.message_type = atom("MANAGER");
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = long(atom("_NET_SYSTEM_TRAY_S0"));
    e.xclient.data.l[2] = long(tray_);
    XSendEvent(raw_, root_, False, StructureNotifyMask, &e);
    XSync(raw_, False);
  }
  // Embeds icons that ask to dock; true once one was embedded.
  bool serve_tray() {
    while (XPending(raw_)) {
      XEvent e;
      XNextEvent(raw_, &e);
      if (e.type == ClientMessage && e.xclient.message_type == atom("_NET_SYSTEM_TRAY_OPCODE") &&
          e.xclient.data.l[1] == 0) {
        docked_ = ::Window(e.xclient.data.l[2]);
        XReparentWindow(raw_, docked_, tray_, 0, 0);
        XResizeWindow(raw_, docked_, 24, 24);
        XMapWindow(raw_, docked_);
        XSync(raw_, False);
        return true;
      }
    }
    return false;
  }

  port::WindowId window_ = 0;
  std::vector<uint32_t> icon_;
  ::Window tray_ = None;
  ::Window docked_ = None;
};

TEST_F(TrayTest, WithoutANotificationAreaNothingIsAdded) {
  auto& tray = backend().tray();
  EXPECT_FALSE(tray.available());
  EXPECT_FALSE(backend().capabilities().tray);
  EXPECT_FALSE(tray.add(window_, icon_.data(), 16, 16, "Vabrel"));
  tray.remove(window_);  // harmless
}

TEST_F(TrayTest, IconIsEmbeddedPaintedAndReportsClicks) {
  start_tray();
  auto& tray = backend().tray();
  ASSERT_TRUE(tray.available());
  EXPECT_TRUE(backend().capabilities().tray);
  ASSERT_TRUE(tray.add(window_, icon_.data(), 16, 16, "Vabrel"));
  ASSERT_TRUE(pump_until([&] { return serve_tray(); }));
  EXPECT_EQ(text(docked_, "_NET_WM_NAME"), "Vabrel");
  EXPECT_EQ(longs(docked_, "_XEMBED_INFO"), (std::vector<long>{0, 1}));
  // The icon is drawn, scaled to the tray's 24 × 24.
  pump_for(100);
  uint32_t centre = 0;
  EXPECT_TRUE(pump_until([&] {
    backend().display().capture_screen(1612, 12, 1, 1, &centre, 1);
    return centre == 0xCC2200;
  })) << std::hex << centre;

  for (int b : {1, 3}) {
    events_.clear();
    click(1612, 12, b);
    ASSERT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::TrayClick); })) << b;
    EXPECT_EQ(of(window_, {WindowEvent::TrayClick})[0].button, b);
  }
  tray.remove(window_);
  XWindowAttributes attributes{};
  pump_for(50);
  EXPECT_FALSE(XGetWindowAttributes(raw_, docked_, &attributes) && attributes.map_state == IsViewable);
}

TEST_F(TrayTest, IconDocksAgainWhenTheTrayRestarts) {
  start_tray();
  auto& tray = backend().tray();
  ASSERT_TRUE(tray.add(window_, icon_.data(), 16, 16, "Vabrel"));
  ASSERT_TRUE(pump_until([&] { return serve_tray(); }));
  // The tray ends (taking our embedded window with it) ...
  XDestroyWindow(raw_, tray_);
  tray_ = None;
  XSync(raw_, False);
  EXPECT_TRUE(pump_until([&] { return !tray.available(); }));
  // ... and a new one starts: the icon asks to be docked there.
  docked_ = None;
  start_tray();
  EXPECT_TRUE(pump_until([&] { return serve_tray(); }));
  EXPECT_NE(docked_, None);
  tray.remove(window_);
}

}  // namespace
}  // namespace kivo::test
