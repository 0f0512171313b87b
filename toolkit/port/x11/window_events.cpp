// X events of our windows turned into WindowEvents.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#include "toolkit/port/x11/windows.h"

namespace kivo::port::x11 {
namespace {

Rect unite(const Rect& a, const Rect& b) {
  if (a.width <= 0 || a.height <= 0) return b;
  const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  const int x1 = std::max(a.x + a.width, b.x + b.width), y1 = std::max(a.y + a.height, b.y + b.height);
  return {x0, y0, x1 - x0, y1 - y0};
}

::Window event_window(const XEvent& e) {
  switch (e.type) {
    case ConfigureNotify: return e.xconfigure.window;
    case MapNotify: return e.xmap.window;
    case UnmapNotify: return e.xunmap.window;
    case SelectionNotify: return e.xselection.requestor;
    default: return e.xany.window;
  }
}

}  // namespace

bool X11Windows::on_event(XEvent& event) {
  if (event.type == MappingNotify) {
    // A new keyboard layout: Xlib's key tables and our Alt bit follow it.
    XRefreshKeyboardMapping(&event.xmapping);
    if (event.xmapping.request == MappingModifier) masks_ = read_modifier_masks(dpy_);
    return false;
  }
  if (event.type == PropertyNotify && event.xproperty.window == display_.root()) {
    if (event.xproperty.atom == atoms_._NET_ACTIVE_WINDOW) on_active_window_change();
    return false;  // other services watch root properties too
  }
  // Drops aimed at our windows (client messages and the selection answer).
  const ::Window id = event_window(event);
  Win* w = find(id);
  if (!w) return false;
  if (dnd_->handle(event)) return true;

  switch (event.type) {
    case Expose: {
      w->expose = unite(w->expose, {event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
      if (event.xexpose.count > 0) return true;
      WindowEvent e;
      e.type = WindowEvent::Paint;
      e.x = w->expose.x;
      e.y = w->expose.y;
      e.width = w->expose.width;
      e.height = w->expose.height;
      w->expose = {};
      emit(id, e);
      return true;
    }
    case ConfigureNotify: on_configure(*w); return true;
    case MapNotify: w->mapped = true; return true;
    case UnmapNotify: w->mapped = false; return true;
    case PropertyNotify:
      if (event.xproperty.atom == atoms_._NET_FRAME_EXTENTS) {
        read_extents(*w);
        return true;
      }
      if (event.xproperty.atom == atoms_.WM_STATE || event.xproperty.atom == atoms_._NET_WM_STATE) {
        on_state_change(*w);
        return true;
      }
      return false;  // e.g. a selection transfer of another service
    case FocusIn:
    case FocusOut: {
      // Focus moves caused by keyboard grabs and pointer-root focus are not ours.
      const XFocusChangeEvent& f = event.xfocus;
      if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer ||
          f.detail == NotifyInferior)
        return true;
      const bool in = event.type == FocusIn;
      if (w->focused == in) return true;
      w->focused = in;
      if (w->ic) in ? XSetICFocus(w->ic) : XUnsetICFocus(w->ic);
      // Without a window manager that tells, focus is activation.
      const bool tracks_active = wm_supports(dpy_, display_.root(), atoms_, atoms_._NET_ACTIVE_WINDOW);
      if (!tracks_active && w->active != in) {
        w->active = in;
        WindowEvent a;
        a.type = in ? WindowEvent::Activated : WindowEvent::Deactivated;
        emit(id, a);
        if (!find(id)) return true;
      }
      WindowEvent e;
      e.type = in ? WindowEvent::FocusGained : WindowEvent::FocusLost;
      emit(id, e);
      return true;
    }
    case KeyPress:
    case KeyRelease: on_key(*w, event.xkey); return true;
    case ButtonPress:
    case ButtonRelease: on_button(*w, event.xbutton); return true;
    case MotionNotify: {
      last_time_ = event.xmotion.time;
      WindowEvent e;
      e.type = WindowEvent::PointerMove;
      e.x = event.xmotion.x;
      e.y = event.xmotion.y;
      e.modifiers = toolkit_modifiers(event.xmotion.state, masks_);
      emit(id, e);
      return true;
    }
    case ClientMessage: on_client_message(*w, event.xclient); return true;
    default: return false;
  }
}

void X11Windows::on_client_message(Win& w, XClientMessageEvent& message) {
  if (message.message_type != atoms_.WM_PROTOCOLS || message.format != 32) return;
  const Atom protocol = Atom(message.data.l[0]);
  if (protocol == atoms_.WM_DELETE_WINDOW) {
    WindowEvent e;
    e.type = WindowEvent::CloseRequest;
    emit(w.id, e);
  } else if (protocol == atoms_._NET_WM_PING) {
    // Answering tells the window manager that the program is alive.
    XEvent reply{};
    reply.xclient = message;
    reply.xclient.window = display_.root();
    XSendEvent(dpy_, display_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &reply);
    XFlush(dpy_);
  }
}

void X11Windows::on_configure(Win& w) {
  if (w.minimised || w.hidden) return;
  const ::Window id = w.id;
  const Rect now = query_client(id);
  if (now.width <= 0 || now.height <= 0) return;
  const Rect before = w.client;
  w.client = now;
  if (now.width != before.width || now.height != before.height) {
    WindowEvent e;
    e.type = WindowEvent::Resized;
    e.width = now.width;
    e.height = now.height;
    emit(id, e);
    if (!find(id)) return;
  }
  if (now.x != before.x || now.y != before.y) {
    WindowEvent e;
    e.type = WindowEvent::Moved;
    emit(id, e);
  }
}

void X11Windows::on_state_change(Win& w) {
  const ::Window id = w.id;
  std::vector<long> wm_state;
  const bool iconic = get_longs(dpy_, id, atoms_.WM_STATE, atoms_.WM_STATE, wm_state, 2) && !wm_state.empty() &&
                      wm_state[0] == IconicState;
  std::vector<Atom> states;
  get_atoms(dpy_, id, atoms_._NET_WM_STATE, states);
  bool hidden = false, vert = false, horz = false;
  for (Atom a : states) {
    hidden = hidden || a == atoms_._NET_WM_STATE_HIDDEN;
    vert = vert || a == atoms_._NET_WM_STATE_MAXIMIZED_VERT;
    horz = horz || a == atoms_._NET_WM_STATE_MAXIMIZED_HORZ;
  }
  // A withdrawn window has no WM_STATE worth reading.
  const bool minimised = !w.hidden && (iconic || hidden);
  const bool maximised = vert && horz;
  const bool was_minimised = w.minimised, was_maximised = w.maximised;
  w.minimised = minimised;
  w.maximised = maximised;
  if (minimised && !was_minimised) {
    WindowEvent e;
    e.type = WindowEvent::Minimised;
    emit(id, e);
    return;
  }
  if (!minimised && was_minimised) {
    // Back from the taskbar: the size is announced again.
    const Rect now = query_client(id);
    w.client = now;
    WindowEvent e;
    e.type = WindowEvent::Resized;
    e.width = now.width;
    e.height = now.height;
    emit(id, e);
    if (!find(id)) return;
  }
  if (maximised && !was_maximised) {
    WindowEvent e;
    e.type = WindowEvent::Maximised;
    emit(id, e);
  }
}

void X11Windows::on_active_window_change() {
  std::vector<::Window> active;
  get_windows(dpy_, display_.root(), atoms_._NET_ACTIVE_WINDOW, active);
  const ::Window now = active.empty() ? None : active[0];
  for (WindowId wid : our_windows()) {
    Win* w = find(::Window(wid));
    if (!w || !w->managed) continue;
    const bool is_active = w->id == now;
    if (w->active == is_active) continue;
    w->active = is_active;
    WindowEvent e;
    e.type = is_active ? WindowEvent::Activated : WindowEvent::Deactivated;
    emit(w->id, e);
  }
}

void X11Windows::on_key(Win& w, XKeyEvent& key) {
  last_time_ = key.time;
  const ::Window id = w.id;
  const bool press = key.type == KeyPress;
  const unsigned modifiers = toolkit_modifiers(key.state, masks_);
  char buffer[64] = {};
  KeySym keysym = NoSymbol;
  std::vector<uint32_t> characters;
  if (press && w.ic) {
    Status status = 0;
    const int n = Xutf8LookupString(w.ic, &key, buffer, int(sizeof buffer) - 1, &keysym, &status);
    if (status == XLookupChars || status == XLookupBoth)
      characters = utf8_code_points(std::string(buffer, size_t(std::max(0, n))));
    if (status == XLookupChars) keysym = NoSymbol;
  } else {
    const int n = XLookupString(&key, buffer, int(sizeof buffer) - 1, &keysym, nullptr);
    if (press) {
      // Control codes (Ctrl+V is 22) pass as they are; other characters
      // come from the keysym, which covers more than Latin-1.
      const unsigned char b = static_cast<unsigned char>(buffer[0]);
      if (n == 1 && (b < 0x20 || b == 0x7F))
        characters.push_back(b);
      else if (uint32_t c = keysym_to_unicode(keysym))
        characters.push_back(c);
    }
  }
  Key k = key_for_keysym(keysym);
  if (k == Key::Unknown && characters.empty()) k = key_for_keysym(XLookupKeysym(&key, 0));
  if (k != Key::Unknown) {
    // Keys of the table arrive as keys only, never as characters too.
    WindowEvent e;
    e.type = press ? WindowEvent::KeyDown : WindowEvent::KeyUp;
    e.key = k;
    e.modifiers = modifiers;
    emit(id, e);
    return;
  }
  for (uint32_t c : characters) {
    WindowEvent e;
    e.type = WindowEvent::Character;
    e.character = c;
    e.modifiers = modifiers;
    emit(id, e);
    if (!find(id)) return;
  }
}

void X11Windows::on_button(Win& w, XButtonEvent& b) {
  last_time_ = b.time;
  const ::Window id = w.id;
  const unsigned modifiers = toolkit_modifiers(b.state, masks_);
  if (b.button == 4 || b.button == 5) {
    // The wheel reports as buttons 4 (away from the user) and 5; one notch per press.
    if (b.type != ButtonPress) return;
    WindowEvent e;
    e.type = WindowEvent::Wheel;
    e.x = b.x_root;
    e.y = b.y_root;
    e.wheel_delta = b.button == 4 ? 120 : -120;
    e.modifiers = modifiers;
    emit(id, e);
    return;
  }
  if (b.button < 1 || b.button > 3) return;
  WindowEvent e;
  e.x = b.x;
  e.y = b.y;
  e.button = int(b.button);
  e.modifiers = modifiers;
  if (b.type == ButtonRelease) {
    e.type = WindowEvent::ButtonUp;
    emit(id, e);
    return;
  }
  const bool double_click = w.press_button == int(b.button) && b.time - w.press_time < Time(double_click_ms_) &&
                            std::abs(b.x - w.press_x) <= kDoubleClickDistance &&
                            std::abs(b.y - w.press_y) <= kDoubleClickDistance;
  if (double_click) {
    w.press_button = 0;  // a third press starts a new click
  } else {
    w.press_button = int(b.button);
    w.press_time = b.time;
    w.press_x = b.x;
    w.press_y = b.y;
  }
  e.type = double_click ? WindowEvent::DoubleClick : WindowEvent::ButtonDown;
  emit(id, e);
}

}  // namespace kivo::port::x11
