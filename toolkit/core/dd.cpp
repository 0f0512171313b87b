// The display-device list, waiting for the vertical blank, and the
// drawing-suspended flag of the window layer.
#include <cmath>

#include "toolkit/core/llgui_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/monitors.h"

namespace kivo::core::llgui {

State& state() {
  static State s;
  return s;
}

std::atomic<bool>& drawing_suspended_flag() {
  static std::atomic<bool> flag{false};
  return flag;
}

}  // namespace kivo::core::llgui

namespace kivo::core {

void reset_llgui() {
  llgui::State& s = llgui::state();
  s.table = {};
  s.main_window = nullptr;
  s.modifiers = 0;
  s.dropped_file.clear();
  s.in_paint = false;
  s.painting = nullptr;
  s.devices.clear();
  s.devices_known = false;
  s.icon.clear();
  s.icon_width = s.icon_height = 0;
  s.desktop_window = 0;
  s.last_found = 0;
  llgui::drawing_suspended_flag() = false;
  llgui::current_dc() = nullptr;
}

}  // namespace kivo::core

using namespace kivo::core::llgui;

int kvdd_enumerate() {
  State& s = state();
  s.devices.clear();
  for (const auto& monitor : kivo::port::backend().monitors().list()) {
    if (int(s.devices.size()) >= kvdd_max_devices) break;
    std::string name = monitor.name;
    if (name.size() > 99) name.resize(99);
    s.devices.push_back(name);
  }
  s.devices_known = true;
  return int(s.devices.size());
}

const char* kvdd_devicename(int i) {
  State& s = state();
  if (!s.devices_known) kvdd_enumerate();
  if (i < 0 || i >= int(s.devices.size())) return "";
  return s.devices[size_t(i)].c_str();
}

void kvdd_waitretrace() {
  auto& monitors = kivo::port::backend().monitors();
  if (monitors.wait_vblank(0)) return;
  // No vertical blank to follow: wait for the next refresh period of the
  // primary monitor on the clock, so that callers still pace themselves.
  double hz = 60;
  const auto list = monitors.list();
  if (!list.empty() && list.front().refresh_hz >= 1) hz = list.front().refresh_hz;
  const int64_t period = std::llround(1e6 / hz);
  auto& clock = kivo::port::backend().clock();
  clock.sleep_us(period - clock.now_us() % period);
}

void kvdrawing_suspend() { drawing_suspended_flag() = true; }
void kvdrawing_resume() { drawing_suspended_flag() = false; }
bool kvdrawing_suspended() { return drawing_suspended_flag(); }
