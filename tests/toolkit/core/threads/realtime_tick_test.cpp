// The periodic tick in real time: the timer thread counts, the entry thread
// delivers. Runs under ThreadSanitizer too.
#include "support/test_support.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_testing.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"

namespace {

int g_ticks = 0;

TEST(RealTimeTick, TimerThreadTicksAreDeliveredOnTheEntryThread) {
  ASSERT_TRUE(kivo::port::use_backend("headless"));
  kvruntime_reset();
  auto& clock = kivo::port::backend().clock();
  ASSERT_FALSE(clock.is_virtual());
  g_ticks = 0;
  kvtick_start([](int) { ++g_ticks; }, 100);
  const int64_t start = clock.now_ms();
  while (clock.now_ms() - start < 300) {
    kvpump();
    clock.sleep_us(1000);
  }
  kvcleanup(0);  // the exit hook stops the timer thread
  const int64_t elapsed = clock.now_ms() - start;
  EXPECT_GE(g_ticks, int(elapsed / 10) - 5);
  EXPECT_LE(g_ticks, int(elapsed / 10) + 1);
  kvpump();  // a tick counted just before the stop may still be delivered
  const int after = g_ticks;
  clock.sleep_us(50000);
  kvpump();
  EXPECT_EQ(g_ticks, after) << "no ticks after the exit sequence stopped the timer";
}

TEST(RealTimeTick, TimedWaitInRealTime) {
  ASSERT_TRUE(kivo::port::use_backend("headless"));
  kvruntime_reset();
  auto& clock = kivo::port::backend().clock();
  const int64_t start = clock.now_ms();
  kvwait(0.1);
  const int64_t waited = clock.now_ms() - start;
  EXPECT_GE(waited, 100);
  EXPECT_LT(waited, 1000);
  kvcleanup(0);
}

}  // namespace
