// kvWindow: creation from a configuration string, the codes it fires,
// close handling, bars, freezing and redirection.
#include <algorithm>

#include "toolkit/core/environment.h"
#include "toolkit/core/stdout.h"
#include "toolkit/widgets/window.h"
#include "widget_fixture.h"

namespace {

using kivo::port::Key;
using kivo::port::Rect;
using kivo::port::headless::WindowInfo;

class WindowTest : public kivo::test::WidgetTest {
 protected:
  WindowInfo info(kvWindow& w) {
    WindowInfo i;
    EXPECT_TRUE(ctl().window(w.llwin.handle, i));
    return i;
  }
  static bool has(const std::vector<int>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  }
};

TEST_F(WindowTest, CreationFromAConfigurationString) {
  kvWindow w;
  ASSERT_TRUE(w.create("Settings,x=%d,y=20,xs=400,ys=300,resize,statusbar=20,toolbar,bgcolor=ff0000", 50));
  EXPECT_EQ(w.title, "Settings");
  EXPECT_EQ(kvwindows_open(), 1);
  const WindowInfo i = info(w);
  EXPECT_EQ(i.title, "Settings");
  EXPECT_EQ(i.outer.x, 50);
  EXPECT_EQ(i.outer.y, 20);
  EXPECT_EQ(i.client.width, 400);
  EXPECT_EQ(i.client.height, 300 + 20 + guimetrics("toolbarheight"));
  EXPECT_TRUE(i.spec.sizing_frame);
  EXPECT_TRUE(i.spec.maximise_box);
  EXPECT_EQ(w.views[0].y, guimetrics("toolbarheight"));
  EXPECT_EQ(w.views[0].height, 300);
  EXPECT_TRUE(w.toolbar.created);
  EXPECT_TRUE(w.status.created);
  EXPECT_EQ(w.status.y, 300 + guimetrics("toolbarheight"));
  EXPECT_EQ(w.bgcolor, 0xFF0000);
  EXPECT_EQ(kvwindow_mostrecent(), &w);
  // The window mirrors the standard view's mouse codes.
  for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) EXPECT_EQ(w.codes[c], w.views[0].codes[c]);
  EXPECT_NE(w.codes[0], w.views[0].codes[0]);
  w.close();
  EXPECT_EQ(kvwindows_open(), 0);
  EXPECT_EQ(kvwindow_mostrecent(), nullptr);
  EXPECT_EQ(ctl().window_list().size(), 0u);
}

TEST_F(WindowTest, PlacementDefaultsAndLimits) {
  kvWindow centred;
  ASSERT_TRUE(centred.create("Centred,xs=200,ys=100"));
  const Rect outer = info(centred).outer;
  EXPECT_EQ(outer.x, (1920 - outer.width) / 2);
  EXPECT_EQ(outer.y, (1080 - outer.height) / 2);
  EXPECT_FALSE(info(centred).spec.sizing_frame);  // fixed size unless "resize"
  kvWindow defaults;
  ASSERT_TRUE(defaults.create("D,x=0,y=0,notitle"));
  EXPECT_EQ(info(defaults).client, (Rect{0, 0, 100, 100}));
  kvWindow capped;
  ASSERT_TRUE(capped.create("C,x=0,y=0,xs=900,ys=900,maxxs=300,maxys=200"));
  EXPECT_EQ(info(capped).client.width, 300);
  EXPECT_EQ(info(capped).client.height, 200);
  kvWindow full;
  ASSERT_TRUE(full.create("F,fullscreen"));
  EXPECT_EQ(info(full).client, (Rect{0, 0, 1920, 1080}));
  kvWindow maxed;
  ASSERT_TRUE(maxed.create("M,maximized,statusbar=20"));
  EXPECT_EQ(info(maxed).client.width, kvsetting("maxwindowxs"));
  EXPECT_EQ(info(maxed).client.height, kvsetting("maxwindowys"));
  kvWindow percent;
  ASSERT_TRUE(percent.create("P,x=0,y=0,xs=50%,ys=25%,notitle"));
  EXPECT_EQ(info(percent).client.width, 960);
  EXPECT_EQ(info(percent).client.height, 270);
  EXPECT_EQ(kvwindows_open(), 6);
}

TEST_F(WindowTest, KeysFireTheirCodeAndReleasesTheCodePlus512) {
  kvWindow w;
  ASSERT_TRUE(w.create("K,x=0,y=0,xs=100,ys=100"));
  go_live();
  events();
  ctl().tap(Key::F5);
  auto got = events();
  EXPECT_EQ(got, (std::vector<int>{309, 309 + 512}));
  EXPECT_EQ(w.lastevent[0], KV_MSG_KEYUP);
  EXPECT_EQ(w.lastevent[1], 309);
  ctl().type('a');
  EXPECT_EQ(events(), std::vector<int>{'a'});
}

TEST_F(WindowTest, CloseRequestFiresClosesAndQuits) {
  kvWindow w;
  ASSERT_TRUE(w.create("Q,x=0,y=0,xs=100,ys=100"));
  go_live();
  events();
  ctl().request_close(w.llwin.handle);
  EXPECT_TRUE(has(events(), w.codes[0]));
  EXPECT_FALSE(w.created);
  EXPECT_FALSE(kvrunning());
  EXPECT_EQ(kvwindows_open(), 0);
}

TEST_F(WindowTest, NoquitWindowsOnlyReportTheCloseRequest) {
  kvWindow w, noclose;
  ASSERT_TRUE(w.create("N,x=0,y=0,xs=100,ys=100,noquit"));
  ASSERT_TRUE(noclose.create("C,x=200,y=0,xs=100,ys=100,noclose"));
  go_live();
  events();
  ctl().request_close(w.llwin.handle);
  EXPECT_TRUE(has(events(), w.codes[0]));
  EXPECT_TRUE(w.created);
  EXPECT_TRUE(kvrunning());
  // Alt+F4 asks once.
  ctl().focus(w.llwin.handle);
  ctl().key(Key::Alt, true);
  ctl().tap(Key::F4);
  ctl().key(Key::Alt, false);
  auto got = events();
  EXPECT_EQ(std::count(got.begin(), got.end(), w.codes[0]), 1);
  // "noclose" keeps the window but quits.
  ctl().request_close(noclose.llwin.handle);
  events();
  EXPECT_TRUE(noclose.created);
  EXPECT_FALSE(kvrunning());
}

TEST_F(WindowTest, WindowEventsFireTheirCodes) {
  kvWindow w;
  ASSERT_TRUE(w.create("E,x=10,y=10,xs=200,ys=100,resize"));
  go_live();
  events();
  ctl().user_move(w.llwin.handle, 50, 50);
  EXPECT_TRUE(has(events(), w.movedCode));
  ctl().minimise(w.llwin.handle);
  auto got = events();
  EXPECT_TRUE(has(got, w.minimisedCode));
  EXPECT_TRUE(has(got, w.deactivatedCode));
  EXPECT_FALSE(has(got, w.resizedCode));
  ctl().restore(w.llwin.handle);
  EXPECT_TRUE(has(events(), w.activatedCode));
  ctl().drop_files(100, 100, {"/tmp/a.bmp", "/tmp/b.bmp", "/tmp/c.bmp"});
  got = events();
  EXPECT_EQ(std::count(got.begin(), got.end(), w.droppedCode), 1);
  EXPECT_STREQ(kvgetdroppedfile(), "/tmp/a.bmp");
  // A resize moves the views and the bars along.
  ctl().user_resize(w.llwin.handle, 300, 150);
  EXPECT_TRUE(has(events(), w.resizedCode));
  EXPECT_EQ(w.views[0].width, 300);
  EXPECT_EQ(w.views[0].height, 150);
  EXPECT_EQ(w.llwin.pxmap.width, 300);
}

TEST_F(WindowTest, TrayIconClicksBringTheWindowBack) {
  kvWindow w;
  ASSERT_TRUE(w.create("Ticker,x=0,y=0,xs=200,ys=30"));
  go_live();
  ASSERT_TRUE(kvllgui_totray(&w.llwin));
  EXPECT_FALSE(info(w).visible);
  ctl().click_tray(w.llwin.handle, 1);
  EXPECT_TRUE(has(events(), w.trayCode));
  EXPECT_TRUE(info(w).visible);
  EXPECT_TRUE(ctl().tray_icons().empty());
}

TEST_F(WindowTest, RedirectSendsCodesToTheCallbackInstead) {
  struct Sink {
    std::vector<int> codes;
    static intptr_t take(intptr_t object, int code, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                         intptr_t, intptr_t) {
      reinterpret_cast<Sink*>(object)->codes.push_back(code);
      return 0;
    }
  } sink;
  kvWindow w;
  ASSERT_TRUE(w.create("R,x=0,y=0,xs=100,ys=100,noquit"));
  w.setCallback(&Sink::take, reinterpret_cast<intptr_t>(&sink));
  go_live();
  events();
  ctl().click(50, 50);
  ctl().request_close(w.llwin.handle);
  EXPECT_TRUE(events().empty());
  EXPECT_TRUE(has(sink.codes, w.codes[1]));
  EXPECT_TRUE(has(sink.codes, w.codes[0]));
}

TEST_F(WindowTest, StatusBarFieldsTextsAndProgress) {
  kvWindow w;
  ASSERT_TRUE(w.create("S,x=0,y=0,xs=400,ys=100,notitle,statusbar=20,bgcolor=c0c0c0"));
  go_live();
  events();
  w.setStatusLayout("75,25");
  ASSERT_EQ(w.status.fields(), 2);
  EXPECT_EQ(w.status.fieldWidth(0), 300);
  EXPECT_EQ(w.status.fieldWidth(1), 100);
  w.setStatusText(0, "Version %d.%d", 2, 40);
  EXPECT_EQ(w.status.text(0), "Version 2.40");
  // The text is on screen at once: some pixel of the field is ink now.
  bool ink = false;
  for (int x = 4; x < 80 && !ink; ++x)
    for (int y = 103; y < 117 && !ink; ++y) ink = ctl().screen_pixel(x, y) == kvcolor(KV_COLOR_TEXT);
  EXPECT_TRUE(ink);
  w.setStatusProgress(1, 50);
  EXPECT_EQ(ctl().screen_pixel(303 + 40, 110), kvcolor(KV_COLOR_DARK));
  EXPECT_NE(ctl().screen_pixel(303 + 60, 110), kvcolor(KV_COLOR_DARK));
  w.setStatusLayout("10,10,10,10,10,10,10,10,10,5,5");
  EXPECT_EQ(w.status.fields(), 10);
}

TEST_F(WindowTest, DrawingGoesToThePageAndReachesTheScreenOnTheRefreshTick) {
  kvWindow w;
  ASSERT_TRUE(w.create("D,x=0,y=0,xs=100,ys=100,notitle,cys=300,bgcolor=ffffff"));
  go_live();
  events();
  w.fillrect(10, 10, 20, 20, 0x0000FF);
  EXPECT_EQ(ctl().screen_pixel(15, 15), 0xFFFFFF);
  EXPECT_EQ(kvrefresh_marked(), 1);
  advance_ms(200);
  events();
  EXPECT_EQ(ctl().screen_pixel(15, 15), 0x0000FF);
  EXPECT_EQ(kvrefresh_marked(), 0);
  // The global drawing functions reach the standard view too.
  kvgbox(40, 40, 5, 5, 0x00FF00);
  w.views[0].redraw();
  EXPECT_EQ(ctl().screen_pixel(42, 42), 0x00FF00);
  EXPECT_EQ(kvgwidth(), w.usableWidth());
}

TEST_F(WindowTest, FreezeKeepsTheScreenUntilThaw) {
  kvWindow w;
  ASSERT_TRUE(w.create("F,x=0,y=0,xs=100,ys=100,notitle,cys=300,bgcolor=ffffff"));
  go_live();
  events();
  w.freeze();
  w.fillrect(0, 0, 100, 100, 0xFF0000);
  advance_ms(400);
  events();
  EXPECT_EQ(ctl().screen_pixel(50, 50), 0xFFFFFF);
  w.thaw(true);
  EXPECT_EQ(ctl().screen_pixel(50, 50), 0xFF0000);
}

TEST_F(WindowTest, TheFirstRedrawComesWhenTheDisplayBecomesLive) {
  kvWindow w;
  ASSERT_TRUE(w.create("L,x=0,y=0,xs=100,ys=100,notitle,cys=300,bgcolor=ffffff"));
  kvpxmap_clear(w.views[0].page(), 0x123456);  // drawn before the display is live
  EXPECT_NE(ctl().screen_pixel(50, 50), 0x123456);
  go_live();
  EXPECT_EQ(ctl().screen_pixel(50, 50), 0x123456);
}

}  // namespace
