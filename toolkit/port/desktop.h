// The desktop around our windows: work area, reserved strips, other
// programs' top-level windows.
#pragma once

#include <string>
#include <vector>

#include "toolkit/port/geometry.h"

namespace kivo::port {

struct TopLevelWindow {
  WindowId id = 0;
  std::string title;     // UTF-8
  Rect rect;             // outer rectangle, screen coordinates
  bool minimised = false;
  bool visible = true;
  bool is_desktop = false;  // the desktop background window (file manager desktop)
  bool ours = false;        // created by this process
};

enum class Edge { Top, Bottom, Left, Right };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The work area of the primary monitor: the screen minus panels and strips
  // reserved by windows.
  virtual Rect work_area() = 0;

  // Reserves a strip of the screen along `edge` for our window, `thickness`
  // pixels deep and spanning [start, end) along the edge, so that maximised
  // windows stop short of it. Replaces an earlier reservation of the window.
  virtual bool reserve_strip(WindowId window, Edge edge, int thickness, int start, int end) = 0;
  virtual void release_strip(WindowId window) = 0;

  // Sets the work area directly where the window system allows it; false
  // where the work area is derived from reservations (X11 window managers).
  virtual bool set_work_area(const Rect& area) = 0;

  // Top-level windows in stacking order, topmost first.
  virtual std::vector<TopLevelWindow> top_levels() = 0;

  // Moves and sizes another program's window (outer rectangle).
  virtual bool move_foreign(WindowId window, const Rect& rect) = 0;

  // The top-level window visible at a screen point, 0 if none.
  virtual WindowId window_at(int x, int y) = 0;

  // Brings a window to the front and gives it the focus.
  virtual bool bring_to_front(WindowId window) = 0;

  // The window that has the keyboard focus now, 0 if unknown.
  virtual WindowId foreground() = 0;

  // Current pointer position on the screen.
  virtual bool pointer_position(int& x, int& y) = 0;
};

}  // namespace kivo::port
