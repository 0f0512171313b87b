// The Cursors service of the x11 backend.
#pragma once

#include <X11/Xlib.h>

#include "toolkit/port/cursors.h"
#include "toolkit/port/x11/windows.h"

namespace kivo::port::x11 {

class X11Cursors : public Cursors {
 public:
  X11Cursors(::Display* connection, X11Windows& windows);
  ~X11Cursors() override;
  void set(PointerShape shape) override;

 private:
  static constexpr int kShapes = int(PointerShape::SizeVertical) + 1;
  ::Display* connection_;
  X11Windows& windows_;
  Cursor cursors_[kShapes] = {};
};

}  // namespace kivo::port::x11
