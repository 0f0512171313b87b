// kvView: page and scroll bars, centring, scrolling, pointer dispatch to
// regions, hover, capture, keys, the wheel and focus movement.
#include <algorithm>

#include "toolkit/core/environment.h"
#include "toolkit/widgets/view.h"
#include "toolkit/widgets/window.h"
#include "widget_fixture.h"

namespace {

using kivo::port::Key;
using kivo::test::Probe;

class ViewTest : public kivo::test::WidgetTest {
 protected:
  // A window without frame at the screen's corner, so that client and
  // screen coordinates agree.
  void open(const char* extra = "") {
    ASSERT_TRUE(win.create("Test,x=0,y=0,xs=700,ys=500,notitle%s", extra));
    go_live();
    events();
  }
  kvView& view() { return win.views[0]; }
  kvWindow win;
};

struct BarCase {
  int page_w, page_h;
  bool vertical, horizontal;
};

TEST_F(ViewTest, ScrollBarsAppearOnlyWhereThePageIsClearlyLarger) {
  const int bar = guimetrics("scrollbarwidth");
  for (const BarCase& c : {BarCase{700, 1200, true, false}, BarCase{700, 520, false, false},
                           BarCase{722, 500, false, true}, BarCase{722, 510, true, true}, BarCase{721, 500, false, false},
                           BarCase{1000, 1200, true, true}, BarCase{700, 521, false, false}}) {
    open(",cys=1");  // own page, sized below
    view().setPageSize(c.page_w, c.page_h, true, true);
    EXPECT_EQ(view().showsVertical, c.vertical) << c.page_w << "x" << c.page_h;
    EXPECT_EQ(view().showsHorizontal, c.horizontal) << c.page_w << "x" << c.page_h;
    win.close();
  }
  open(",cys=1200");
  EXPECT_TRUE(view().showsVertical);
  EXPECT_FALSE(view().showsHorizontal);
  EXPECT_EQ(view().usableWidth(), 700 - bar);
  EXPECT_EQ(view().usableHeight(), 1200);
  EXPECT_EQ(view().vbar.knobSize(), 500 * 100 / 1200);
  // Permissions keep a needed bar away.
  view().setPageSize(700, 1300, false, true);
  EXPECT_FALSE(view().showsVertical);
}

TEST_F(ViewTest, APageSmallerThanTheViewIsCentredInTheBackground) {
  open(",pxs=300,pys=200,bgcolor=00ff00");
  ASSERT_FALSE(view().drawsIntoHost());
  kvpxmap_clear(view().page(), 0xFF0000);
  view().redraw();
  EXPECT_EQ(view().centreX, 200);
  EXPECT_EQ(view().centreY, 150);
  EXPECT_EQ(ctl().screen_pixel(200, 150), 0xFF0000);
  EXPECT_EQ(ctl().screen_pixel(499, 349), 0xFF0000);
  EXPECT_EQ(ctl().screen_pixel(199, 150), 0x00FF00);
  EXPECT_EQ(ctl().screen_pixel(500, 349), 0x00FF00);
  EXPECT_EQ(ctl().screen_pixel(10, 10), 0x00FF00);
  // Clicks are reported in page coordinates.
  ctl().click(210, 160);
  events();
  EXPECT_EQ(view().lastevent[0], 10);
  EXPECT_EQ(view().lastevent[1], 10);
}

TEST_F(ViewTest, ScrollCommandsClampAndTellTheChildren) {
  open(",cys=1200");
  view().makeStandard();
  Probe child(10, 600, 50, 20);
  view().scroll(KV_SCROLL_DOWN);
  EXPECT_EQ(view().scrollY, 60);
  ASSERT_NE(child.last(KV_CHILD_SCROLLED), nullptr);
  EXPECT_EQ(child.last(KV_CHILD_SCROLLED)->b, 60);
  view().scroll(KV_SCROLL_PAGEDOWN);
  EXPECT_EQ(view().scrollY, 60 + 240);
  view().scroll(KV_SCROLL_VPOS, 100);
  EXPECT_EQ(view().scrollY, 700);
  view().scroll(KV_SCROLL_PAGEDOWN);
  EXPECT_EQ(view().scrollY, 700);
  EXPECT_EQ(view().vbar.knobPosition(), 100);
  view().scroll(KV_SCROLL_VPOS, 0);
  EXPECT_EQ(view().scrollY, 0);
  view().scrollTo(5000);
  EXPECT_EQ(view().scrollY, 699);
  // Keys and the wheel scroll while no child has the focus.
  view().scrollTo(0);
  ctl().tap(Key::Down);
  events();
  EXPECT_EQ(view().scrollY, 60);
  ctl().move_pointer(100, 100);
  ctl().wheel(1);
  events();
  EXPECT_EQ(view().scrollY, 0);
  ctl().wheel(-2);
  const auto got = events();
  EXPECT_EQ(view().scrollY, 120);
  EXPECT_EQ(std::count(got.begin(), got.end(), win.codes[13]), 2);
}

TEST_F(ViewTest, ScrollBarArrowsTrackAndKnobScrollThePage) {
  open(",cys=1200");
  const kvScrollBar& bar = view().vbar;
  const int bx = bar.x + bar.width / 2;
  // The down arrow: one step on release, repeats while held.
  ctl().move_pointer(bx, bar.y + bar.height - 3);
  ctl().press(1);
  events();
  EXPECT_EQ(view().scrollY, 0);
  ctl().release(1);
  events();
  EXPECT_EQ(view().scrollY, 60);
  ctl().press(1);
  events();
  advance_ms(500);
  events();
  EXPECT_EQ(view().scrollY, 120);
  advance_ms(300);
  events();
  EXPECT_EQ(view().scrollY, 300);
  ctl().release(1);
  events();
  EXPECT_EQ(view().scrollY, 360);
  // The track below the knob pages down.
  view().scroll(KV_SCROLL_VPOS, 0);
  ctl().click(bx, bar.y + bar.height - 40);
  events();
  EXPECT_EQ(view().scrollY, 240);
  // Dragging the knob to the end.
  view().scroll(KV_SCROLL_VPOS, 0);
  ctl().move_pointer(bx, bar.y + bar.width + 5);
  ctl().press(1);
  ctl().move_pointer(bx, bar.y + bar.height);
  ctl().release(1);
  events();
  EXPECT_EQ(view().scrollY, 700);
  // No event of the bar reaches the page as a click.
  EXPECT_EQ(view().focusRegion, -1);
}

TEST_F(ViewTest, PointerEventsReachRegionsInPageCoordinates) {
  open(",cys=1200");
  view().makeStandard();
  Probe a(100, 600, 50, 20);
  Probe b(100, 100, 50, 20, KV_REGION_FOCUSABLE);  // no pointer events
  view().scroll(KV_SCROLL_VPOS, 100);              // scrollY 700: page row 600 is gone
  view().scrollTo(550);
  ctl().click(110, 60);  // page (110, 610)
  events();
  ASSERT_NE(a.last(KV_MSG_LBUTTONDOWN), nullptr);
  EXPECT_EQ(a.last(KV_MSG_LBUTTONDOWN)->a, 110);
  EXPECT_EQ(a.last(KV_MSG_LBUTTONDOWN)->b, 610);
  EXPECT_EQ(b.count(KV_MSG_LBUTTONDOWN), 0);
  // The border of a region does not belong to it.
  ctl().click(100, 60);
  events();
  EXPECT_EQ(a.count(KV_MSG_LBUTTONDOWN), 1);
  // Hover: the pointer entered with the first click and left onto the border.
  EXPECT_EQ(a.count(KV_CHILD_ENTER), 1);
  EXPECT_EQ(a.count(KV_CHILD_LEAVE), 1);
  ctl().move_pointer(120, 60);
  events();
  EXPECT_EQ(a.count(KV_CHILD_ENTER), 2);
  ctl().move_pointer(300, 300);
  events();
  EXPECT_EQ(a.count(KV_CHILD_LEAVE), 2);
  // A captured region gets everything.
  a.host(KV_HOST_CAPTURE, a.region);
  ctl().click(600, 400);
  events();
  EXPECT_EQ(a.last(KV_MSG_LBUTTONUP)->a, 600);
  a.host(KV_HOST_RELEASE, a.region);
  ctl().click(600, 400);
  events();
  EXPECT_EQ(a.count(KV_MSG_LBUTTONUP), 2);
}

TEST_F(ViewTest, TabCyclesThroughFocusableControlsAndEscapeLeavesNone) {
  open();
  Probe a(10, 10, 50, 20), b(10, 40, 50, 20), c(10, 70, 50, 20);
  Probe skipped(10, 100, 50, 20, KV_REGION_MOUSE);  // not focusable
  for (Probe* expected : {&a, &b, &c, &a}) {
    ctl().tap(Key::Tab);
    events();
    EXPECT_TRUE(expected->focused);
    EXPECT_EQ(int(a.focused) + int(b.focused) + int(c.focused), 1);
  }
  EXPECT_EQ(skipped.count(KV_CHILD_TAKEFOCUS), 0);
  ctl().tap(Key::Escape);
  events();
  EXPECT_FALSE(a.focused || b.focused || c.focused);
  EXPECT_EQ(view().focusRegion, -1);
  // A control that refuses is passed over.
  b.refuse_focus = true;
  ctl().tap(Key::Tab);
  ctl().tap(Key::Tab);
  events();
  EXPECT_TRUE(c.focused);
}

TEST_F(ViewTest, KeysGoToTheFocusedControl) {
  open(",cys=1200");
  Probe a(10, 10, 50, 20);
  ASSERT_TRUE(a.requestFocus());
  EXPECT_EQ(view().focusRegion, a.region);
  ctl().tap(Key::Down);
  ctl().type('x');
  events();
  EXPECT_EQ(view().scrollY, 0);  // the control had the key
  EXPECT_EQ(a.last(KV_MSG_KEYDOWN)->a, 'x');
  EXPECT_EQ(a.count(KV_MSG_KEYUP), 1);
}

TEST_F(ViewTest, ClickOnEmptyPageTakesTheFocusAwayAndFiresCodeOne) {
  open();
  Probe a(10, 10, 50, 20);
  ASSERT_TRUE(a.requestFocus());
  ctl().click(300, 250);
  const auto got = events();
  EXPECT_FALSE(a.focused);
  EXPECT_EQ(view().focusRegion, -1);
  EXPECT_NE(std::find(got.begin(), got.end(), win.codes[1]), got.end());
  EXPECT_NE(std::find(got.begin(), got.end(), win.codes[2]), got.end());
  EXPECT_EQ(view().lastevent[0], 300);
  EXPECT_EQ(view().lastevent[1], 250);
  // A click on the control keeps it focused (it decides itself).
  ASSERT_TRUE(a.requestFocus());
  ctl().click(20, 20);
  events();
  EXPECT_TRUE(a.focused);
}

TEST_F(ViewTest, FocusedControlsAreScrolledIntoView) {
  open(",cys=2000");
  Probe far(10, 1500, 50, 20);
  ASSERT_TRUE(far.requestFocus());
  EXPECT_LE(view().scrollY, 1500);
  EXPECT_GT(view().scrollY + 500, 1500);
  Probe top(10, 10, 50, 20);
  ASSERT_TRUE(top.requestFocus());
  EXPECT_EQ(view().scrollY, 0);
  // Not while a layout runs.
  kvlayout_setinprogress(true);
  ASSERT_TRUE(far.requestFocus());
  EXPECT_EQ(view().scrollY, 0);
  kvlayout_setinprogress(false);
}

TEST_F(ViewTest, ViewsLearnWhenThePointerEntersAndLeaves) {
  open(",toolbar,autofocus");
  kivo::port::headless::ForeignWindow other;
  other.rect = {1000, 600, 100, 100};
  ctl().focus(ctl().add_foreign(other));
  events();
  EXPECT_FALSE(view().focused);
  ctl().move_pointer(100, 5);  // over the tool bar
  events();
  EXPECT_TRUE(win.toolbar.hover);
  EXPECT_FALSE(view().hover);
  ctl().move_pointer(100, 100);
  events();
  EXPECT_TRUE(view().hover);
  EXPECT_FALSE(win.toolbar.hover);
  EXPECT_TRUE(view().focused);  // autofocus
  ctl().move_pointer(100, 5);
  events();
  EXPECT_FALSE(view().hover);
}

TEST_F(ViewTest, ChildrenLearnWhereTheirPageIsOnTheScreen) {
  ASSERT_TRUE(win.create("Positions,x=300,y=200,xs=400,ys=300,cys=900"));
  go_live();
  Probe a(10, 500, 50, 20);
  const kivo::port::Rect client = kivo::port::backend().windows().client_rect(win.llwin.handle);
  EXPECT_EQ(a.host(KV_HOST_SCREENX), client.x);
  EXPECT_EQ(a.host(KV_HOST_SCREENY), client.y);
  view().scrollTo(100);
  EXPECT_EQ(a.host(KV_HOST_SCREENY), client.y - 100);
  EXPECT_EQ(a.host(KV_HOST_LLWINDOW), reinterpret_cast<intptr_t>(&win.llwin));
  EXPECT_EQ(a.host(KV_HOST_CURRENTVIEW), reinterpret_cast<intptr_t>(&view()));
  EXPECT_EQ(a.host(KV_HOST_HIDDEN), 0);
  win.autoRefresh = false;  // a "noredraw" window
  EXPECT_NE(a.host(KV_HOST_HIDDEN), 0);
}

TEST_F(ViewTest, DestroyTellsTheChildrenAndLeavesTheHost) {
  open();
  Probe a(10, 10, 50, 20);
  win.close();
  EXPECT_EQ(a.count(KV_CHILD_DESTROY), 1);
  EXPECT_EQ(kvhost_count(), 0);
}

}  // namespace
