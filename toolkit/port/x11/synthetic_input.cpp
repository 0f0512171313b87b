// Synthetic pointer input through the XTEST extension.
#include "toolkit/port/x11/synthetic_input.h"

#include <X11/extensions/XTest.h>

namespace kivo::port::x11 {

X11SyntheticInput::X11SyntheticInput(::Display* connection) : connection_(connection) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  available_ = XTestQueryExtension(connection_, &event_base, &error_base, &major, &minor);
}

bool X11SyntheticInput::button(int button, bool down) {
  if (!available_ || button < 1 || button > 3) return false;
  const bool ok = XTestFakeButtonEvent(connection_, unsigned(button), down ? True : False, CurrentTime);
  XFlush(connection_);
  return ok;
}

bool X11SyntheticInput::move_pointer(int x, int y) {
  if (!available_) return false;
  // Screen -1: the screen the pointer is on.
  const bool ok = XTestFakeMotionEvent(connection_, -1, x, y, CurrentTime);
  XFlush(connection_);
  return ok;
}

}  // namespace kivo::port::x11
