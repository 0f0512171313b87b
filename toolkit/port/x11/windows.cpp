// Creating, placing and stacking our top-level windows.
#include "toolkit/port/x11/windows.h"

#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <fstream>

#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {
namespace {

// _MOTIF_WM_HINTS: which frame parts and functions the window manager offers.
enum : long {
  kMwmHintsFunctions = 1, kMwmHintsDecorations = 2,
  kMwmFuncResize = 2, kMwmFuncMove = 4, kMwmFuncMinimize = 8, kMwmFuncMaximize = 16, kMwmFuncClose = 32,
  kMwmDecorBorder = 2, kMwmDecorResizeH = 4, kMwmDecorTitle = 8, kMwmDecorMenu = 16,
  kMwmDecorMinimize = 32, kMwmDecorMaximize = 64,
};

// _NET_WM_STATE client message actions.
enum : long { kStateRemove = 0, kStateAdd = 1 };

// Where a request comes from, for _NET_ACTIVE_WINDOW and friends: 2 is a
// pager, which window managers obey even when they guard against focus stealing.
constexpr long kSourcePager = 2;

std::string program_name() {
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "kivo" : name;
}

}  // namespace

X11Windows::X11Windows(X11Display& display)
    : display_(display), dpy_(display.connection()), atoms_(display.atoms()) {
  gc_ = XCreateGC(dpy_, display_.root(), 0, nullptr);
  XSetGraphicsExposures(dpy_, gc_, False);
  // Held keys repeat as further presses, without the releases in between.
  Bool supported = False;
  XkbSetDetectableAutoRepeat(dpy_, True, &supported);
  masks_ = read_modifier_masks(dpy_);
  open_input_method();
  dnd_ = std::make_unique<XdndTarget>(dpy_, atoms_, [this](::Window id, int root_x, int root_y,
                                                           std::vector<std::string> files) {
    Win* w = find(id);
    if (!w) return;
    WindowEvent e;
    e.type = WindowEvent::FilesDropped;
    const Rect client = query_client(id);
    e.x = root_x - client.x;
    e.y = root_y - client.y;
    e.files = std::move(files);
    emit(id, std::move(e));
  });
  filter_id_ = display_.add_event_filter([this](XEvent& e) { return on_event(e); });
}

X11Windows::~X11Windows() {
  display_.remove_event_filter(filter_id_);
  std::vector<WindowId> ids = our_windows();
  for (WindowId id : ids) destroy(id);
  if (im_) XCloseIM(im_);
  if (gc_) XFreeGC(dpy_, gc_);
  XFlush(dpy_);
}

// An input method gives composed characters (dead keys, compose key); without
// one, keysyms are turned into characters by our own table.
void X11Windows::open_input_method() {
  if (!XSupportsLocale()) return;
  if (XSetLocaleModifiers("")) im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
  if (!im_ && XSetLocaleModifiers("@im=none")) im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
}

X11Windows::Win* X11Windows::find(::Window id) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

bool X11Windows::is_ours(WindowId window) { return find(::Window(window)) != nullptr; }

std::vector<WindowId> X11Windows::our_windows() {
  std::lock_guard lock(mutex_);
  std::vector<WindowId> ids;
  for (auto& [id, w] : windows_) ids.push_back(id);
  return ids;
}

void X11Windows::set_cursor(Cursor cursor) {
  cursor_ = cursor;
  for (WindowId id : our_windows()) XDefineCursor(dpy_, ::Window(id), cursor);
  XFlush(dpy_);
}

void X11Windows::apply_size_hints(Win& w, int width, int height, bool with_position, int x, int y) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PWinGravity | PSize | USSize;
  hints->win_gravity = NorthWestGravity;
  hints->width = width;
  hints->height = height;
  if (with_position) {
    hints->flags |= PPosition | USPosition;
    hints->x = x;
    hints->y = y;
  }
  if (!w.spec.sizing_frame && !w.spec.full_screen) {
    // A fixed size: the window manager offers no resizing.
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
  }
  XSetWMNormalHints(dpy_, w.id, hints);
  XFree(hints);
}

void X11Windows::apply_wm_hints(Win& w) {
  const WindowSpec& s = w.spec;
  // Frame and functions.
  long motif[5] = {kMwmHintsFunctions | kMwmHintsDecorations, kMwmFuncMove | kMwmFuncClose, 0, 0, 0};
  if (s.sizing_frame) motif[1] |= kMwmFuncResize;
  if (s.minimise_box) motif[1] |= kMwmFuncMinimize;
  if (s.maximise_box) motif[1] |= kMwmFuncMaximize;
  if (s.caption) {
    motif[2] = kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu;
    if (s.minimise_box) motif[2] |= kMwmDecorMinimize;
    if (s.maximise_box) motif[2] |= kMwmDecorMaximize;
    if (s.sizing_frame) motif[2] |= kMwmDecorResizeH;
  } else if (s.sizing_frame) {
    motif[2] = kMwmDecorBorder | kMwmDecorResizeH;
  }
  set_longs(dpy_, w.id, atoms_._MOTIF_WM_HINTS, atoms_._MOTIF_WM_HINTS, motif, 5);

  std::vector<Atom> types;
  if (s.popup) types.push_back(atoms_._NET_WM_WINDOW_TYPE_POPUP_MENU);
  if (s.tool_window) types.push_back(atoms_._NET_WM_WINDOW_TYPE_UTILITY);
  types.push_back(atoms_._NET_WM_WINDOW_TYPE_NORMAL);
  set_atoms(dpy_, w.id, atoms_._NET_WM_WINDOW_TYPE, types);

  // The initial states; the window manager reads them when it maps the window.
  std::vector<Atom> states;
  if (s.tool_window) {
    states.push_back(atoms_._NET_WM_STATE_SKIP_TASKBAR);
    states.push_back(atoms_._NET_WM_STATE_SKIP_PAGER);
  }
  if (s.full_screen) states.push_back(atoms_._NET_WM_STATE_FULLSCREEN);
  if (w.layer == WindowLayer::OnTop) states.push_back(atoms_._NET_WM_STATE_ABOVE);
  if (w.layer == WindowLayer::OnDesktop) states.push_back(atoms_._NET_WM_STATE_BELOW);
  set_atoms(dpy_, w.id, atoms_._NET_WM_STATE, states);

  XWMHints* wm = XAllocWMHints();
  if (wm) {
    wm->flags = InputHint | StateHint;
    wm->input = True;
    wm->initial_state = NormalState;
    XSetWMHints(dpy_, w.id, wm);
    XFree(wm);
  }
}

WindowId X11Windows::create(const WindowSpec& spec) {
  const int width = std::clamp(spec.width, 1, 16384), height = std::clamp(spec.height, 1, 16384);
  auto w = std::make_unique<Win>();
  w->spec = spec;
  w->managed = !spec.popup;
  w->layer = spec.layer;

  XSetWindowAttributes attributes{};
  attributes.event_mask = ExposureMask | StructureNotifyMask | PropertyChangeMask | FocusChangeMask |
                          KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  attributes.background_pixmap = None;
  attributes.bit_gravity = NorthWestGravity;
  attributes.override_redirect = spec.popup ? True : False;
  attributes.cursor = cursor_;
  const unsigned long mask = CWEventMask | CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWCursor;
  ErrorTrap trap(dpy_);
  const ::Window id = XCreateWindow(dpy_, display_.root(), spec.x, spec.y, unsigned(width), unsigned(height), 0,
                                    CopyFromParent, InputOutput, CopyFromParent, mask, &attributes);
  if (trap.failed() || id == None) return 0;
  w->id = id;

  // Names, class, process, protocols.
  const std::string name = program_name();
  XClassHint* class_hint = XAllocClassHint();
  if (class_hint) {
    std::string res_class = name;
    if (!res_class.empty()) res_class[0] = char(std::toupper(static_cast<unsigned char>(res_class[0])));
    class_hint->res_name = const_cast<char*>(name.c_str());
    class_hint->res_class = const_cast<char*>(res_class.c_str());
    XSetClassHint(dpy_, id, class_hint);
    XFree(class_hint);
  }
  const long pid = long(getpid());
  set_longs(dpy_, id, atoms_._NET_WM_PID, XA_CARDINAL, &pid, 1);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0)
    XChangeProperty(dpy_, id, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<unsigned char*>(host), int(std::strlen(host)));
  Atom protocols[] = {atoms_.WM_DELETE_WINDOW, atoms_._NET_WM_PING};
  XSetWMProtocols(dpy_, id, protocols, 2);
  apply_size_hints(*w, width, height, true, spec.x, spec.y);
  apply_wm_hints(*w);
  if (spec.owner && find(::Window(spec.owner))) XSetTransientForHint(dpy_, id, ::Window(spec.owner));
  if (spec.accept_drops) dnd_->make_aware(id);

  Win* record = w.get();
  {
    std::lock_guard lock(mutex_);
    windows_[id] = std::move(w);
  }
  set_title(id, spec.title);
  if (im_) {
    record->ic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, id,
                           XNFocusWindow, id, nullptr);
  }

  XMapWindow(dpy_, id);
  XFlush(dpy_);
  // Geometry is only meaningful once the window manager has framed and
  // placed the window; callers ask for it right away.
  record->mapped = wait_mapped(id, spec.popup ? 500 : 2000);
  read_extents(*record);
  record->client = query_client(id);
  if (record->client.width <= 0) record->client = {spec.x, spec.y, width, height};
  return WindowId(id);
}

bool X11Windows::wait_mapped(::Window id, int timeout_ms) {
  XEvent event;
  return display_.wait_for_event(
      timeout_ms, [id](const XEvent& e) { return e.type == MapNotify && e.xmap.window == id; }, event);
}

void X11Windows::destroy(WindowId window) {
  std::unique_ptr<Win> w;
  {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(::Window(window));
    if (it == windows_.end()) return;
    w = std::move(it->second);
    windows_.erase(it);
  }
  if (captured_ == w->id) release_pointer();
  dnd_->forget(w->id);
  if (w->ic) XDestroyIC(w->ic);
  XDestroyWindow(dpy_, w->id);
  XFlush(dpy_);
}

void X11Windows::set_title(WindowId window, const std::string& utf8_title) {
  Win* w = find(::Window(window));
  if (!w) return;
  const std::string latin1 = utf8_to_latin1(utf8_title);
  XChangeProperty(dpy_, w->id, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()), int(latin1.size()));
  XChangeProperty(dpy_, w->id, XA_WM_ICON_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()), int(latin1.size()));
  set_utf8(dpy_, w->id, atoms_._NET_WM_NAME, atoms_, utf8_title);
  set_utf8(dpy_, w->id, atoms_._NET_WM_ICON_NAME, atoms_, utf8_title);
  XFlush(dpy_);
}

void X11Windows::move(WindowId window, int x, int y) {
  Win* w = find(::Window(window));
  if (!w) return;
  // With north-west gravity the window manager puts the frame's corner there.
  const Rect client = query_client(w->id);
  apply_size_hints(*w, client.width, client.height, true, x, y);
  XMoveWindow(dpy_, w->id, x, y);
  if (w->hidden) show(window);
  XFlush(dpy_);
}

void X11Windows::resize(WindowId window, int width, int height) {
  Win* w = find(::Window(window));
  if (!w || width <= 0 || height <= 0) return;
  width = std::min(width, 16384);
  height = std::min(height, 16384);
  const Rect outer = outer_rect(window);
  apply_size_hints(*w, width, height, true, outer.x, outer.y);
  XResizeWindow(dpy_, w->id, unsigned(width), unsigned(height));
  XFlush(dpy_);
}

void X11Windows::show(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return;
  if (w->hidden) {
    // A withdrawn window is placed anew when mapped: ask for its old place.
    const Rect client = query_client(w->id);
    apply_size_hints(*w, client.width, client.height, true, w->saved_x, w->saved_y);
    XMoveWindow(dpy_, w->id, w->saved_x, w->saved_y);
    apply_wm_hints(*w);
    w->hidden = false;
  }
  XMapWindow(dpy_, w->id);
  XFlush(dpy_);
}

void X11Windows::hide(WindowId window) {
  Win* w = find(::Window(window));
  if (!w || w->hidden) return;
  const Rect outer = outer_rect(window);
  w->saved_x = outer.x;
  w->saved_y = outer.y;
  w->hidden = true;
  if (w->managed)
    XWithdrawWindow(dpy_, w->id, display_.screen());
  else
    XUnmapWindow(dpy_, w->id);
  XFlush(dpy_);
}

void X11Windows::minimise(WindowId window) {
  Win* w = find(::Window(window));
  if (!w || !w->managed) return;
  XIconifyWindow(dpy_, w->id, display_.screen());
  XFlush(dpy_);
}

void X11Windows::restore(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return;
  if (w->minimised || w->hidden) {
    show(window);
    if (wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_ACTIVE_WINDOW))
      send_to_root(dpy_, display_.root(), w->id, atoms_._NET_ACTIVE_WINDOW, kSourcePager, long(last_time_));
  } else if (w->maximised) {
    change_state(*w, false, atoms_._NET_WM_STATE_MAXIMIZED_VERT, atoms_._NET_WM_STATE_MAXIMIZED_HORZ);
  }
  XFlush(dpy_);
}

void X11Windows::raise(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return;
  XRaiseWindow(dpy_, w->id);
  XFlush(dpy_);
}

void X11Windows::activate(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return;
  if (w->managed && wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_ACTIVE_WINDOW)) {
    send_to_root(dpy_, display_.root(), w->id, atoms_._NET_ACTIVE_WINDOW, kSourcePager, long(last_time_));
  } else {
    XRaiseWindow(dpy_, w->id);
    ErrorTrap trap(dpy_);  // not viewable yet: nothing to focus
    XSetInputFocus(dpy_, w->id, RevertToParent, CurrentTime);
  }
  XFlush(dpy_);
}

void X11Windows::change_state(Win& w, bool add, Atom first, Atom second) {
  send_to_root(dpy_, display_.root(), w.id, atoms_._NET_WM_STATE, add ? kStateAdd : kStateRemove, long(first),
               long(second), kSourcePager);
}

void X11Windows::set_layer(WindowId window, WindowLayer layer) {
  Win* w = find(::Window(window));
  if (!w) return;
  w->layer = layer;
  if (!w->managed) {
    if (layer == WindowLayer::OnTop) XRaiseWindow(dpy_, w->id);
    if (layer == WindowLayer::OnDesktop) XLowerWindow(dpy_, w->id);
  } else if (w->hidden || !w->mapped) {
    apply_wm_hints(*w);  // read by the window manager when it maps the window
  } else {
    change_state(*w, layer == WindowLayer::OnTop, atoms_._NET_WM_STATE_ABOVE);
    change_state(*w, layer == WindowLayer::OnDesktop, atoms_._NET_WM_STATE_BELOW);
  }
  XFlush(dpy_);
}

Rect X11Windows::query_client(::Window id) {
  ErrorTrap trap(dpy_);
  ::Window root = None, child = None;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(dpy_, id, &root, &x, &y, &width, &height, &border, &depth)) return {};
  if (!XTranslateCoordinates(dpy_, id, root, 0, 0, &x, &y, &child)) return {};
  if (trap.failed()) return {};
  return {x, y, int(width), int(height)};
}

void X11Windows::read_extents(Win& w) {
  std::vector<long> values;
  if (w.managed && get_longs(dpy_, w.id, atoms_._NET_FRAME_EXTENTS, XA_CARDINAL, values, 4) && values.size() == 4) {
    for (int i = 0; i < 4; ++i) w.extents[i] = int(std::max(0L, values[size_t(i)]));
    display_.note_frame_extents(w.extents[0], w.extents[1], w.extents[2], w.extents[3]);
  } else {
    std::fill(std::begin(w.extents), std::end(w.extents), 0);
  }
}

Rect X11Windows::client_rect(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return {};
  return query_client(w->id);
}

Rect X11Windows::outer_rect(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return {};
  const Rect client = query_client(w->id);
  if (w->hidden || w->minimised) return {client.x, client.y, client.width, client.height};
  const int* e = w->extents;
  return {client.x - e[0], client.y - e[2], client.width + e[0] + e[1], client.height + e[2] + e[3]};
}

void X11Windows::capture_pointer(WindowId window) {
  Win* w = find(::Window(window));
  if (!w) return;
  const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  if (XGrabPointer(dpy_, w->id, True, mask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
    captured_ = w->id;
  XFlush(dpy_);
}

void X11Windows::release_pointer() {
  XUngrabPointer(dpy_, CurrentTime);
  captured_ = None;
  XFlush(dpy_);
}

void X11Windows::set_icon(WindowId window, const uint32_t* pixels, int width, int height) {
  Win* w = find(::Window(window));
  if (!w || !pixels || width <= 0 || height <= 0 || width > 512 || height > 512) return;
  // _NET_WM_ICON: width, height, then ARGB pixels; 0 stays transparent.
  std::vector<long> data;
  data.reserve(size_t(width) * size_t(height) + 2);
  data.push_back(width);
  data.push_back(height);
  for (int i = 0; i < width * height; ++i) {
    const uint32_t p = pixels[i] & 0xFFFFFF;
    data.push_back(p ? long(0xFF000000u | p) : 0);
  }
  set_longs(dpy_, w->id, atoms_._NET_WM_ICON, XA_CARDINAL, data.data(), int(data.size()));
  XFlush(dpy_);
}

void X11Windows::deliver(WindowId window, const WindowEvent& event) { emit(::Window(window), event); }

void X11Windows::emit(::Window id, WindowEvent event) {
  Win* w = find(id);
  if (!w || !w->spec.handler) return;
  w->spec.handler(w->spec.user, WindowId(id), event);
}

}  // namespace kivo::port::x11
