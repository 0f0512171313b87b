// Monitors of the x11 backend: XRandR for the monitor list and refresh
// rates, the Present extension for the vertical blank.
//
// The frame clock calls wait_vblank, vblank_timing and scan_line from its
// own thread, so everything here runs on a connection of its own, under a
// lock; the main connection is never touched.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "toolkit/port/clock.h"
#include "toolkit/port/monitors.h"
#include "toolkit/port/x11/display.h"

namespace kivo::port::x11 {

// The monitors of a screen from XRandR (primary first); empty if RandR
// does not answer.
std::vector<MonitorInfo> randr_monitors(::Display* connection, ::Window root);

class X11Monitors : public Monitors {
 public:
  X11Monitors(X11Display& display, Clock& clock);
  ~X11Monitors() override;

  std::vector<MonitorInfo> list() override;
  bool wait_vblank(int index) override;
  bool vblank_timing(int index, VblankTiming& timing) override;
  int scan_line(int index) override;

  // True while the server delivers vertical-blank notifications.
  bool has_vblank_source();

 private:
  struct Output {
    MonitorInfo info;
    ::Window probe = None;   // a never-shown window on the monitor, for Present
    // The latest vertical blank seen, on the server's clock (µs) and counter.
    int64_t anchor_ust = 0;
    uint64_t anchor_msc = 0;
    int64_t period_us = 0;
    uint32_t pending_serial = 0;  // an anchor request on its way
    int64_t pending_since_us = 0;
  };

  void refresh_locked();
  Output* output_locked(int index);
  void drain_locked();
  void take_completion(uint32_t serial, uint64_t ust, uint64_t msc);
  bool request_and_wait_locked(Output& out);
  bool timing_locked(Output& out, VblankTiming& timing);
  static int64_t monotonic_us();

  X11Display& display_;
  Clock& clock_;
  std::mutex mutex_;
  ::Display* conn_ = nullptr;
  int present_opcode_ = 0;
  bool present_ = false;
  int failures_ = 0;           // notifications that never came, in a row
  uint32_t next_serial_ = 1;
  std::vector<Output> outputs_;
  int64_t listed_at_us_ = 0;

  static constexpr int kWaitMs = 100;           // longest wait for one retrace
  static constexpr int kMaxFailures = 3;        // then the server has no vertical blank for us
  static constexpr int64_t kAnchorAgeUs = 250000;  // re-anchor this often
  static constexpr int64_t kListAgeUs = 2000000;   // monitors re-read at most this often
};

}  // namespace kivo::port::x11
