#include "toolkit/port/x11/desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "toolkit/port/x11/monitors.h"
#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {
namespace {

constexpr long kSourcePager = 2;

Rect intersect(const Rect& a, const Rect& b) {
  const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.width, b.x + b.width), y1 = std::min(a.y + a.height, b.y + b.height);
  if (x1 <= x0 || y1 <= y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

X11Desktop::X11Desktop(X11Display& display, X11Windows& windows)
    : display_(display), windows_(windows), dpy_(display.connection()), atoms_(display.atoms()) {}

bool X11Desktop::can_reserve() {
  return wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_WM_STRUT_PARTIAL) ||
         wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_WM_STRUT);
}

bool X11Desktop::lists_windows() {
  return wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_CLIENT_LIST_STACKING) ||
         wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_CLIENT_LIST);
}

Rect X11Desktop::primary_bounds() {
  const Rect screen{0, 0, display_.screen_width(), display_.screen_height()};
  const auto monitors = randr_monitors(dpy_, display_.root());
  if (monitors.empty()) return screen;
  const Rect bounds = intersect(monitors.front().bounds, screen);
  return bounds.width > 0 ? bounds : screen;
}

Rect X11Desktop::work_area() {
  const Rect primary = primary_bounds();
  std::vector<long> area, current;
  if (!get_longs(dpy_, display_.root(), atoms_._NET_WORKAREA, XA_CARDINAL, area) || area.size() < 4) return primary;
  size_t desktop = 0;
  if (get_longs(dpy_, display_.root(), atoms_._NET_CURRENT_DESKTOP, XA_CARDINAL, current, 1) && !current.empty() &&
      current[0] >= 0 && size_t(current[0]) * 4 + 4 <= area.size())
    desktop = size_t(current[0]);
  const long* a = &area[desktop * 4];
  const Rect work = intersect({int(a[0]), int(a[1]), int(a[2]), int(a[3])}, primary);
  return work.width > 0 ? work : primary;
}

bool X11Desktop::reserve_strip(WindowId window, Edge edge, int thickness, int start, int end) {
  if (!windows_.is_ours(window) || thickness <= 0 || end <= start) return false;
  // Struts count from the edges of the whole screen, spans are inclusive.
  long partial[12] = {};
  const int e = int(edge);  // Top, Bottom, Left, Right
  const int slot = e == int(Edge::Left) ? 0 : e == int(Edge::Right) ? 1 : e == int(Edge::Top) ? 2 : 3;
  partial[slot] = thickness;
  partial[4 + slot * 2] = start;
  partial[4 + slot * 2 + 1] = end - 1;
  ErrorTrap trap(dpy_);
  set_longs(dpy_, ::Window(window), atoms_._NET_WM_STRUT_PARTIAL, XA_CARDINAL, partial, 12);
  set_longs(dpy_, ::Window(window), atoms_._NET_WM_STRUT, XA_CARDINAL, partial, 4);
  return !trap.failed() && can_reserve();
}

void X11Desktop::release_strip(WindowId window) {
  if (!windows_.is_ours(window)) return;
  ErrorTrap trap(dpy_);
  XDeleteProperty(dpy_, ::Window(window), atoms_._NET_WM_STRUT_PARTIAL);
  XDeleteProperty(dpy_, ::Window(window), atoms_._NET_WM_STRUT);
}

bool X11Desktop::set_work_area(const Rect&) { return false; }

bool X11Desktop::frame_extents(::Window window, int extents[4]) {
  std::vector<long> values;
  std::fill(extents, extents + 4, 0);
  if (!get_longs(dpy_, window, atoms_._NET_FRAME_EXTENTS, XA_CARDINAL, values, 4) || values.size() != 4) return false;
  for (int i = 0; i < 4; ++i) extents[i] = int(std::max(0L, values[size_t(i)]));
  return true;
}

std::vector<TopLevelWindow> X11Desktop::top_levels() {
  std::vector<::Window> clients;
  if (!get_windows(dpy_, display_.root(), atoms_._NET_CLIENT_LIST_STACKING, clients))
    get_windows(dpy_, display_.root(), atoms_._NET_CLIENT_LIST, clients);
  std::vector<TopLevelWindow> out;
  ErrorTrap trap(dpy_);  // any of them may be gone by now
  for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
    const ::Window id = *it;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy_, id, &attributes)) continue;
    TopLevelWindow top;
    top.id = WindowId(id);
    top.title = window_title(dpy_, id, atoms_);
    int x = 0, y = 0;
    ::Window child = None;
    XTranslateCoordinates(dpy_, id, display_.root(), 0, 0, &x, &y, &child);
    int e[4];
    frame_extents(id, e);
    top.rect = {x - e[0], y - e[2], attributes.width + e[0] + e[1], attributes.height + e[2] + e[3]};
    std::vector<long> wm_state;
    std::vector<Atom> states, types;
    get_longs(dpy_, id, atoms_.WM_STATE, atoms_.WM_STATE, wm_state, 2);
    get_atoms(dpy_, id, atoms_._NET_WM_STATE, states);
    get_atoms(dpy_, id, atoms_._NET_WM_WINDOW_TYPE, types);
    top.minimised = (!wm_state.empty() && wm_state[0] == IconicState) ||
                    std::find(states.begin(), states.end(), atoms_._NET_WM_STATE_HIDDEN) != states.end();
    top.visible = attributes.map_state == IsViewable;
    top.is_desktop = std::find(types.begin(), types.end(), atoms_._NET_WM_WINDOW_TYPE_DESKTOP) != types.end();
    top.ours = windows_.is_ours(top.id);
    out.push_back(std::move(top));
  }
  return out;
}

bool X11Desktop::move_foreign(WindowId window, const Rect& rect) {
  if (!window || rect.width <= 0 || rect.height <= 0) return false;
  ErrorTrap trap(dpy_);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy_, ::Window(window), &attributes)) return false;
  // The outer rectangle less the frame is the client size the window manager wants.
  int e[4];
  frame_extents(::Window(window), e);
  const int width = std::max(1, rect.width - e[0] - e[1]), height = std::max(1, rect.height - e[2] - e[3]);
  if (wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_MOVERESIZE_WINDOW)) {
    // Gravity north-west: x, y are the frame's corner. Flags: x, y, w, h given, from a pager.
    const long flags = NorthWestGravity | (0xFL << 8) | (kSourcePager << 12);
    send_to_root(dpy_, display_.root(), ::Window(window), atoms_._NET_MOVERESIZE_WINDOW, flags, rect.x, rect.y,
                 width, height);
  } else {
    XMoveResizeWindow(dpy_, ::Window(window), rect.x, rect.y, unsigned(width), unsigned(height));
  }
  return !trap.failed();
}

::Window X11Desktop::client_of(::Window frame) {
  // Breadth-first: the nearest window with WM_STATE is the client.
  std::vector<::Window> level{frame};
  for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
    std::vector<::Window> next;
    for (::Window w : level) {
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(dpy_, w, atoms_.WM_STATE, 0, 0, False, AnyPropertyType, &type, &format, &count, &after,
                             &data) == Success) {
        if (data) XFree(data);
        if (type != None) return w;
      }
      ::Window root = None, parent = None, *children = nullptr;
      unsigned n = 0;
      if (XQueryTree(dpy_, w, &root, &parent, &children, &n)) {
        next.insert(next.end(), children, children + n);
        if (children) XFree(children);
      }
    }
    level = std::move(next);
  }
  return frame;
}

WindowId X11Desktop::window_at(int x, int y) {
  ErrorTrap trap(dpy_);
  ::Window root = None, parent = None, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy_, display_.root(), &root, &parent, &children, &n)) return 0;
  ::Window found = None;
  // Children come bottom first; the topmost viewable one at the point wins.
  for (unsigned i = n; i-- > 0 && found == None;) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy_, children[i], &attributes)) continue;
    if (attributes.map_state != IsViewable || attributes.c_class != InputOutput) continue;
    const Rect r{attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
                 attributes.height + 2 * attributes.border_width};
    if (r.contains(x, y)) found = children[i];
  }
  if (children) XFree(children);
  if (found == None) return 0;
  return WindowId(client_of(found));
}

bool X11Desktop::bring_to_front(WindowId window) {
  if (!window) return false;
  ErrorTrap trap(dpy_);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy_, ::Window(window), &attributes)) return false;
  if (wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_ACTIVE_WINDOW)) {
    send_to_root(dpy_, display_.root(), ::Window(window), atoms_._NET_ACTIVE_WINDOW, kSourcePager,
                 long(windows_.last_input_time()), 0);
  } else {
    XRaiseWindow(dpy_, ::Window(window));
    if (attributes.map_state == IsViewable) XSetInputFocus(dpy_, ::Window(window), RevertToParent, CurrentTime);
  }
  return !trap.failed();
}

WindowId X11Desktop::foreground() {
  std::vector<::Window> active;
  if (get_windows(dpy_, display_.root(), atoms_._NET_ACTIVE_WINDOW, active) && !active.empty() && active[0])
    return WindowId(active[0]);
  ::Window focus = None;
  int revert = 0;
  XGetInputFocus(dpy_, &focus, &revert);
  if (focus == None || focus == PointerRoot || focus == display_.root()) return 0;
  // The focus may sit in a child: walk up to the top level.
  ErrorTrap trap(dpy_);
  for (int depth = 0; depth < 16; ++depth) {
    ::Window root = None, parent = None, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy_, focus, &root, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    if (parent == root || parent == None) return WindowId(client_of(focus));
    focus = parent;
  }
  return 0;
}

bool X11Desktop::pointer_position(int& x, int& y) {
  ::Window root = None, child = None;
  int wx = 0, wy = 0;
  unsigned mask = 0;
  if (!XQueryPointer(dpy_, display_.root(), &root, &child, &x, &y, &wx, &wy, &mask)) return false;
  return true;
}

}  // namespace kivo::port::x11
