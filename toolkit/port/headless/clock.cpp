#include "toolkit/port/headless/clock.h"

#include <algorithm>

#include "toolkit/port/posix/services.h"

namespace kivo::port::headless {

HeadlessClock::HeadlessClock() : real_(make_posix_clock()) {}

HeadlessClock::~HeadlessClock() = default;

int64_t HeadlessClock::now_us() {
  std::lock_guard lock(mutex_);
  return virtual_ ? virtual_now_us_ : real_->now_us();
}

bool HeadlessClock::is_virtual() {
  std::lock_guard lock(mutex_);
  return virtual_;
}

bool HeadlessClock::set_virtual(bool on) {
  std::lock_guard lock(mutex_);
  if (on == virtual_) return true;
  if (!virtual_timers_.empty() || !real_timers_.empty()) return false;
  if (on) virtual_now_us_ = real_->now_us();
  virtual_ = on;
  return true;
}

void HeadlessClock::sleep_us(int64_t us) {
  if (is_virtual()) {
    advance_us(us);
    return;
  }
  real_->sleep_us(us);
}

int HeadlessClock::start_periodic(int period_ms, PeriodicCallback callback, void* user) {
  if (!callback) return 0;
  if (period_ms < 1) period_ms = 1;
  std::lock_guard lock(mutex_);
  if (!virtual_) {
    int handle = real_->start_periodic(period_ms, callback, user);
    if (handle) real_timers_.push_back(handle);
    return handle;
  }
  int handle = ++last_handle_ + (1 << 24);  // apart from the real clock's handles
  int64_t period = int64_t(period_ms) * 1000;
  virtual_timers_.push_back({handle, period, virtual_now_us_ + period, callback, user});
  return handle;
}

void HeadlessClock::stop_periodic(int handle) {
  std::lock_guard lock(mutex_);
  auto real = std::find(real_timers_.begin(), real_timers_.end(), handle);
  if (real != real_timers_.end()) {
    real_timers_.erase(real);
    real_->stop_periodic(handle);
    return;
  }
  std::erase_if(virtual_timers_, [handle](const VirtualTimer& t) { return t.handle == handle; });
}

void HeadlessClock::advance_us(int64_t us) {
  std::lock_guard lock(mutex_);
  if (!virtual_ || us <= 0) return;
  const int64_t target = virtual_now_us_ + us;
  // Fire every deadline up to the target in time order; a callback may
  // start or stop timers (the mutex is recursive), so look the list up anew.
  for (;;) {
    auto next = std::min_element(virtual_timers_.begin(), virtual_timers_.end(),
                                 [](const VirtualTimer& a, const VirtualTimer& b) { return a.next_us < b.next_us; });
    if (next == virtual_timers_.end() || next->next_us > target) break;
    virtual_now_us_ = next->next_us;
    next->next_us += next->period_us;
    PeriodicCallback callback = next->callback;
    void* user = next->user;
    callback(user);
  }
  virtual_now_us_ = target;
}

}  // namespace kivo::port::headless
