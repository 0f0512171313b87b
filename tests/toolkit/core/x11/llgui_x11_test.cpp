// The window layer on a real X server: what the window manager makes of
// the layer's flags, real input through XTest becoming the layer's
// messages, and the screen showing exactly the backing pixmap.
#include <vector>

#include "toolkit/core/llgui.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/core/runtime_testing.h"
#include "toolkit/port/x11/x11_fixture.h"

namespace kivo::test {
namespace {

struct Msg {
  int code;
  intptr_t a, b;
};

class LlguiX11 : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    kvruntime_reset();
    kivo::core::reset_llgui();
  }
  void TearDown() override {
    kvllgui_close(&window_);
    kivo::core::reset_llgui();
    X11Test::TearDown();
  }
  static intptr_t record(intptr_t object, int code, intptr_t a, intptr_t b, intptr_t, intptr_t, intptr_t, intptr_t,
                         intptr_t, intptr_t) {
    reinterpret_cast<LlguiX11*>(object)->got_.push_back({code, a, b});
    return 0;
  }
  bool open(int x, int y, int w, int h, const char* title, bool notitle = false) {
    if (!kvllgui_open(&window_, record, reinterpret_cast<intptr_t>(this), x, y, w, h, title, true, false, false,
                      false, true, false, notitle, false))
      return false;
    windows().activate(window_.handle);
    if (!pump_until([&] { return seen(KV_MSG_FOCUS); })) return false;
    // A titled window is framed by the window manager: wait for the frame.
    if (notitle || !title || !*title) return true;
    return pump_until([&] { return client().y > windows().outer_rect(window_.handle).y; });
  }
  bool seen(int code) const {
    for (const Msg& m : got_)
      if (m.code == code) return true;
    return false;
  }
  std::vector<int> codes() const {
    std::vector<int> out;
    for (const Msg& m : got_)
      if (m.code != KV_MSG_POINTERMOVE && m.code != KV_MSG_FOCUS && m.code != KV_MSG_UNFOCUS &&
          m.code != KV_MSG_ACTIVATED && m.code != KV_MSG_DEACTIVATED && m.code != KV_MSG_MOVED)
        out.push_back(m.code);
    return out;
  }
  const Msg* last(int code) const {
    for (auto it = got_.rbegin(); it != got_.rend(); ++it)
      if (it->code == code) return &*it;
    return nullptr;
  }
  port::Rect client() { return windows().client_rect(window_.handle); }

  kvllgui_window window_;
  std::vector<Msg> got_;
};

TEST_F(LlguiX11, TitledAndUntitledWindowsAsTheWindowManagerShowsThem) {
  ASSERT_TRUE(open(120, 90, 320, 100, "Einstellungen f\xFCr den Ticker"));
  EXPECT_EQ(text(::Window(window_.handle), "_NET_WM_NAME"), "Einstellungen f\xC3\xBCr den Ticker");
  const port::Rect c = client();
  EXPECT_EQ(c.width, 320);
  EXPECT_EQ(c.height, 100);
  EXPECT_GT(c.y, windows().outer_rect(window_.handle).y);  // below a title bar
  EXPECT_EQ(kvllgui_clientx(&window_), c.x);
  EXPECT_EQ(kvllgui_clienty(&window_), c.y);
  EXPECT_FALSE(longs(::Window(window_.handle), "_NET_WM_ICON").empty());
  kvllgui_close(&window_);

  ASSERT_TRUE(open(-1, 0, 500, 40, "Line", true));
  const port::Rect area = backend().desktop().work_area();
  EXPECT_EQ(windows().outer_rect(window_.handle), (port::Rect{area.x, area.y, 500, 40}));
  EXPECT_EQ(client(), (port::Rect{area.x, area.y, 500, 40}));
  EXPECT_TRUE(has_state(::Window(window_.handle), "_NET_WM_STATE_SKIP_TASKBAR"));
}

TEST_F(LlguiX11, RealClicksKeysAndWheelBecomeMessages) {
  ASSERT_TRUE(open(100, 100, 300, 200, "Input"));
  const port::Rect c = client();
  got_.clear();
  click(c.x + 30, c.y + 40);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_LBUTTONUP); }));
  EXPECT_EQ(last(KV_MSG_LBUTTONDOWN)->a, 30);
  EXPECT_EQ(last(KV_MSG_LBUTTONDOWN)->b, 40);

  struct Case {
    std::vector<KeySym> held;
    KeySym key;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {{XK_Shift_L}, XK_Insert, {2016, 2033, 2017}},
      {{XK_Control_L}, XK_Insert, {2016, 2034, 2017}},
      {{XK_Shift_L}, XK_Delete, {2035, 2017}},
      {{XK_Control_L}, XK_v, {2033, 2016}},
      {{}, XK_F5, {2016, 2017}},
  };
  for (const Case& k : cases) {
    for (KeySym h : k.held) key(h, true);
    if (!k.held.empty()) {
      ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_KEYDOWN); }));
    }
    got_.clear();
    tap(k.key);
    ASSERT_TRUE(pump_until([&] { return codes().size() >= k.expected.size(); })) << XKeysymToString(k.key);
    pump_for(50);
    EXPECT_EQ(codes(), k.expected) << XKeysymToString(k.key);
    for (KeySym h : k.held) key(h, false);
    pump_for(50);
    got_.clear();
  }
  EXPECT_EQ(kvgetmodifiers(), 0);

  // Button 4 is the wheel turned away from the user.
  move_pointer(c.x + 5, c.y + 6);
  button(4, true);
  button(4, false);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_WHEELUP); }));
  EXPECT_EQ(last(KV_MSG_WHEELUP)->a, 5);
  EXPECT_EQ(last(KV_MSG_WHEELUP)->b, 6);
  button(5, true);
  button(5, false);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_WHEELDOWN); }));
}

TEST_F(LlguiX11, MinimiseGivesNoResizeAndRestoreRepaints) {
  ASSERT_TRUE(open(100, 100, 200, 100, "Minimise"));
  got_.clear();
  windows().minimise(window_.handle);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_MINIMISED); }));
  pump_for(100);
  EXPECT_FALSE(seen(KV_MSG_RESIZED));
  got_.clear();
  windows().restore(window_.handle);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_PAINT); }));
  EXPECT_FALSE(seen(KV_MSG_RESIZED));  // the size did not change
}

TEST_F(LlguiX11, TheScreenShowsTheBackingPixmap) {
  ASSERT_TRUE(open(200, 150, 256, 64, "Pixels", true));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) kvpxmap_setpixel(&window_.pxmap, x, y, (x << 16) | (y << 10) | ((x ^ y) & 0xFF));
  kvllgui_redraw(&window_, 0, 0, 0, 0, 0, 0, true);
  pump_for(100);
  kvpxmap grab;
  kvpxmap_init(&grab);
  grab.width = 256;
  grab.height = 64;
  grab.format = KVPX_TRUECOLOR;
  ASSERT_TRUE(kvpxmap_allocate(&grab));
  const port::Rect c = client();
  kvllgui_grabscreen(&grab, 0, 0, c.x, c.y, 256, 64);
  int differing = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) differing += kvpxmap_getpixel(&grab, x, y) != kvpxmap_getpixel(&window_.pxmap, x, y);
  EXPECT_EQ(differing, 0);
  kvpxmap_free(&grab);
}

TEST_F(LlguiX11, CloseButtonAsksTheOwner) {
  ASSERT_TRUE(open(100, 100, 200, 100, "Close"));
  got_.clear();
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = ::Window(window_.handle);
  e.xclient.message_type = atom("WM_PROTOCOLS");
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(atom("WM_DELETE_WINDOW"));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(raw_, ::Window(window_.handle), False, NoEventMask, &e);
  XSync(raw_, False);
  ASSERT_TRUE(pump_until([&] { return seen(KV_MSG_CLOSE); }));
  EXPECT_TRUE(window_.open);
}

}  // namespace
}  // namespace kivo::test
