#include "toolkit/port/x11/display.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>

#include "toolkit/port/x11/pixels.h"
#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {

X11Display::X11Display(::Display* connection)
    : connection_(connection), screen_(DefaultScreen(connection)), atoms_(std::make_unique<Atoms>(connection)) {
  // Our windows and the tray watch root properties (active window, work area).
  XWindowAttributes attributes{};
  XGetWindowAttributes(connection_, root(), &attributes);
  XSelectInput(connection_, root(), attributes.your_event_mask | PropertyChangeMask | StructureNotifyMask);
}

X11Display::~X11Display() { XCloseDisplay(connection_); }

int X11Display::screen_width() { return DisplayWidth(connection_, screen_); }
int X11Display::screen_height() { return DisplayHeight(connection_, screen_); }
int X11Display::depth() { return DefaultDepth(connection_, screen_); }

void X11Display::note_frame_extents(int left, int right, int top, int bottom) {
  (void)right, (void)bottom;
  extents_.border = std::max(0, left);
  extents_.caption = std::max(0, top - left);
  extents_known_ = true;
}

FrameMetrics X11Display::frame_metrics() {
  if (extents_known_) return extents_;
  // Without a window manager nobody draws frames.
  std::vector<::Window> check;
  if (!get_windows(connection_, root(), atoms_->_NET_SUPPORTING_WM_CHECK, check) || check.empty()) return {0, 0};
  if (!extents_asked_) {
    extents_asked_ = true;
    if (request_frame_extents()) return extents_;
  }
  // A window manager that does not tell: typical sizes.
  return {4, 22};
}

// Asks the window manager what frame it would give a normal window, on a
// window that is never shown.
bool X11Display::request_frame_extents() {
  if (!wm_supports(connection_, root(), *atoms_, atoms_->_NET_REQUEST_FRAME_EXTENTS)) return false;
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  const ::Window probe = XCreateWindow(connection_, root(), 0, 0, 100, 100, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWEventMask, &attributes);
  send_to_root(connection_, root(), probe, atoms_->_NET_REQUEST_FRAME_EXTENTS, 0);
  XFlush(connection_);
  XEvent event;
  const Atom extents = atoms_->_NET_FRAME_EXTENTS;
  const bool answered = wait_for_event(
      300,
      [probe, extents](const XEvent& e) {
        return e.type == PropertyNotify && e.xproperty.window == probe && e.xproperty.atom == extents;
      },
      event);
  std::vector<long> values;
  bool ok = false;
  if (answered && get_longs(connection_, probe, extents, XA_CARDINAL, values) && values.size() >= 4) {
    note_frame_extents(int(values[0]), int(values[1]), int(values[2]), int(values[3]));
    ok = true;
  }
  XDestroyWindow(connection_, probe);
  XFlush(connection_);
  return ok;
}

SystemColours X11Display::system_colours() {
  // X has no standard source for theme colours that every desktop fills;
  // the toolkit's own scheme applies.
  return {};
}

bool X11Display::has_pending() { return XPending(connection_) > 0; }

bool X11Display::wait_pending(int timeout_ms) {
  if (XPending(connection_) > 0) return true;
  pollfd fd{ConnectionNumber(connection_), POLLIN, 0};
  if (poll(&fd, 1, timeout_ms < 0 ? 0 : timeout_ms) <= 0) return false;
  return XPending(connection_) > 0;
}

bool X11Display::wait_for_event(int timeout_ms, const std::function<bool(const XEvent&)>& match, XEvent& out) {
  struct Context {
    const std::function<bool(const XEvent&)>* match;
  } context{&match};
  auto predicate = [](::Display*, XEvent* e, XPointer arg) -> Bool {
    return (*reinterpret_cast<Context*>(arg)->match)(*e) ? True : False;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (XCheckIfEvent(connection_, &out, predicate, reinterpret_cast<XPointer>(&context))) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(connection_), POLLIN, 0};
    poll(&fd, 1, int(std::min<long long>(left.count(), 20)));
  }
}

bool X11Display::dispatch_one() {
  if (XPending(connection_) <= 0) return false;
  XEvent event;
  XNextEvent(connection_, &event);
  // Input methods see events first (compose sequences, preedit).
  if (XFilterEvent(&event, None)) return true;
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

bool X11Display::capture_screen(int x, int y, int width, int height, uint32_t* pixels, int stride) {
  if (!pixels || width <= 0 || height <= 0 || stride < width) return false;
  // Only the part on the screen is read; the rest of `pixels` stays as it was.
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + width, screen_width()), y1 = std::min(y + height, screen_height());
  if (x1 <= x0 || y1 <= y0) return true;
  ErrorTrap trap(connection_);
  XImage* image = XGetImage(connection_, root(), x0, y0, unsigned(x1 - x0), unsigned(y1 - y0), AllPlanes, ZPixmap);
  if (!image) return false;
  image_to_pixels(image, 0, 0, x1 - x0, y1 - y0, pixels + size_t(y0 - y) * size_t(stride) + size_t(x0 - x), stride);
  XDestroyImage(image);
  return !trap.failed();
}

}  // namespace kivo::port::x11
