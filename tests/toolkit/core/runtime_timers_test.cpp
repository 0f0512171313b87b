// The 10 ms tick, the timer table, kvTimer and timed waits, in virtual time.
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"

namespace {

class Timers : public kivo::test::HeadlessTest {
 protected:
  // Pumps once per virtual millisecond, like an application loop.
  void run_ms(int ms) {
    for (int i = 0; i < ms; ++i) {
      advance_ms(1);
      kvpump();
    }
  }
};

struct Firings {
  int64_t start = 0;
  std::vector<int64_t> at;
  int count = 0;
};
Firings g_firings;

intptr_t record(intptr_t, int code, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                intptr_t) {
  EXPECT_EQ(code, kvtimer_message);
  g_firings.at.push_back(kvmillis() - g_firings.start);
  ++g_firings.count;
  return 0;
}

intptr_t remove_self(intptr_t object, int, intptr_t key, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                     intptr_t, intptr_t) {
  ++g_firings.count;
  kvtimer_remove(object, key);
  return 0;
}

TEST_F(Timers, IntervalsAreMetInTenMillisecondStepsWithTheSurplusCarried) {
  g_firings = {};
  g_firings.start = kvmillis();
  static int object;
  ASSERT_GE(kvtimer_add(record, reinterpret_cast<intptr_t>(&object), 25, 0), 0);
  run_ms(105);
  EXPECT_EQ(g_firings.at, (std::vector<int64_t>{30, 50, 80, 100}));
}

TEST_F(Timers, LateTicksAreCaughtUpTenPerPump) {
  g_firings = {};
  static int object;
  kvtimer_add(record, reinterpret_cast<intptr_t>(&object), 10, 0);
  advance_ms(20000);  // twenty seconds without pumping
  EXPECT_EQ(kvtick_pending(), 2000u);
  kvpump();
  EXPECT_EQ(g_firings.count, 10);
  kvpump();
  kvpump();
  EXPECT_EQ(g_firings.count, 30);
}

TEST_F(Timers, PendingTicksAreCappedAtTenThousand) {
  g_firings = {};
  static int object;
  kvtimer_add(record, reinterpret_cast<intptr_t>(&object), 10, 0);
  advance_ms(150000);
  for (int i = 0; i < 1200; ++i) kvpump();
  EXPECT_EQ(g_firings.count, 10000);
}

TEST_F(Timers, ReAddingRearmsAndChangeKeepsElapsedTime) {
  g_firings = {};
  g_firings.start = kvmillis();
  static int object;
  const intptr_t obj = reinterpret_cast<intptr_t>(&object);
  kvtimer_add(record, obj, 50, 7);
  run_ms(40);
  kvtimer_add(record, obj, 50, 7);  // re-arm: elapsed back to 0
  run_ms(40);
  EXPECT_TRUE(g_firings.at.empty());
  kvtimer_change(20, obj, 7);  // 40 ms elapsed >= 20: fires on the next tick, twice
  run_ms(10);
  EXPECT_EQ(g_firings.at, (std::vector<int64_t>{90, 90}));
}

TEST_F(Timers, ACallbackMayRemoveItsOwnEntry) {
  g_firings = {};
  static int object;
  kvtimer_add(remove_self, reinterpret_cast<intptr_t>(&object), 1, 0);  // due ten times per tick
  run_ms(50);
  EXPECT_EQ(g_firings.count, 1);
}

TEST_F(Timers, TableHoldsAHundredEntries) {
  static int objects[101];
  for (int i = 0; i < 100; ++i) ASSERT_GE(kvtimer_add(record, reinterpret_cast<intptr_t>(&objects[i]), 10, 0), 0);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(kvtimer_add(record, reinterpret_cast<intptr_t>(&objects[100]), 10, 0), -1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "too many timers !\n");
  kvtimer_remove(reinterpret_cast<intptr_t>(&objects[3]), 0);
  EXPECT_EQ(kvtimer_add(record, reinterpret_cast<intptr_t>(&objects[100]), 10, 0), 3) << "the freed entry is reused";
}

TEST_F(Timers, ZeroIntervalIsTreatedAsOneMillisecond) {
  g_firings = {};
  static int object;
  ASSERT_GE(kvtimer_add(record, reinterpret_cast<intptr_t>(&object), 0, 0), 0);
  run_ms(10);
  EXPECT_EQ(g_firings.count, 10);
}

TEST_F(Timers, KvTimerPostsItsCodeUnlessAModalWaitRuns) {
  kvTimer timer(100);
  EXPECT_GE(timer.code, 1000000);
  run_ms(100);
  EXPECT_EQ(kvpollevent(), timer.code);
  EXPECT_EQ(kvpollevent(), 0);

  kvTimer other;  // not started
  kvpostevent(1);
  // While waiting for `other` (never fires) the timer's firings are lost, not queued.
  static int quitter;
  kvtimer_add(
      [](intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) -> intptr_t {
        kvpostevent(555);
        return 0;
      },
      reinterpret_cast<intptr_t>(&quitter), 350, 0);
  EXPECT_EQ(kvwaitfor(1, 555), 555);
  EXPECT_EQ(kvqueued(), 0) << "timer codes were not posted during the modal wait";
}

TEST_F(Timers, DestroyedKvTimerStopsFiring) {
  {
    kvTimer timer(20);
  }
  run_ms(100);
  EXPECT_EQ(kvpollevent(), 0);
}

TEST_F(Timers, TimedWaitKeepsPumpingAndReturnsAfterItsTime) {
  auto& clock = kivo::port::backend().clock();
  const int64_t start = clock.now_ms();
  kvwait_ms(250);
  const int64_t waited = clock.now_ms() - start;
  EXPECT_GE(waited, 250);
  EXPECT_LT(waited, 280);
  kvwait(0);
  EXPECT_EQ(clock.now_ms(), start + waited) << "a zero wait returns at once";
}

TEST_F(Timers, TickRatesOtherThanOneHundredUseCoarseMode) {
  static int ticks;
  ticks = 0;
  kvtick_start([](int) { ++ticks; }, 10);  // 100 ms period: every second 50 ms firing adds a tick
  EXPECT_TRUE(kvtick_coarse());
  run_ms(1000);
  EXPECT_GE(ticks, 9);
  EXPECT_LE(ticks, 10);
  kvtick_start([](int) { ++ticks; }, 100);
  EXPECT_FALSE(kvtick_coarse());
}

}  // namespace
