// The headless clock: real time by default, virtual time on request.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "toolkit/port/clock.h"

namespace kivo::port::headless {

class HeadlessClock : public Clock {
 public:
  HeadlessClock();
  ~HeadlessClock() override;

  int64_t now_ms() override { return now_us() / 1000; }
  int64_t now_us() override;
  void sleep_us(int64_t us) override;
  int min_period_ms() override { return 1; }
  int start_periodic(int period_ms, PeriodicCallback callback, void* user) override;
  void stop_periodic(int handle) override;
  bool is_virtual() override;

  bool set_virtual(bool on);
  void advance_us(int64_t us);

 private:
  struct VirtualTimer {
    int handle;
    int64_t period_us;
    int64_t next_us;
    PeriodicCallback callback;
    void* user;
  };

  std::unique_ptr<Clock> real_;
  std::recursive_mutex mutex_;
  bool virtual_ = false;
  int64_t virtual_now_us_ = 0;
  std::vector<VirtualTimer> virtual_timers_;
  std::vector<int> real_timers_;
  int last_handle_ = 0;
};

}  // namespace kivo::port::headless
