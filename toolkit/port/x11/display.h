// The X connection shared by the x11 backend's services.
#pragma once

#include <X11/Xlib.h>

#include "toolkit/port/display.h"

namespace kivo::port::x11 {

class X11Display : public Display {
 public:
  // Takes ownership of an open connection.
  explicit X11Display(::Display* connection);
  ~X11Display() override;

  int screen_width() override;
  int screen_height() override;
  int depth() override;
  FrameMetrics frame_metrics() override;
  SystemColours system_colours() override;
  bool has_pending() override;
  bool wait_pending(int timeout_ms) override;
  bool dispatch_one() override;
  void flush() override;

  ::Display* connection() const { return connection_; }
  int screen() const { return screen_; }
  ::Window root() const { return RootWindow(connection_, screen_); }

 private:
  ::Display* connection_;
  int screen_;
};

}  // namespace kivo::port::x11
