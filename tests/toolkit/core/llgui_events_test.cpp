// The window layer's translation of window-system events into messages.
#include <string>
#include <vector>

#include "llgui_fixture.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::Key;
using kivo::test::Message;

class LlguiEvents : public kivo::test::LlguiTest {
 protected:
  void SetUp() override {
    LlguiTest::SetUp();
    ASSERT_TRUE(open(100, 100, 300, 200));
    pump();
  }
  // Client-area point to screen point.
  int sx(int x) { return client().x + x; }
  int sy(int y) { return client().y + y; }
};

struct KeyCase {
  const char* name;
  std::vector<Key> held;       // pressed first, released last
  Key key;                     // Key::Unknown: type `character` instead
  uint32_t character;
  std::vector<Message> expected;  // what the owner gets for the key itself
};

TEST_F(LlguiEvents, KeyTableAndClipboardShortcuts) {
  const std::vector<KeyCase> cases = {
      {"Shift+Insert", {Key::Shift}, Key::Insert, 0, {{2016, 317, 0}, {2033, 0, 0}, {2017, 317, 0}}},
      {"Ctrl+Insert", {Key::Ctrl}, Key::Insert, 0, {{2016, 317, 0}, {2034, 0, 0}, {2017, 317, 0}}},
      {"Ctrl+Shift+Insert", {Key::Ctrl, Key::Shift}, Key::Insert, 0, {{2016, 317, 0}, {2017, 317, 0}}},
      {"Shift+Delete", {Key::Shift}, Key::Delete, 0, {{2035, 0, 0}, {2017, 322, 0}}},
      {"Delete", {}, Key::Delete, 0, {{2016, 322, 0}, {2017, 322, 0}}},
      {"Alt+F4", {Key::Alt}, Key::F4, 0, {{2001, 0, 0}, {2016, 308, 0}, {2017, 308, 0}}},
      {"F12", {}, Key::F12, 0, {{2016, 316, 0}, {2017, 316, 0}}},
      {"Page Down", {}, Key::PageDown, 0, {{2016, 324, 0}, {2017, 324, 0}}},
      {"Ctrl+V", {Key::Ctrl}, Key::Unknown, 'v', {{2033, 0, 0}, {2016, 22, 0}}},
      {"Ctrl+X", {Key::Ctrl}, Key::Unknown, 'x', {{2035, 0, 0}, {2016, 24, 0}}},
      {"Ctrl+C", {Key::Ctrl}, Key::Unknown, 'c', {{2034, 0, 0}, {2016, 3, 0}}},
      {"a", {}, Key::Unknown, 'a', {{2016, 'a', 0}}},
      {"e acute", {}, Key::Unknown, 0xE9, {{2016, 0xE9, 0}}},
      {"euro sign", {}, Key::Unknown, 0x20AC, {{2016, 0x80, 0}}},
      {"no code page position", {}, Key::Unknown, 0x4E2D, {}},
      {"Enter as a character", {}, Key::Unknown, '\r', {}},
      {"Space as a character", {}, Key::Unknown, ' ', {}},
  };
  for (const auto& c : cases) {
    for (Key k : c.held) ctl().key(k, true);
    pump();
    if (c.key != Key::Unknown)
      ctl().tap(c.key);
    else
      ctl().type(c.character);
    EXPECT_EQ(pump(), c.expected) << c.name;
    for (Key k : c.held) ctl().key(k, false);
    pump();
  }
}

TEST_F(LlguiEvents, ModifierKeysReportThemselvesAndFocusChangesResetThem) {
  ctl().key(Key::Shift, true);
  EXPECT_EQ(pump(), (std::vector<Message>{{2016, 319, 0}}));
  EXPECT_EQ(kvgetmodifiers(), KV_MOD_SHIFT);
  ctl().key(Key::Ctrl, true);
  pump();
  EXPECT_EQ(kvgetmodifiers(), KV_MOD_SHIFT | KV_MOD_CTRL);
  kivo::port::headless::ForeignWindow other;
  other.rect = {1000, 500, 100, 100};
  ctl().focus(ctl().add_foreign(other));
  EXPECT_EQ(without_focus(pump()).size(), 0u);
  EXPECT_EQ(kvgetmodifiers(), 0);
}

TEST_F(LlguiEvents, ButtonsArriveInClientCoordinates) {
  struct ButtonCase {
    int button;
    int down, up, dbl;
  };
  for (const ButtonCase& c : {ButtonCase{1, 2004, 2005, 2006}, ButtonCase{2, 2007, 2008, 2009},
                              ButtonCase{3, 2010, 2011, 2012}}) {
    ctl().click(sx(10), sy(20), c.button);
    ctl().click(sx(10), sy(20), c.button);
    EXPECT_EQ(without_focus(pump()),
              (std::vector<Message>{{c.down, 10, 20}, {c.up, 10, 20}, {c.dbl, 10, 20}, {c.up, 10, 20}}))
        << "button " << c.button;
    advance_ms(1000);
  }
  ctl().move_pointer(sx(299), sy(0));
  EXPECT_EQ(pump(), (std::vector<Message>{{2015, 299, 0}}));
}

TEST_F(LlguiEvents, WheelAwayFromTheUserScrollsUp) {
  ctl().move_pointer(sx(30), sy(40));
  pump();
  ctl().wheel(1);
  EXPECT_EQ(pump(), (std::vector<Message>{{2013, 30, 40}}));
  ctl().wheel(-2);
  EXPECT_EQ(pump(), (std::vector<Message>{{2014, 30, 40}, {2014, 30, 40}}));
}

TEST_F(LlguiEvents, ThreeDroppedFilesGiveOneMessageAndTheFirstName) {
  ctl().drop_files(sx(5), sy(5), {"/home/u/logo.bmp", "/home/u/b.gif", "/home/u/c.jpg"});
  EXPECT_EQ(pump(), (std::vector<Message>{{2061, 0, 0}}));
  EXPECT_STREQ(kvgetdroppedfile(), "/home/u/logo.bmp");
  ctl().drop_files(sx(5), sy(5), {std::string(400, 'x')});
  pump();
  EXPECT_EQ(std::string(kvgetdroppedfile()).size(), size_t(kvdroppedfile_max));
}

TEST_F(LlguiEvents, MinimiseGivesNoResizeAndRestoreAsksForDrawing) {
  ctl().minimise(window.handle);
  EXPECT_EQ(without_focus(pump()), (std::vector<Message>{{2055, 0, 0}}));
  ctl().restore(window.handle);
  // The size did not change: the layer keeps its pixmap and asks the owner
  // to draw again.
  EXPECT_EQ(without_focus(pump()), (std::vector<Message>{{2002, 0, 0}}));
}

TEST_F(LlguiEvents, ResizeRenewsTheBackingPixmapAndAsksForDrawing) {
  ctl().user_resize(window.handle, 320, 150);
  EXPECT_EQ(pump(), (std::vector<Message>{{2003, 320, 150}, {2002, 0, 0}}));
  EXPECT_EQ(window.pxmap.width, 320);
  EXPECT_EQ(window.pxmap.height, 150);
  EXPECT_EQ(window.pxmap.format, KVPX_SERVER);
  ctl().maximise(window.handle);
  const auto got = pump();
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(got[0].code, 2003);
  EXPECT_EQ(got[1].code, 2002);
  EXPECT_EQ(got[2], (Message{2060, 0, 0}));
}

TEST_F(LlguiEvents, CloseRequestsMovesAndActivation) {
  ctl().request_close(window.handle);
  EXPECT_EQ(pump(), (std::vector<Message>{{2001, 0, 0}}));
  ctl().end_session();
  EXPECT_EQ(pump(), (std::vector<Message>{{2001, 0, 0}}));
  EXPECT_TRUE(window.open);  // the owner decides
  ctl().user_move(window.handle, 10, 10);
  EXPECT_EQ(pump(), (std::vector<Message>{{2062, 0, 0}}));
  kivo::port::headless::ForeignWindow other;
  other.rect = {1000, 500, 100, 100};
  ctl().focus(ctl().add_foreign(other));
  EXPECT_EQ(pump(), (std::vector<Message>{{2064, 0, 0}, {2019, 0, 0}}));
  ctl().focus(window.handle);
  EXPECT_EQ(pump(), (std::vector<Message>{{2063, 0, 0}, {2018, 0, 0}}));
}

TEST_F(LlguiEvents, PaintsCopyTheBackingPixmapWithoutAskingTheOwner) {
  kvpxmap_clear(&window.pxmap, 0x336699);
  kvllgui_invalidate(&window);
  EXPECT_EQ(ctl().screen_pixel(sx(0), sy(0)), 0x336699);
  kvpxmap_clear(&window.pxmap, 0xFF0000);
  ctl().minimise(window.handle);
  ctl().restore(window.handle);
  pump();
  EXPECT_EQ(ctl().screen_pixel(sx(299), sy(199)), 0xFF0000);
  for (const auto& m : messages) EXPECT_NE(m.code, 2003);
}

TEST_F(LlguiEvents, NothingIsDeliveredAfterClosing) {
  ctl().click(sx(5), sy(5));
  kvllgui_close(&window);
  EXPECT_EQ(pump(), std::vector<Message>{});
  EXPECT_EQ(kvllgui_registered(), 0);
}

TEST_F(LlguiEvents, TrayClicksRestoreNothingByThemselvesButReachTheOwner) {
  ASSERT_TRUE(kvllgui_totray(&window));
  kivo::port::headless::WindowInfo info;
  ASSERT_TRUE(ctl().window(window.handle, info));
  EXPECT_FALSE(info.visible);
  ASSERT_EQ(ctl().tray_icons().size(), 1u);
  EXPECT_EQ(ctl().tray_icons()[0].tip, "Window");
  EXPECT_TRUE(ctl().click_tray(window.handle, 1));
  EXPECT_EQ(without_focus(pump()), (std::vector<Message>{{2056, 2005, 0}}));
  EXPECT_TRUE(ctl().click_tray(window.handle, 3));
  EXPECT_EQ(without_focus(pump()), (std::vector<Message>{{2056, 2011, 0}}));
  kvllgui_fromtray(&window);
  ASSERT_TRUE(ctl().window(window.handle, info));
  EXPECT_TRUE(info.visible);
  EXPECT_TRUE(ctl().tray_icons().empty());
}

}  // namespace
