// The headless backend: a virtual desktop in memory. It always starts, so
// programs run (and tests drive them) without any display.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "toolkit/port/backend_list.h"
#include "toolkit/port/defaults.h"
#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/control.h"

namespace kivo::port::headless {
namespace {

class HeadlessBackend;
HeadlessBackend* g_current = nullptr;

class HeadlessDisplay : public Display {
 public:
  explicit HeadlessDisplay(HeadlessClock& clock) : clock_(clock) {}

  int screen_width() override { return screen_.width; }
  int screen_height() override { return screen_.height; }
  int depth() override { return screen_.depth; }
  FrameMetrics frame_metrics() override { return {4, 19}; }
  SystemColours system_colours() override { return {}; }

  bool has_pending() override {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
  }

  bool wait_pending(int timeout_ms) override {
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

  bool dispatch_one() override {
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

  void flush() override {}

  void post(std::function<void()> deliver) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(deliver));
    }
    arrived_.notify_all();
  }

  void set_screen(const ScreenConfig& config) { screen_ = config; }

 private:
  HeadlessClock& clock_;
  ScreenConfig screen_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> queue_;
};

class HeadlessBackend : public CommonBackend, public Control {
 public:
  HeadlessBackend() {
    auto clock = std::make_unique<HeadlessClock>();
    clock_raw_ = clock.get();
    auto display = std::make_unique<HeadlessDisplay>(*clock_raw_);
    display_raw_ = display.get();
    clock_ = std::move(clock);
    display_ = std::move(display);
    fill_defaults();
    g_current = this;
  }
  ~HeadlessBackend() override {
    if (g_current == this) g_current = nullptr;
  }

  const char* name() const override { return "headless"; }
  Capabilities capabilities() const override {
    Capabilities caps;
    caps.virtual_time = true;
    return caps;
  }

  bool set_virtual_time(bool on) override { return clock_raw_->set_virtual(on); }
  void advance_us(int64_t us) override { clock_raw_->advance_us(us); }
  void set_screen(const ScreenConfig& config) override { display_raw_->set_screen(config); }
  void post(std::function<void()> deliver) override { display_raw_->post(std::move(deliver)); }

 private:
  HeadlessClock* clock_raw_ = nullptr;
  HeadlessDisplay* display_raw_ = nullptr;
};

bool probe() { return true; }
std::unique_ptr<Backend> create() { return std::make_unique<HeadlessBackend>(); }

}  // namespace

Control* control() {
  backend();  // make sure a backend was chosen
  return g_current;
}

}  // namespace kivo::port::headless

namespace kivo::port {

const BackendEntry& headless_backend_entry() {
  static const BackendEntry entry{"headless", headless::probe, headless::create};
  return entry;
}

}  // namespace kivo::port
