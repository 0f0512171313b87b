#include "toolkit/port/x11/display.h"

#include <poll.h>

namespace kivo::port::x11 {

X11Display::X11Display(::Display* connection)
    : connection_(connection), screen_(DefaultScreen(connection)) {}

X11Display::~X11Display() { XCloseDisplay(connection_); }

int X11Display::screen_width() { return DisplayWidth(connection_, screen_); }
int X11Display::screen_height() { return DisplayHeight(connection_, screen_); }
int X11Display::depth() { return DefaultDepth(connection_, screen_); }

FrameMetrics X11Display::frame_metrics() {
  // Window managers draw their own frames; these are typical sizes used
  // only where the toolkit must guess a frame before the window exists.
  return {4, 22};
}

SystemColours X11Display::system_colours() { return {}; }

bool X11Display::has_pending() { return XPending(connection_) > 0; }

bool X11Display::wait_pending(int timeout_ms) {
  if (XPending(connection_) > 0) return true;
  pollfd fd{ConnectionNumber(connection_), POLLIN, 0};
  if (poll(&fd, 1, timeout_ms < 0 ? 0 : timeout_ms) <= 0) return false;
  return XPending(connection_) > 0;
}

bool X11Display::dispatch_one() {
  if (XPending(connection_) <= 0) return false;
  XEvent event;
  XNextEvent(connection_, &event);
  // Copy the list: a filter may add or remove filters while it runs.
  std::vector<Filter> filters = filters_;
  for (Filter& f : filters)
    if (f.filter(event)) break;
  return true;
}

int X11Display::add_event_filter(EventFilter filter) {
  filters_.push_back({++last_filter_id_, std::move(filter)});
  return last_filter_id_;
}

void X11Display::remove_event_filter(int id) {
  std::erase_if(filters_, [id](const Filter& f) { return f.id == id; });
}

void X11Display::flush() { XFlush(connection_); }

}  // namespace kivo::port::x11
