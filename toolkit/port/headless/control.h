// Test controls of the headless backend: a virtual desktop in memory.
//
// Tests (and programs run without a display) reach these through
// kivo::port::headless::control(), which is null when another backend runs.
#pragma once

#include <cstdint>
#include <functional>

namespace kivo::port::headless {

struct ScreenConfig {
  int width = 1920;
  int height = 1080;
  int depth = 24;
};

class Control {
 public:
  virtual ~Control() = default;

  // Virtual time: the clock stands still until advanced by hand, periodic
  // timers fire exactly at their deadlines inside advance_us(), and sleeping
  // advances the clock instead of blocking. Switching is refused (false)
  // while periodic timers run.
  virtual bool set_virtual_time(bool on) = 0;
  virtual void advance_us(int64_t us) = 0;
  void advance_ms(int64_t ms) { advance_us(ms * 1000); }

  // Changes the screen; the work area becomes the whole screen again.
  virtual void set_screen(const ScreenConfig& config) = 0;

  // Queues a window-system event: `deliver` runs inside the next
  // Display::dispatch_one(), as a real event would.
  virtual void post(std::function<void()> deliver) = 0;
};

// The headless backend's controls, or nullptr if another backend runs.
Control* control();

}  // namespace kivo::port::headless
