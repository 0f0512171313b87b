// The x11 backend: real windows on an X server through Xlib.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "toolkit/port/backend_list.h"
#include "toolkit/port/defaults.h"
#include "toolkit/port/posix/services.h"
#include "toolkit/port/x11/clipboard.h"
#include "toolkit/port/x11/cursors.h"
#include "toolkit/port/x11/desktop.h"
#include "toolkit/port/x11/display.h"
#include "toolkit/port/x11/monitors.h"
#include "toolkit/port/x11/surfaces.h"
#include "toolkit/port/x11/synthetic_input.h"
#include "toolkit/port/x11/tray.h"
#include "toolkit/port/x11/windows.h"
#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {
namespace {

class X11Backend : public CommonBackend {
 public:
  explicit X11Backend(::Display* connection) {
    auto display = std::make_unique<X11Display>(connection);
    X11Display& d = *display;
    display_ = std::move(display);
    clock_ = make_posix_clock();
    auto surfaces = std::make_unique<X11Surfaces>(connection);
    shared_memory_ = surfaces->shared_memory();
    surfaces_ = std::move(surfaces);
    auto windows = std::make_unique<X11Windows>(d);
    X11Windows& w = *windows;
    windows_ = std::move(windows);
    cursors_ = std::make_unique<X11Cursors>(connection, w);
    auto input = std::make_unique<X11SyntheticInput>(connection);
    synthetic_input_available_ = input->available();
    synthetic_input_ = std::move(input);
    auto monitors = std::make_unique<X11Monitors>(d, *clock_);
    monitors_x11_ = monitors.get();
    monitors_ = std::move(monitors);
    auto desktop = std::make_unique<X11Desktop>(d, w);
    desktop_x11_ = desktop.get();
    desktop_ = std::move(desktop);
    tray_ = std::make_unique<X11Tray>(d, w);
    clipboard_ = std::make_unique<X11Clipboard>(d);
    fill_defaults();
  }
  ~X11Backend() override {
    // Services go before the connection they use.
    tray_.reset();
    desktop_.reset();
    monitors_.reset();
    cursors_.reset();
    windows_.reset();
    surfaces_.reset();
  }
  const char* name() const override { return "x11"; }
  Capabilities capabilities() const override {
    Capabilities caps;
    caps.real_display = true;
    caps.vertical_blank = monitors_x11_->has_vblank_source();
    caps.scan_line = caps.vertical_blank;
    caps.tray = tray_->available();
    caps.work_area_reservation = desktop_x11_->can_reserve();
    caps.foreign_windows = desktop_x11_->lists_windows();
    caps.synthetic_input = synthetic_input_available_;
    caps.shared_memory = shared_memory_;
    return caps;
  }

 private:
  X11Monitors* monitors_x11_ = nullptr;
  X11Desktop* desktop_x11_ = nullptr;
  bool shared_memory_ = false;
  bool synthetic_input_available_ = false;
};

bool probe() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  // The frame clock's thread uses the backend too; Xlib must lock.
  XInitThreads();
  ::Display* connection = XOpenDisplay(nullptr);
  if (!connection) return false;
  XCloseDisplay(connection);
  return true;
}

std::unique_ptr<Backend> create() {
  XInitThreads();
  ::Display* connection = XOpenDisplay(nullptr);
  if (!connection) return nullptr;
  // Xlib's default handler ends the process on any protocol error (a window
  // of another program that vanished, a missing extension). Report and go on.
  XSetErrorHandler(handle_x_error);
  return std::make_unique<X11Backend>(connection);
}

}  // namespace
}  // namespace kivo::port::x11

namespace kivo::port {

const BackendEntry& x11_backend_entry() {
  static const BackendEntry entry{"x11", x11::probe, x11::create};
  return entry;
}

}  // namespace kivo::port
