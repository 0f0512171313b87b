// The SyntheticInput service of the x11 backend (XTEST).
#pragma once

#include <X11/Xlib.h>

#include "toolkit/port/synthetic_input.h"

namespace kivo::port::x11 {

class X11SyntheticInput : public SyntheticInput {
 public:
  explicit X11SyntheticInput(::Display* connection);
  bool button(int button, bool down) override;
  bool move_pointer(int x, int y) override;
  bool available() const { return available_; }

 private:
  ::Display* connection_;
  bool available_ = false;
};

}  // namespace kivo::port::x11
