// The Desktop service of the x11 backend: the work area, struts, and other
// programs' top-level windows through EWMH.
#pragma once

#include <X11/Xlib.h>

#include "toolkit/port/desktop.h"
#include "toolkit/port/x11/display.h"
#include "toolkit/port/x11/windows.h"

namespace kivo::port::x11 {

class X11Desktop : public Desktop {
 public:
  X11Desktop(X11Display& display, X11Windows& windows);

  Rect work_area() override;
  bool reserve_strip(WindowId window, Edge edge, int thickness, int start, int end) override;
  void release_strip(WindowId window) override;
  bool set_work_area(const Rect& area) override;
  std::vector<TopLevelWindow> top_levels() override;
  bool move_foreign(WindowId window, const Rect& rect) override;
  WindowId window_at(int x, int y) override;
  bool bring_to_front(WindowId window) override;
  WindowId foreground() override;
  bool pointer_position(int& x, int& y) override;

  // The window manager derives the work area from struts.
  bool can_reserve();
  // The window manager lists the managed windows.
  bool lists_windows();

 private:
  // The managed window inside a child of the root window (the frame), or
  // the child itself when nothing inside is managed.
  ::Window client_of(::Window frame);
  bool frame_extents(::Window window, int extents[4]);
  Rect primary_bounds();

  X11Display& display_;
  X11Windows& windows_;
  ::Display* dpy_;
  const Atoms& atoms_;
};

}  // namespace kivo::port::x11
