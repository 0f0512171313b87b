// Real input: XTest events reach our windows as the right WindowEvents.
#include "x11_fixture.h"

namespace kivo::test {
namespace {

using port::Key;
using port::WindowEvent;

class Input : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    window_ = open_focused(spec(100, 100, 300, 200));
    ASSERT_NE(window_, 0u);
    client_ = windows().client_rect(window_);
  }
  port::WindowId window_ = 0;
  port::Rect client_;
};

TEST_F(Input, ClicksArriveInClientCoordinatesPerButton) {
  for (int b : {1, 2, 3}) {
    events_.clear();
    click(client_.x + 10 * b, client_.y + 20, b);
    ASSERT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::ButtonUp); })) << "button " << b;
    const auto seen = of(window_, {WindowEvent::ButtonDown, WindowEvent::ButtonUp, WindowEvent::DoubleClick});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].type, WindowEvent::ButtonDown);
    EXPECT_EQ(seen[1].type, WindowEvent::ButtonUp);
    for (const auto& e : seen) {
      EXPECT_EQ(e.button, b);
      EXPECT_EQ(e.x, 10 * b);
      EXPECT_EQ(e.y, 20);
    }
    pump_for(600);  // well past the double-click time
  }
}

TEST_F(Input, SecondPressCloseInTimeAndPlaceIsADoubleClick) {
  // Each click is let through before the next one: the window manager holds
  // presses on client windows for a moment (click to focus).
  auto click_and_wait = [&](int x, int y, int b) {
    const int ups = count(window_, WindowEvent::ButtonUp);
    click(client_.x + x, client_.y + y, b);
    return pump_until([&] { return count(window_, WindowEvent::ButtonUp) > ups; });
  };
  ASSERT_TRUE(click_and_wait(50, 50, 1));
  ASSERT_TRUE(click_and_wait(52, 51, 1));
  ASSERT_TRUE(click_and_wait(52, 51, 1));  // a third press starts over
  const auto presses = of(window_, {WindowEvent::ButtonDown, WindowEvent::DoubleClick});
  ASSERT_EQ(presses.size(), 3u);
  EXPECT_EQ(presses[0].type, WindowEvent::ButtonDown);
  EXPECT_EQ(presses[1].type, WindowEvent::DoubleClick);
  EXPECT_EQ(presses[1].x, 52);
  EXPECT_EQ(presses[2].type, WindowEvent::ButtonDown);

  // Too far apart, or another button: single presses.
  pump_for(600);
  events_.clear();
  ASSERT_TRUE(click_and_wait(50, 50, 1));
  ASSERT_TRUE(click_and_wait(60, 50, 1));
  ASSERT_TRUE(click_and_wait(60, 50, 3));
  EXPECT_EQ(count(window_, WindowEvent::DoubleClick), 0);
  EXPECT_EQ(count(window_, WindowEvent::ButtonDown), 3);
}

TEST_F(Input, WheelGivesDirectionAndScreenPosition) {
  move_pointer(client_.x + 30, client_.y + 40);
  button(4, true);
  button(4, false);
  button(5, true);
  button(5, false);
  ASSERT_TRUE(pump_until([&] { return count(window_, WindowEvent::Wheel) == 2; }));
  const auto wheel = of(window_, {WindowEvent::Wheel});
  EXPECT_GT(wheel[0].wheel_delta, 0) << "turned away from the user";
  EXPECT_LT(wheel[1].wheel_delta, 0);
  EXPECT_EQ(wheel[0].x, client_.x + 30);
  EXPECT_EQ(wheel[0].y, client_.y + 40);
  EXPECT_EQ(count(window_, WindowEvent::ButtonDown) + count(window_, WindowEvent::ButtonUp), 0);
}

TEST_F(Input, TableKeysArriveAsKeysOnly) {
  struct Case {
    KeySym keysym;
    Key key;
  } cases[] = {
      {XK_F1, Key::F1},       {XK_F5, Key::F5},         {XK_F10, Key::F10},     {XK_F12, Key::F12},
      {XK_Tab, Key::Tab},     {XK_Return, Key::Enter},  {XK_Escape, Key::Escape}, {XK_space, Key::Space},
      {XK_Left, Key::Left},   {XK_Down, Key::Down},     {XK_Home, Key::Home},   {XK_End, Key::End},
      {XK_Delete, Key::Delete}, {XK_Prior, Key::PageUp}, {XK_Next, Key::PageDown}, {XK_Insert, Key::Insert},
  };
  for (const Case& c : cases) {
    events_.clear();
    tap(c.keysym);
    ASSERT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::KeyUp); })) << XKeysymToString(c.keysym);
    const auto seen = of(window_, {WindowEvent::KeyDown, WindowEvent::KeyUp, WindowEvent::Character});
    ASSERT_EQ(seen.size(), 2u) << XKeysymToString(c.keysym);
    EXPECT_EQ(seen[0].type, WindowEvent::KeyDown);
    EXPECT_EQ(seen[0].key, c.key) << XKeysymToString(c.keysym);
    EXPECT_EQ(seen[1].type, WindowEvent::KeyUp);
    EXPECT_EQ(seen[1].key, c.key);
  }
}

TEST_F(Input, CharactersWithModifiers) {
  tap(XK_a);
  key(XK_Shift_L, true);
  tap(XK_a);
  tap(XK_1);
  key(XK_Shift_L, false);
  key(XK_Control_L, true);
  tap(XK_v);
  key(XK_Control_L, false);
  key(XK_Alt_L, true);
  tap(XK_x);
  key(XK_Alt_L, false);
  tap(XK_BackSpace);
  ASSERT_TRUE(pump_until([&] { return count(window_, WindowEvent::Character) == 6; }));
  const auto chars = of(window_, {WindowEvent::Character});
  const uint32_t expected[] = {'a', 'A', '!', 22, 'x', 8};
  const unsigned mods[] = {0, port::kShift, port::kShift, port::kCtrl, port::kAlt, 0};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(chars[i].character, expected[i]) << i;
    EXPECT_EQ(chars[i].modifiers, mods[i]) << i;
  }
  // The modifier keys themselves come as keys.
  const auto keys = of(window_, {WindowEvent::KeyDown});
  std::vector<Key> pressed;
  for (const auto& e : keys) pressed.push_back(e.key);
  EXPECT_EQ(pressed, (std::vector<Key>{Key::Shift, Key::Ctrl, Key::Alt}));
}

TEST_F(Input, CharactersBeyondLatin1) {
  // A spare key typing the euro sign, as a European layout has it.
  int min_code = 0, max_code = 0;
  XDisplayKeycodes(raw_, &min_code, &max_code);
  int per_code = 0;
  KeySym* map = XGetKeyboardMapping(raw_, KeyCode(min_code), max_code - min_code + 1, &per_code);
  int spare = 0;
  for (int code = max_code; code >= min_code && !spare; --code) {
    bool empty = true;
    for (int i = 0; i < per_code; ++i) empty = empty && map[(code - min_code) * per_code + i] == NoSymbol;
    if (empty) spare = code;
  }
  XFree(map);
  ASSERT_NE(spare, 0);
  KeySym euro[2] = {XK_EuroSign, XK_EuroSign};
  XChangeKeyboardMapping(raw_, spare, 2, euro, 1);
  XSync(raw_, False);
  pump_for(200);  // the backend hears of the new mapping
  XTestFakeKeyEvent(raw_, unsigned(spare), True, CurrentTime);
  XTestFakeKeyEvent(raw_, unsigned(spare), False, CurrentTime);
  XSync(raw_, False);
  const bool typed = pump_until([&] { return has_event(window_, WindowEvent::Character); });
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(raw_, spare, 2, none, 1);
  XSync(raw_, False);
  ASSERT_TRUE(typed);
  EXPECT_EQ(of(window_, {WindowEvent::Character})[0].character, 0x20ACu);
}

TEST_F(Input, PointerMovesAndFocus) {
  move_pointer(client_.x + 5, client_.y + 6);
  ASSERT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::PointerMove); }));
  const auto moves = of(window_, {WindowEvent::PointerMove});
  EXPECT_EQ(moves.back().x, 5);
  EXPECT_EQ(moves.back().y, 6);
  int x = 0, y = 0;
  ASSERT_TRUE(backend().desktop().pointer_position(x, y));
  EXPECT_EQ(x, client_.x + 5);
  EXPECT_EQ(y, client_.y + 6);

  const port::WindowId other = open(spec(500, 400, 100, 100));
  windows().activate(other);
  EXPECT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::FocusLost); }));
  windows().activate(window_);
  EXPECT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::FocusGained); }));
}

TEST_F(Input, SyntheticInputReachesTheServer) {
  auto& input = backend().synthetic_input();
  ASSERT_TRUE(input.move_pointer(client_.x + 40, client_.y + 30));
  ASSERT_TRUE(input.button(1, true));
  ASSERT_TRUE(input.button(1, false));
  ASSERT_TRUE(pump_until([&] { return has_event(window_, WindowEvent::ButtonUp); }));
  const auto downs = of(window_, {WindowEvent::ButtonDown});
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].x, 40);
  EXPECT_EQ(downs[0].y, 30);
  EXPECT_FALSE(input.button(7, true));
}

TEST_F(Input, CursorShapeIsSetOnOurWindows) {
  backend().cursors().set(port::PointerShape::Hand);
  backend().cursors().set(port::PointerShape::Arrow);
  backend().display().flush();
  // The server accepted the cursors (no protocol error closes anything).
  XWindowAttributes attributes{};
  EXPECT_TRUE(XGetWindowAttributes(raw_, ::Window(window_), &attributes));
}

}  // namespace
}  // namespace kivo::test
