// The x11 backend: real windows on an X server through Xlib.
#include <X11/Xlib.h>

#include <cstdio>
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

// Xlib's default handler ends the process on any protocol error (a window
// of another program that vanished, a missing extension). Report and go on.
int report_x_error(::Display* connection, XErrorEvent* error) {
  char text[256] = {};
  XGetErrorText(connection, error->error_code, text, sizeof text - 1);
  std::printf("x11: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code, error->minor_code,
              error->resourceid);
  return 0;
}

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
  XSetErrorHandler(report_x_error);
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
