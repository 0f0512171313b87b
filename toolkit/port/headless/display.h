// The headless connection: a queue of pending window-system events that
// Display::dispatch_one() runs one by one.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "toolkit/port/display.h"

namespace kivo::port::headless {

class HeadlessClock;
class VirtualDesktop;

class HeadlessDisplay : public Display {
 public:
  explicit HeadlessDisplay(HeadlessClock& clock) : clock_(clock) {}

  // The desktop answers the screen queries; set once by the backend.
  void attach(VirtualDesktop* desktop) { desktop_ = desktop; }

  int screen_width() override;
  int screen_height() override;
  int depth() override;
  FrameMetrics frame_metrics() override;
  SystemColours system_colours() override { return {}; }
  bool capture_screen(int x, int y, int width, int height, uint32_t* pixels, int stride) override;

  bool has_pending() override;
  bool wait_pending(int timeout_ms) override;
  bool dispatch_one() override;
  void flush() override {}

  // Queues an event; may be called from any thread.
  void post(std::function<void()> deliver);

 private:
  HeadlessClock& clock_;
  VirtualDesktop* desktop_ = nullptr;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace kivo::port::headless
