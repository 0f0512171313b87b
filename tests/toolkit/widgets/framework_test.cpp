// The control header's operations, the host registry and the refresh marks.
#include <vector>

#include "widget_fixture.h"

namespace {

class Framework : public kivo::test::WidgetTest {};

struct Recorder {
  std::vector<int> codes;
  static intptr_t take(intptr_t object, int code, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                       intptr_t, intptr_t) {
    reinterpret_cast<Recorder*>(object)->codes.push_back(code);
    return 0;
  }
};

int g_notified = 0;
void notified() { ++g_notified; }

TEST_F(Framework, FireHonoursVisibilityRedirectAndNotifier) {
  kvControl c;
  c.fire(0, 1, 2, 3);
  c.fire(777);
  EXPECT_EQ(kvqueued(), 2);
  EXPECT_EQ(kvpollevent(), c.codes[0]);
  EXPECT_EQ(kvpollevent(), 777);
  EXPECT_EQ(c.lastevent[2], 0);  // the last fire had no data

  Recorder r;
  c.redirect = &Recorder::take;
  c.redirectobj = reinterpret_cast<intptr_t>(&r);
  c.notifier = notified;
  g_notified = 0;
  c.fire(0, 4, 5, 6);
  c.fire(c.codes[3]);
  EXPECT_EQ(r.codes, (std::vector<int>{c.codes[0], c.codes[3]}));
  EXPECT_EQ(g_notified, 1);
  EXPECT_EQ(kvqueued(), 0);

  c.visible = false;
  c.fire(0, 9, 9, 9);
  EXPECT_EQ(r.codes.size(), 2u);
  EXPECT_EQ(c.lastevent[0], 0);
}

TEST_F(Framework, CodesAreUniqueAndStay) {
  kvControl a, b;
  EXPECT_NE(a.codes[0], a.codes[1]);
  EXPECT_EQ(b.codes[0], a.codes[15] + 1);
  EXPECT_GE(a.codes[0], 1000000);
}

TEST_F(Framework, UnregisteringTheCurrentHostFallsBackToTheNearestEarlierOne) {
  Recorder h1, h2, h3;
  kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&h1), false, 1);
  kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&h2), false, 2);
  kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&h3), false, 3);
  EXPECT_EQ(kvhost_current()->bgcolor, 3);
  kvhost_unregister(&Recorder::take, reinterpret_cast<intptr_t>(&h2));
  EXPECT_EQ(kvhost_current()->bgcolor, 3);
  kvhost_unregister(&Recorder::take, reinterpret_cast<intptr_t>(&h3));
  EXPECT_EQ(kvhost_current()->bgcolor, 1);
  // Registering again makes a host current without a second entry.
  kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&h3), true, 3);
  kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&h1), false, 1);
  EXPECT_EQ(kvhost_count(), 2);
  EXPECT_EQ(kvhost_current()->bgcolor, 1);
  // A control attaches to the current host and takes its background.
  kvControl c;
  c.attach();
  EXPECT_EQ(c.hostobj, reinterpret_cast<intptr_t>(&h1));
  EXPECT_EQ(c.transcolor, 1);
  // Only hosts that asked redraw when the display becomes live.
  kvpollevent();
  EXPECT_TRUE(h1.codes.empty());
  EXPECT_EQ(h3.codes, std::vector<int>{KV_HOST_UPDATEALL});
  // More hosts than the registry ever planned for are still taken.
  std::vector<Recorder> many(150);
  for (auto& m : many) kvhost_register(nullptr, &Recorder::take, reinterpret_cast<intptr_t>(&m), false, 7);
  EXPECT_EQ(kvhost_count(), 152);
}

TEST_F(Framework, RefreshMarksAreServedEvery200Milliseconds) {
  std::vector<Recorder> targets(30);
  for (int i = 0; i < 3; ++i) kvrefresh_mark(&Recorder::take, reinterpret_cast<intptr_t>(&targets[size_t(i)]));
  kvrefresh_mark(&Recorder::take, reinterpret_cast<intptr_t>(&targets[0]));  // marked once only
  EXPECT_EQ(kvrefresh_marked(), 3);
  kvrefresh_unmark(&Recorder::take, reinterpret_cast<intptr_t>(&targets[2]));
  advance_ms(190);
  events();
  EXPECT_TRUE(targets[0].codes.empty());
  advance_ms(10);
  events();
  EXPECT_EQ(targets[0].codes, std::vector<int>{KV_CHILD_REFRESH});
  EXPECT_EQ(targets[1].codes, std::vector<int>{KV_CHILD_REFRESH});
  EXPECT_TRUE(targets[2].codes.empty());
  EXPECT_EQ(kvrefresh_marked(), 0);
  // Beyond 25 marks a target is refreshed at once.
  for (auto& t : targets) t.codes.clear();
  for (auto& t : targets) kvrefresh_mark(&Recorder::take, reinterpret_cast<intptr_t>(&t));
  EXPECT_EQ(kvrefresh_marked(), kvrefresh_max_marks);
  EXPECT_EQ(targets[29].codes, std::vector<int>{KV_CHILD_REFRESH});
  EXPECT_TRUE(targets[0].codes.empty());
}

}  // namespace
