// The X connection shared by the x11 backend's services.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <vector>

#include "toolkit/port/display.h"
#include "toolkit/port/x11/atoms.h"

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
  bool capture_screen(int x, int y, int width, int height, uint32_t* pixels, int stride) override;

  // Services of the backend (windows, clipboard, tray, ...) see every event
  // first: a filter returns true when it consumed the event. Filters run in
  // the order they were added, inside dispatch_one().
  using EventFilter = std::function<bool(XEvent&)>;
  int add_event_filter(EventFilter filter);
  void remove_event_filter(int id);

  ::Display* connection() const { return connection_; }
  int screen() const { return screen_; }
  ::Window root() const { return RootWindow(connection_, screen_); }
  const Atoms& atoms() const { return *atoms_; }

  // The frame a window manager put around one of our windows
  // (_NET_FRAME_EXTENTS: left, right, top, bottom); frame_metrics() uses
  // the latest one it was told about.
  void note_frame_extents(int left, int right, int top, int bottom);

  // Waits up to timeout_ms for an event that `match` accepts and removes it
  // from the queue; every other event stays queued in order.
  bool wait_for_event(int timeout_ms, const std::function<bool(const XEvent&)>& match, XEvent& out);

 private:
  bool request_frame_extents();

  ::Display* connection_;
  int screen_;
  std::unique_ptr<Atoms> atoms_;
  struct Filter {
    int id;
    EventFilter filter;
  };
  std::vector<Filter> filters_;
  int last_filter_id_ = 0;
  bool extents_known_ = false;
  bool extents_asked_ = false;
  FrameMetrics extents_{};
};

}  // namespace kivo::port::x11
