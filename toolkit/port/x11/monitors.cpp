#include "toolkit/port/x11/monitors.h"

#include <X11/extensions/Xpresent.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace kivo::port::x11 {

std::vector<MonitorInfo> randr_monitors(::Display* connection, ::Window root) {
  std::vector<MonitorInfo> out;
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(connection, &event_base, &error_base) || !XRRQueryVersion(connection, &major, &minor) ||
      major < 1 || (major == 1 && minor < 3))
    return out;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(connection, root);
  if (!resources) return out;
  const RROutput primary = XRRGetOutputPrimary(connection, root);
  std::set<RRCrtc> seen;  // clones share a CRTC: one monitor
  for (int i = 0; i < resources->noutput; ++i) {
    XRROutputInfo* output = XRRGetOutputInfo(connection, resources, resources->outputs[i]);
    if (!output) continue;
    if (output->connection == RR_Connected && output->crtc && !seen.count(output->crtc)) {
      XRRCrtcInfo* crtc = XRRGetCrtcInfo(connection, resources, output->crtc);
      if (crtc && crtc->mode != None && crtc->width > 0 && crtc->height > 0) {
        seen.insert(output->crtc);
        MonitorInfo info;
        info.name.assign(output->name, size_t(std::max(0, output->nameLen)));
        info.bounds = {crtc->x, crtc->y, int(crtc->width), int(crtc->height)};
        info.refresh_hz = 0;
        info.primary = resources->outputs[i] == primary;
        for (int m = 0; m < resources->nmode; ++m) {
          const XRRModeInfo& mode = resources->modes[m];
          if (mode.id != crtc->mode) continue;
          info.visible_lines = int(mode.height);
          info.total_lines = mode.vTotal > mode.height ? int(mode.vTotal) : 0;
          if (mode.dotClock && mode.hTotal && mode.vTotal) {
            double hz = double(mode.dotClock) / (double(mode.hTotal) * double(mode.vTotal));
            if (mode.modeFlags & RR_Interlace) hz *= 2;
            if (mode.modeFlags & RR_DoubleScan) hz /= 2;
            info.refresh_hz = std::round(hz * 100) / 100;
          }
        }
        if (!info.visible_lines) info.visible_lines = info.bounds.height;
        out.push_back(info);
      }
      if (crtc) XRRFreeCrtcInfo(crtc);
    }
    XRRFreeOutputInfo(output);
  }
  XRRFreeScreenResources(resources);
  std::stable_partition(out.begin(), out.end(), [](const MonitorInfo& m) { return m.primary; });
  if (!out.empty()) out.front().primary = true;
  return out;
}

X11Monitors::X11Monitors(X11Display& display, Clock& clock) : display_(display), clock_(clock) {
  conn_ = XOpenDisplay(DisplayString(display.connection()));
  if (!conn_) return;
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  present_ = XPresentQueryExtension(conn_, &present_opcode_, &event_base, &error_base) &&
             XPresentQueryVersion(conn_, &major, &minor);
  std::lock_guard lock(mutex_);
  refresh_locked();
}

X11Monitors::~X11Monitors() {
  if (conn_) XCloseDisplay(conn_);  // the probe windows go with the connection
}

int64_t X11Monitors::monotonic_us() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void X11Monitors::refresh_locked() {
  listed_at_us_ = monotonic_us();
  std::vector<MonitorInfo> found;
  if (conn_) found = randr_monitors(conn_, DefaultRootWindow(conn_));
  if (found.empty()) {
    MonitorInfo info;
    info.name = "screen";
    ::Display* d = conn_ ? conn_ : display_.connection();
    info.bounds = {0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
    info.refresh_hz = 60;
    info.visible_lines = info.bounds.height;
    info.primary = true;
    found.push_back(info);
  }
  // Keep what is known about monitors that stay where they were.
  std::vector<Output> next;
  for (const MonitorInfo& info : found) {
    Output out;
    for (Output& old : outputs_) {
      if (old.info.bounds == info.bounds && old.info.name == info.name) {
        out = old;
        old.probe = None;
      }
    }
    const bool rate_changed = out.info.refresh_hz != info.refresh_hz;
    out.info = info;
    if (rate_changed) out.period_us = 0;
    if (!out.period_us)
      out.period_us = info.refresh_hz > 0 ? std::llround(1e6 / info.refresh_hz) : 16667;
    if (present_ && out.probe == None) {
      XSetWindowAttributes attributes{};
      attributes.override_redirect = True;
      out.probe = XCreateWindow(conn_, DefaultRootWindow(conn_), info.bounds.x, info.bounds.y, 1, 1, 0,
                                CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
      XPresentSelectInput(conn_, out.probe, PresentCompleteNotifyMask);
    }
    next.push_back(out);
  }
  for (Output& old : outputs_)
    if (old.probe != None) XDestroyWindow(conn_, old.probe);
  outputs_ = std::move(next);
  if (conn_) XFlush(conn_);
}

std::vector<MonitorInfo> X11Monitors::list() {
  std::lock_guard lock(mutex_);
  refresh_locked();
  std::vector<MonitorInfo> out;
  for (const Output& o : outputs_) out.push_back(o.info);
  return out;
}

X11Monitors::Output* X11Monitors::output_locked(int index) {
  if (monotonic_us() - listed_at_us_ > kListAgeUs) refresh_locked();
  if (index < 0 || size_t(index) >= outputs_.size()) return nullptr;
  return &outputs_[size_t(index)];
}

bool X11Monitors::has_vblank_source() {
  std::lock_guard lock(mutex_);
  return present_ && failures_ < kMaxFailures;
}

void X11Monitors::take_completion(uint32_t serial, uint64_t ust, uint64_t msc) {
  for (Output& o : outputs_) {
    if (o.pending_serial != serial) continue;
    o.pending_serial = 0;
    // The period from two retraces some frames apart, when they make sense.
    if (o.anchor_ust && msc > o.anchor_msc && int64_t(ust) > o.anchor_ust) {
      const int64_t measured = (int64_t(ust) - o.anchor_ust) / int64_t(msc - o.anchor_msc);
      if (measured > 2000 && measured < 100000) o.period_us = (o.period_us * 3 + measured) / 4;
    }
    o.anchor_ust = int64_t(ust);
    o.anchor_msc = msc;
    failures_ = 0;
  }
}

// Reads every Present event that has arrived, without waiting.
void X11Monitors::drain_locked() {
  while (XPending(conn_) > 0) {
    XEvent event;
    XNextEvent(conn_, &event);
    if (event.type != GenericEvent || event.xcookie.extension != present_opcode_) continue;
    if (!XGetEventData(conn_, &event.xcookie)) continue;
    if (event.xcookie.evtype == PresentCompleteNotify) {
      auto* complete = static_cast<XPresentCompleteNotifyEvent*>(event.xcookie.data);
      take_completion(complete->serial_number, complete->ust, complete->msc);
    }
    XFreeEventData(conn_, &event.xcookie);
  }
}

// Asks for a notification at the next retrace and waits for it.
bool X11Monitors::request_and_wait_locked(Output& out) {
  drain_locked();
  const uint32_t serial = next_serial_++;
  out.pending_serial = serial;
  out.pending_since_us = monotonic_us();
  XPresentNotifyMSC(conn_, out.probe, serial, 0, 1, 0);
  XFlush(conn_);
  const int64_t deadline = monotonic_us() + int64_t(kWaitMs) * 1000;
  while (out.pending_serial == serial) {
    const int64_t left = deadline - monotonic_us();
    if (left <= 0) {
      out.pending_serial = 0;
      ++failures_;
      return false;
    }
    pollfd fd{ConnectionNumber(conn_), POLLIN, 0};
    poll(&fd, 1, int(std::max<int64_t>(1, left / 1000)));
    drain_locked();
  }
  return true;
}

bool X11Monitors::wait_vblank(int index) {
  std::lock_guard lock(mutex_);
  if (!present_ || failures_ >= kMaxFailures) return false;
  Output* out = output_locked(index);
  if (!out || out->probe == None) return false;
  return request_and_wait_locked(*out);
}

// The last retrace: extrapolated from a recent one by whole periods; a new
// one is asked for in the background every quarter second.
bool X11Monitors::timing_locked(Output& out, VblankTiming& timing) {
  if (!present_ || failures_ >= kMaxFailures || out.probe == None) return false;
  drain_locked();
  const int64_t now = monotonic_us();
  if (out.pending_serial && now - out.pending_since_us > int64_t(kWaitMs) * 1000) {
    out.pending_serial = 0;
    ++failures_;
    if (failures_ >= kMaxFailures) return false;
  }
  if (!out.anchor_ust || now - out.anchor_ust > 4 * kAnchorAgeUs) {
    if (!request_and_wait_locked(out)) return false;
  } else if (!out.pending_serial && now - out.anchor_ust > kAnchorAgeUs) {
    out.pending_serial = next_serial_++;
    out.pending_since_us = now;
    XPresentNotifyMSC(conn_, out.probe, out.pending_serial, 0, 1, 0);
    XFlush(conn_);
  }
  const int64_t since = monotonic_us() - out.anchor_ust;
  // A server on another machine has another clock: its times mean nothing here.
  if (since < -1000000 || since > 5000000 || out.period_us <= 0) return false;
  const int64_t last_server_us = out.anchor_ust + std::max<int64_t>(0, since) / out.period_us * out.period_us;
  timing.period_us = out.period_us;
  timing.last_vblank_us = clock_.now_us() - (monotonic_us() - last_server_us);
  return true;
}

bool X11Monitors::vblank_timing(int index, VblankTiming& timing) {
  std::lock_guard lock(mutex_);
  Output* out = output_locked(index);
  return out && timing_locked(*out, timing);
}

int X11Monitors::scan_line(int index) {
  std::lock_guard lock(mutex_);
  Output* out = output_locked(index);
  VblankTiming timing;
  if (!out || !timing_locked(*out, timing)) return -1;
  // Lines including the blanking interval; modes that do not say get the
  // usual 4 % of blanking.
  int total = out->info.total_lines;
  if (total <= out->info.visible_lines) total = out->info.visible_lines + out->info.visible_lines / 24;
  if (total <= 0) return -1;
  const int64_t into = std::clamp<int64_t>(clock_.now_us() - timing.last_vblank_us, 0, timing.period_us - 1);
  return int(into * total / timing.period_us);
}

}  // namespace kivo::port::x11
