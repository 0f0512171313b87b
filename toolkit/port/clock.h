// Time: a monotonic clock, sleeping, and the periodic timer that drives the
// toolkit's 10 ms tick and the ticker's 1 ms frame clock.
#pragma once

#include <cstdint>

namespace kivo::port {

// Called on the timer's own thread (or, in virtual time, on the thread that
// advances the clock). It must only touch atomics.
using PeriodicCallback = void (*)(void* user);

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds and microseconds of a monotonic clock. The origin is the
  // start of the process; values never go backwards.
  virtual int64_t now_ms() = 0;
  virtual int64_t now_us() = 0;

  // Sleeps at least the given time. In virtual time the call advances the
  // clock by that much instead of blocking, so an idle loop still moves on.
  virtual void sleep_us(int64_t us) = 0;

  // Smallest period start_periodic supports, in milliseconds.
  virtual int min_period_ms() = 0;

  // Starts a periodic timer: callback(user) runs every period_ms on absolute
  // deadlines (start + k * period), so that a late firing does not shift the
  // ones after it. A period below min_period_ms() is raised to it. Returns a
  // handle > 0, or 0 if no timer could be started.
  virtual int start_periodic(int period_ms, PeriodicCallback callback, void* user) = 0;

  // Stops the timer; when the call returns the callback no longer runs and is
  // not running. Unknown handles are ignored.
  virtual void stop_periodic(int handle) = 0;

  // True while the clock is driven by hand (headless tests only).
  virtual bool is_virtual() = 0;
};

}  // namespace kivo::port
