// The desktop around our windows under openbox: work area and struts,
// other programs' windows, stacking and focus.
#include "x11_fixture.h"

namespace kivo::test {
namespace {

class DesktopTest : public X11Test {
 protected:
  void TearDown() override {
    for (::Window w : foreign_)
      if (raw_) XDestroyWindow(raw_, w);
    if (raw_) XSync(raw_, False);
    X11Test::TearDown();
  }
  // Another program's window, managed by openbox.
  ::Window foreign(int x, int y, int w, int h, const std::string& title, const char* type = nullptr) {
    const ::Window id = XCreateSimpleWindow(raw_, root_, x, y, unsigned(w), unsigned(h), 0, 0, 0x808080);
    XStoreName(raw_, id, title.c_str());
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = USPosition | PWinGravity;
    hints->x = x;
    hints->y = y;
    hints->win_gravity = NorthWestGravity;
    XSetWMNormalHints(raw_, id, hints);
    XFree(hints);
    if (type) {
      const Atom t = atom(type);
      XChangeProperty(raw_, id, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&t), 1);
    }
    XMapWindow(raw_, id);
    XSync(raw_, False);
    foreign_.push_back(id);
    pump_until([&] { return listed(id) != nullptr; });
    return id;
  }
  const port::TopLevelWindow* listed(::Window id) {
    tops_ = backend().desktop().top_levels();
    for (const auto& t : tops_)
      if (t.id == port::WindowId(id)) return &t;
    return nullptr;
  }
  std::vector<::Window> foreign_;
  std::vector<port::TopLevelWindow> tops_;
};

TEST_F(DesktopTest, StrutsShapeTheWorkArea) {
  auto& desktop = backend().desktop();
  EXPECT_TRUE(backend().capabilities().work_area_reservation);
  EXPECT_EQ(desktop.work_area(), (port::Rect{0, 0, 1920, 1080}));
  auto s = spec(0, 0, 1920, 40);
  s.caption = false;
  s.sizing_frame = false;
  const port::WindowId line = open(s);
  ASSERT_NE(line, 0u);
  struct Case {
    port::Edge edge;
    port::Rect area;
  } cases[] = {
      {port::Edge::Top, {0, 40, 1920, 1040}},
      {port::Edge::Bottom, {0, 0, 1920, 1040}},
      {port::Edge::Left, {40, 0, 1880, 1080}},
  };
  for (const Case& c : cases) {
    const int span_end = c.edge == port::Edge::Left ? 1080 : 1920;
    ASSERT_TRUE(desktop.reserve_strip(line, c.edge, 40, 0, span_end));
    EXPECT_TRUE(pump_until([&] { return desktop.work_area() == c.area; }))
        << int(c.edge) << ": " << desktop.work_area().x << "," << desktop.work_area().y << " "
        << desktop.work_area().width << "x" << desktop.work_area().height;
    const std::vector<long> area = longs(root_, "_NET_WORKAREA");
    ASSERT_GE(area.size(), 4u);
    EXPECT_EQ((port::Rect{int(area[0]), int(area[1]), int(area[2]), int(area[3])}), c.area);
  }
  const std::vector<long> partial = longs(::Window(line), "_NET_WM_STRUT_PARTIAL");
  ASSERT_EQ(partial.size(), 12u);
  EXPECT_EQ(partial[0], 40);   // left
  EXPECT_EQ(partial[5], 1079);  // left end y, inclusive
  EXPECT_EQ(longs(::Window(line), "_NET_WM_STRUT").size(), 4u);
  desktop.release_strip(line);
  EXPECT_TRUE(pump_until([&] { return desktop.work_area() == port::Rect{0, 0, 1920, 1080}; }));
  EXPECT_TRUE(longs(::Window(line), "_NET_WM_STRUT_PARTIAL").empty());
  EXPECT_FALSE(desktop.set_work_area({0, 100, 1920, 980}));
  EXPECT_FALSE(desktop.reserve_strip(12345, port::Edge::Top, 40, 0, 1920)) << "not our window";
}

TEST_F(DesktopTest, TopLevelsListTitlesFramesAndStates) {
  const port::WindowId ours = open(spec(100, 100, 300, 200, "ours \xC3\xBC"));
  ASSERT_NE(ours, 0u);
  const ::Window other = foreign(600, 300, 250, 150, "foreign one");
  const ::Window back = foreign(0, 0, 1920, 1080, "desktop", "_NET_WM_WINDOW_TYPE_DESKTOP");
  const port::TopLevelWindow* t = listed(::Window(ours));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->title, "ours \xC3\xBC");
  EXPECT_TRUE(t->ours);
  EXPECT_EQ(t->rect, windows().outer_rect(ours));
  EXPECT_FALSE(t->minimised);
  t = listed(other);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->title, "foreign one");
  EXPECT_FALSE(t->ours);
  EXPECT_EQ(t->rect.x, 600);
  EXPECT_EQ(t->rect.y, 300);
  EXPECT_GT(t->rect.height, 150) << "the frame counts";
  t = listed(back);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->is_desktop);
  // Topmost first: the desktop window lies below everything.
  EXPECT_EQ(tops_.back().id, port::WindowId(back));

  XIconifyWindow(raw_, other, DefaultScreen(raw_));
  XSync(raw_, False);
  EXPECT_TRUE(pump_until([&] {
    const auto* w = listed(other);
    return w && w->minimised;
  }));
}

TEST_F(DesktopTest, ForeignWindowsMoveAndComeToTheFront) {
  auto& desktop = backend().desktop();
  EXPECT_TRUE(backend().capabilities().foreign_windows);
  const port::WindowId ours = open_focused(spec(100, 100, 300, 200));
  ASSERT_NE(ours, 0u);
  const ::Window other = foreign(700, 500, 200, 100, "mover");
  ASSERT_TRUE(desktop.move_foreign(other, {300, 200, 400, 300}));
  EXPECT_TRUE(pump_until([&] {
    const auto* w = listed(other);
    return w && w->rect == port::Rect{300, 200, 400, 300};
  })) << (listed(other) ? listed(other)->rect.x : -1);

  ASSERT_TRUE(desktop.bring_to_front(other));
  EXPECT_TRUE(pump_until([&] { return desktop.foreground() == port::WindowId(other); }));
  // Over our window now: the point finds the other one.
  const port::Rect client = windows().client_rect(ours);
  EXPECT_EQ(desktop.window_at(client.x + 250, client.y + 150), port::WindowId(other));
  EXPECT_EQ(desktop.window_at(client.x + 10, client.y + 10), ours);
  EXPECT_EQ(desktop.window_at(1910, 1070), 0u) << "bare desktop";
  ASSERT_TRUE(desktop.bring_to_front(ours));
  EXPECT_TRUE(pump_until([&] { return desktop.foreground() == ours; }));
  EXPECT_EQ(desktop.window_at(client.x + 250, client.y + 150), ours);
  EXPECT_FALSE(desktop.move_foreign(0x7FFFFFF, {0, 0, 10, 10})) << "no such window";
}

}  // namespace
}  // namespace kivo::test
