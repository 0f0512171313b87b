// Monotonic clock and periodic timers on POSIX: one thread per timer,
// sleeping to absolute deadlines with clock_nanosleep.
#include <time.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

int64_t monotonic_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleep_until_ns(int64_t deadline) {
  timespec ts;
  ts.tv_sec = deadline / 1000000000;
  ts.tv_nsec = deadline % 1000000000;
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

struct PeriodicTimer {
  int64_t period_ns = 0;
  PeriodicCallback callback = nullptr;
  void* user = nullptr;
  std::atomic<bool> stop{false};
  std::thread thread;

  void run() {
    int64_t next = monotonic_ns() + period_ns;
    while (!stop.load(std::memory_order_acquire)) {
      sleep_until_ns(next);
      if (stop.load(std::memory_order_acquire)) break;
      callback(user);
      next += period_ns;
      // After a long stall (suspend, debugger) start afresh instead of
      // firing thousands of times in a row.
      int64_t now = monotonic_ns();
      if (now - next > 1000 * period_ns) next = now + period_ns;
    }
  }
};

class PosixClock : public Clock {
 public:
  PosixClock() : origin_ns_(monotonic_ns()) {}
  ~PosixClock() override {
    std::map<int, std::unique_ptr<PeriodicTimer>> timers;
    {
      std::lock_guard lock(mutex_);
      timers.swap(timers_);
    }
    for (auto& [handle, timer] : timers) halt(*timer);
  }

  int64_t now_ms() override { return (monotonic_ns() - origin_ns_) / 1000000; }
  int64_t now_us() override { return (monotonic_ns() - origin_ns_) / 1000; }

  void sleep_us(int64_t us) override {
    if (us <= 0) return;
    sleep_until_ns(monotonic_ns() + us * 1000);
  }

  int min_period_ms() override { return 1; }

  int start_periodic(int period_ms, PeriodicCallback callback, void* user) override {
    if (!callback) return 0;
    if (period_ms < 1) period_ms = 1;
    auto timer = std::make_unique<PeriodicTimer>();
    timer->period_ns = int64_t(period_ms) * 1000000;
    timer->callback = callback;
    timer->user = user;
    PeriodicTimer* raw = timer.get();
    std::lock_guard lock(mutex_);
    int handle = ++last_handle_;
    timers_[handle] = std::move(timer);
    raw->thread = std::thread([raw] { raw->run(); });
    return handle;
  }

  void stop_periodic(int handle) override {
    std::unique_ptr<PeriodicTimer> timer;
    {
      std::lock_guard lock(mutex_);
      auto it = timers_.find(handle);
      if (it == timers_.end()) return;
      timer = std::move(it->second);
      timers_.erase(it);
    }
    halt(*timer);
  }

  bool is_virtual() override { return false; }

 private:
  static void halt(PeriodicTimer& timer) {
    timer.stop.store(true, std::memory_order_release);
    if (timer.thread.joinable()) timer.thread.join();
  }

  const int64_t origin_ns_;
  std::mutex mutex_;
  std::map<int, std::unique_ptr<PeriodicTimer>> timers_;
  int last_handle_ = 0;
};

}  // namespace

std::unique_ptr<Clock> make_posix_clock() { return std::make_unique<PosixClock>(); }

}  // namespace kivo::port
