#include <atomic>
#include <vector>

#include "support/test_support.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/posix/services.h"

namespace {

using kivo::port::backend;

class VirtualClockTest : public kivo::test::HeadlessTest {};

struct Recorder {
  kivo::port::Clock* clock;
  std::vector<int64_t> fired_ms;
  static void on_fire(void* user) {
    auto* self = static_cast<Recorder*>(user);
    self->fired_ms.push_back(self->clock->now_ms());
  }
};

TEST_F(VirtualClockTest, PeriodicTimerFiresExactlyAtItsDeadlines) {
  auto& clock = backend().clock();
  ASSERT_TRUE(clock.is_virtual());
  const int64_t start = clock.now_ms();
  Recorder recorder{&clock, {}};
  int handle = clock.start_periodic(7, Recorder::on_fire, &recorder);
  ASSERT_GT(handle, 0);
  advance_ms(30);
  clock.stop_periodic(handle);
  advance_ms(30);
  std::vector<int64_t> expected;
  for (int k = 1; k <= 4; ++k) expected.push_back(start + 7 * k);
  EXPECT_EQ(recorder.fired_ms, expected);
  EXPECT_EQ(clock.now_ms(), start + 60);
}

TEST_F(VirtualClockTest, SleepingAdvancesVirtualTime) {
  auto& clock = backend().clock();
  const int64_t start = clock.now_us();
  clock.sleep_us(2500);
  EXPECT_EQ(clock.now_us(), start + 2500);
}

TEST_F(VirtualClockTest, SwitchingIsRefusedWhileTimersRun) {
  auto& clock = backend().clock();
  Recorder recorder{&clock, {}};
  int handle = clock.start_periodic(5, Recorder::on_fire, &recorder);
  EXPECT_FALSE(kivo::port::headless::control()->set_virtual_time(false));
  clock.stop_periodic(handle);
  EXPECT_TRUE(kivo::port::headless::control()->set_virtual_time(false));
}

TEST(RealClock, PeriodicTimerKeepsAbsoluteDeadlines) {
  auto clock = kivo::port::make_posix_clock();
  std::atomic<int> count{0};
  auto bump = [](void* user) { static_cast<std::atomic<int>*>(user)->fetch_add(1); };
  const int64_t start = clock->now_ms();
  int handle = clock->start_periodic(2, bump, &count);
  ASSERT_GT(handle, 0);
  clock->sleep_us(200000);
  clock->stop_periodic(handle);
  const int64_t elapsed = clock->now_ms() - start;
  const int fired = count.load();
  // Absolute deadlines: the count follows elapsed time, not a drifting sum of sleeps.
  EXPECT_GE(fired, elapsed / 2 - 10);
  EXPECT_LE(fired, elapsed / 2 + 1);
  int after = count.load();
  clock->sleep_us(20000);
  EXPECT_EQ(count.load(), after) << "a stopped timer must not fire";
}

TEST(BackendChoice, HeadlessCanAlwaysBeChosenAndUnknownNamesAreRefused) {
  EXPECT_TRUE(kivo::port::use_backend("headless"));
  EXPECT_STREQ(backend().name(), "headless");
  EXPECT_FALSE(kivo::port::use_backend("no-such-backend"));
  EXPECT_STREQ(backend().name(), "headless");
}

}  // namespace
