// The X connection shared by the x11 backend's services.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <vector>

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

  // Services of the backend (windows, clipboard, tray, ...) see every event
  // first: a filter returns true when it consumed the event. Filters run in
  // the order they were added, inside dispatch_one().
  using EventFilter = std::function<bool(XEvent&)>;
  int add_event_filter(EventFilter filter);
  void remove_event_filter(int id);

  ::Display* connection() const { return connection_; }
  int screen() const { return screen_; }
  ::Window root() const { return RootWindow(connection_, screen_); }

 private:
  ::Display* connection_;
  int screen_;
  struct Filter {
    int id;
    EventFilter filter;
  };
  std::vector<Filter> filters_;
  int last_filter_id_ = 0;
};

}  // namespace kivo::port::x11
