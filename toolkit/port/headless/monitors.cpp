// The headless Monitors service: the configured monitors and a vertical
// blank simulated on the backend's clock. Retraces fall on whole multiples
// of the refresh period from the clock's origin, so in virtual time a test
// knows exactly when each one happens.
#include <cmath>

#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/services.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

class HeadlessMonitors : public Monitors {
 public:
  HeadlessMonitors(VirtualDesktop& desktop, HeadlessClock& clock) : d_(desktop), clock_(clock) {}

  std::vector<MonitorInfo> list() override {
    std::vector<MonitorInfo> out;
    bool first = true;
    for (const MonitorConfig& m : d_.monitors()) {
      MonitorInfo info;
      info.name = m.name;
      info.bounds = m.bounds;
      info.refresh_hz = m.refresh_hz;
      info.visible_lines = m.bounds.height;
      info.total_lines = m.total_lines;
      info.primary = first;
      first = false;
      out.push_back(info);
    }
    return out;
  }

  bool wait_vblank(int index) override {
    const int64_t period = period_us(index);
    if (period <= 0) return false;
    const int64_t now = clock_.now_us();
    clock_.sleep_us((now / period + 1) * period - now);
    return true;
  }

  bool vblank_timing(int index, VblankTiming& timing) override {
    const int64_t period = period_us(index);
    if (period <= 0) return false;
    timing.period_us = period;
    timing.last_vblank_us = clock_.now_us() / period * period;
    return true;
  }

  int scan_line(int index) override {
    const int64_t period = period_us(index);
    if (period <= 0) return -1;
    const auto monitors = d_.monitors();
    const int64_t into = clock_.now_us() % period;
    return int(into * monitors[size_t(index)].total_lines / period);
  }

 private:
  // The refresh period of a monitor, 0 when it has no vertical blank.
  int64_t period_us(int index) {
    if (!d_.screen().vertical_blank) return 0;
    const auto monitors = d_.monitors();
    if (index < 0 || size_t(index) >= monitors.size()) return 0;
    const double hz = monitors[size_t(index)].refresh_hz;
    if (!(hz > 0)) return 0;
    return std::llround(1e6 / hz);
  }

  VirtualDesktop& d_;
  HeadlessClock& clock_;
};

}  // namespace

std::unique_ptr<Monitors> make_monitors(VirtualDesktop& desktop, HeadlessClock& clock) {
  return std::make_unique<HeadlessMonitors>(desktop, clock);
}

}  // namespace kivo::port::headless
