#include "toolkit/port/headless/display.h"

#include <chrono>

#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {

int HeadlessDisplay::screen_width() { return desktop_->screen().width; }
int HeadlessDisplay::screen_height() { return desktop_->screen().height; }
int HeadlessDisplay::depth() { return desktop_->screen().depth; }
FrameMetrics HeadlessDisplay::frame_metrics() { return desktop_->screen().frame; }

bool HeadlessDisplay::capture_screen(int x, int y, int width, int height, uint32_t* pixels, int stride) {
  return desktop_->capture(x, y, width, height, pixels, stride);
}

bool HeadlessDisplay::has_pending() {
  std::lock_guard lock(mutex_);
  return !queue_.empty();
}

bool HeadlessDisplay::wait_pending(int timeout_ms) {
  if (clock_.is_virtual()) {
    if (has_pending()) return true;
    if (timeout_ms > 0) clock_.advance_us(int64_t(timeout_ms) * 1000);
    return has_pending();
  }
  std::unique_lock lock(mutex_);
  if (timeout_ms > 0)
    arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return !queue_.empty(); });
  return !queue_.empty();
}

bool HeadlessDisplay::dispatch_one() {
  std::function<void()> deliver;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    deliver = std::move(queue_.front());
    queue_.pop_front();
  }
  deliver();
  return true;
}

void HeadlessDisplay::post(std::function<void()> deliver) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(deliver));
  }
  arrived_.notify_all();
}

}  // namespace kivo::port::headless
