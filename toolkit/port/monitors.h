// Monitors: the display-device list, refresh rates and the vertical blank
// that the ticker's frame clock follows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/port/geometry.h"

namespace kivo::port {

struct MonitorInfo {
  std::string name;        // the output's name, e.g. "HDMI-1"
  Rect bounds;             // screen coordinates
  double refresh_hz = 60;  // 0 if unknown
  int visible_lines = 0;   // lines of the current mode (height of the mode)
  int total_lines = 0;     // lines including the blanking interval, 0 if unknown
  bool primary = false;
};

// Timing of the most recent vertical blank of a monitor.
struct VblankTiming {
  int64_t last_vblank_us = 0;  // on the Clock's microsecond scale
  int64_t period_us = 0;       // length of one refresh period
};

class Monitors {
 public:
  virtual ~Monitors() = default;

  // The monitors, primary first. Never empty: without any information the
  // backend reports one monitor of the screen's size at 60 Hz.
  virtual std::vector<MonitorInfo> list() = 0;

  // Blocks until the next vertical blank of monitor `index` has ended.
  // Returns false at once if the backend has no vertical-blank source; the
  // caller then paces frames by the clock (timed mode).
  virtual bool wait_vblank(int index) = 0;

  // Fills the last vertical blank's time; false if not available.
  virtual bool vblank_timing(int index, VblankTiming& timing) = 0;

  // Estimated scan line of the monitor now, or -1 if not available.
  virtual int scan_line(int index) = 0;
};

}  // namespace kivo::port
