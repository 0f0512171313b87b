// kvWindow on a real X server: real clicks and keys become the window's
// codes, the close button reports without closing a "noquit" window, and
// what the page holds is what the screen shows.
#include <algorithm>
#include <vector>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_testing.h"
#include "toolkit/widgets/window.h"
#include "toolkit/port/x11/x11_fixture.h"

namespace kivo::test {
namespace {

class WindowX11 : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    kvruntime_reset();
    kivo::core::reset_llgui();
    kivo::widgets::reset_framework();
    kvpollevent();  // the application fetches events: kvquit only clears the running flag
  }
  void TearDown() override {
    window_.close();
    kivo::widgets::reset_framework();
    kivo::core::reset_llgui();
    X11Test::TearDown();
  }
  // Pumps until `code` was posted; the posted codes are kept in posted_.
  bool wait_code(int code, int timeout_ms = 3000) {
    return pump_until(
        [&] {
          kvpump();
          while (kvqueued()) posted_.push_back(kvpollevent());
          return std::find(posted_.begin(), posted_.end(), code) != posted_.end();
        },
        timeout_ms);
  }
  void open(const char* configuration) {
    ASSERT_TRUE(window_.create("%s", configuration));
    windows().activate(window_.llwin.handle);
    ASSERT_TRUE(pump_until([&] { return backend().desktop().foreground() == window_.llwin.handle; }));
    if (!window_.title.empty() && !kvcfgstr_lookup_flag(configuration, "notitle")) {
      ASSERT_TRUE(pump_until([&] { return client().y > windows().outer_rect(window_.llwin.handle).y; }));
    }
    pump_for(100);
    kvpump();
    while (kvqueued()) kvpollevent();
  }
  port::Rect client() { return windows().client_rect(window_.llwin.handle); }

  kvWindow window_;
  std::vector<int> posted_;
};

TEST_F(WindowX11, ClicksAndKeysFireTheWindowsCodes) {
  open("Codes,x=100,y=100,xs=300,ys=200,noquit,cys=600");
  const port::Rect c = client();
  click(c.x + 40, c.y + 50);
  ASSERT_TRUE(wait_code(window_.codes[1]));
  EXPECT_EQ(window_.standardView().lastevent[0], 40);
  EXPECT_EQ(window_.standardView().lastevent[1], 50);
  tap(XK_F5);
  ASSERT_TRUE(wait_code(309 + kvwindow_keyup_offset));
  EXPECT_NE(std::find(posted_.begin(), posted_.end(), 309), posted_.end());
  // The wheel away from the user scrolls the page back up.
  window_.standardView().scrollTo(200);
  move_pointer(c.x + 10, c.y + 10);
  button(4, true);
  button(4, false);
  ASSERT_TRUE(wait_code(window_.codes[12]));
  EXPECT_EQ(window_.standardView().scrollY, 200 - 600 / 20);
}

TEST_F(WindowX11, CloseButtonOfANoquitWindowOnlyReports) {
  open("Noquit,x=100,y=100,xs=200,ys=100,noquit");
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = ::Window(window_.llwin.handle);
  e.xclient.message_type = atom("WM_PROTOCOLS");
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(atom("WM_DELETE_WINDOW"));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(raw_, ::Window(window_.llwin.handle), False, NoEventMask, &e);
  XSync(raw_, False);
  ASSERT_TRUE(wait_code(window_.codes[0]));
  EXPECT_TRUE(window_.created);
  EXPECT_TRUE(kvrunning());
}

TEST_F(WindowX11, TheScreenShowsThePage) {
  open("Page,x=300,y=200,xs=240,ys=120,notitle,cys=400,bgcolor=ffffff");
  window_.fillrect(10, 10, 100, 50, 0x2060C0);
  window_.text(20, 80, 0x000000, "kivo %d", 7);
  window_.standardView().redraw();
  pump_for(100);
  kvpxmap grab;
  kvpxmap_init(&grab);
  grab.width = 240;
  grab.height = 120;
  grab.format = KVPX_TRUECOLOR;
  ASSERT_TRUE(kvpxmap_allocate(&grab));
  const port::Rect c = client();
  kvllgui_grabscreen(&grab, 0, 0, c.x, c.y, 240, 120);
  int differing = 0, blue = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 240; ++x) {
      const int shown = kvpxmap_getpixel(&grab, x, y);
      differing += shown != kvpxmap_getpixel(&window_.llwin.pxmap, x, y);
      blue += shown == 0x2060C0;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(blue, 100 * 50);
  kvpxmap_free(&grab);
}

}  // namespace
}  // namespace kivo::test
