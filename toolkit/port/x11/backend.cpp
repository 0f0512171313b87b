// The x11 backend: real windows on an X server through Xlib.
#include <X11/Xlib.h>

#include <cstdlib>

#include "toolkit/port/backend_list.h"
#include "toolkit/port/defaults.h"
#include "toolkit/port/x11/display.h"

namespace kivo::port::x11 {
namespace {

class X11Backend : public CommonBackend {
 public:
  explicit X11Backend(::Display* connection) {
    display_ = std::make_unique<X11Display>(connection);
    fill_defaults();
  }
  const char* name() const override { return "x11"; }
  Capabilities capabilities() const override {
    Capabilities caps;
    caps.real_display = true;
    return caps;
  }
};

bool probe() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  ::Display* connection = XOpenDisplay(nullptr);
  if (!connection) return false;
  XCloseDisplay(connection);
  return true;
}

std::unique_ptr<Backend> create() {
  ::Display* connection = XOpenDisplay(nullptr);
  if (!connection) return nullptr;
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
