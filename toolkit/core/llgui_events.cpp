// From the window system's events to the toolkit's messages: the window
// table, the key table and its special cases, the modifier state, the
// dropped file, and the layer's own handler in front of the owner.
#include <cstring>

#include "toolkit/core/llgui_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/windows.h"

namespace kivo::core::llgui {
namespace {

using port::Key;
using port::WindowEvent;

// The key table: the keys that arrive as keys, with their toolkit codes.
int key_code(Key key) {
  switch (key) {
    case Key::Tab: return KV_KEY_TAB;
    case Key::Enter: return KV_KEY_ENTER;
    case Key::Escape: return KV_KEY_ESCAPE;
    case Key::Space: return KV_KEY_SPACE;
    case Key::Left: return KV_KEY_LEFT;
    case Key::Right: return KV_KEY_RIGHT;
    case Key::Up: return KV_KEY_UP;
    case Key::Down: return KV_KEY_DOWN;
    case Key::F1: return 305;
    case Key::F2: return 306;
    case Key::F3: return 307;
    case Key::F4: return 308;
    case Key::F5: return 309;
    case Key::F6: return 310;
    case Key::F7: return 311;
    case Key::F8: return 312;
    case Key::F9: return 313;
    case Key::F10: return 314;
    case Key::F11: return 315;
    case Key::F12: return 316;
    case Key::Home: return KV_KEY_HOME;
    case Key::End: return KV_KEY_END;
    case Key::Delete: return KV_KEY_DELETE;
    case Key::PageUp: return KV_KEY_PAGEUP;
    case Key::PageDown: return KV_KEY_PAGEDOWN;
    case Key::Alt: return KV_KEY_ALT;
    case Key::Insert: return KV_KEY_INSERT;
    case Key::Ctrl: return KV_KEY_CTRL;
    case Key::Shift: return KV_KEY_SHIFT;
    case Key::Unknown: return 0;
  }
  return 0;
}

int modifier_bit(Key key) {
  if (key == Key::Shift) return KV_MOD_SHIFT;
  if (key == Key::Ctrl) return KV_MOD_CTRL;
  if (key == Key::Alt) return KV_MOD_ALT;
  return 0;
}

// Window systems differ in whether an event's modifiers include the key
// that the event itself presses or releases; take the event's state and
// then apply the key, so that both conventions give the same state.
void update_modifiers(const WindowEvent& e) {
  int mods = int(e.modifiers & (KV_MOD_SHIFT | KV_MOD_ALT | KV_MOD_CTRL));
  const int bit = modifier_bit(e.key);
  if (e.type == WindowEvent::KeyDown) mods |= bit;
  if (e.type == WindowEvent::KeyUp) mods &= ~bit;
  state().modifiers = mods;
}

// Pointer coordinates arrive in the window system's 16-bit message fields.
intptr_t coord(int v) { return intptr_t(int16_t(v)); }

int button_code(const WindowEvent& e) {
  static const int down[] = {KV_MSG_LBUTTONDOWN, KV_MSG_MBUTTONDOWN, KV_MSG_RBUTTONDOWN};
  static const int up[] = {KV_MSG_LBUTTONUP, KV_MSG_MBUTTONUP, KV_MSG_RBUTTONUP};
  static const int dbl[] = {KV_MSG_LBUTTONDBL, KV_MSG_MBUTTONDBL, KV_MSG_RBUTTONDBL};
  if (e.button < 1 || e.button > 3) return 0;
  const int i = e.button - 1;
  if (e.type == WindowEvent::ButtonDown) return down[i];
  if (e.type == WindowEvent::ButtonUp) return up[i];
  return dbl[i];
}

TableEntry* find_entry(port::WindowId handle) {
  for (auto& entry : state().table)
    if (entry.in_use && entry.handle == handle) return &entry;
  return nullptr;
}

void translate_key(const TableEntry& entry, const WindowEvent& e, auto send) {
  update_modifiers(e);
  const int code = key_code(e.key);
  if (!code) return;
  const bool down = e.type == WindowEvent::KeyDown;
  const int mods = state().modifiers;
  const int message = down ? KV_MSG_KEYDOWN : KV_MSG_KEYUP;
  (void)entry;
  if (e.key == Key::Insert) {
    send(message, code, 0);
    if (down && mods == KV_MOD_SHIFT) send(KV_MSG_PASTE, 0, 0);
    if (down && mods == KV_MOD_CTRL) send(KV_MSG_COPY, 0, 0);
    return;
  }
  if (e.key == Key::Delete && down && mods == KV_MOD_SHIFT) {
    send(KV_MSG_CUT, 0, 0);
    return;
  }
  // Alt+F4 asks the window to close once, on the press.
  if (e.key == Key::F4 && down && (mods & KV_MOD_ALT)) send(KV_MSG_CLOSE, 0, 0);
  send(message, code, 0);
}

void translate_character(const WindowEvent& e, auto send) {
  const uint32_t c = e.character;
  // These came as keys.
  if (c == 9 || c == 10 || c == 13 || c == 27 || c == 32) return;
  int code = c < 32 ? int(c) : to_codepage(c);
  if (code <= 0) return;
  if (code == 22) send(KV_MSG_PASTE, 0, 0);
  if (code == 24) send(KV_MSG_CUT, 0, 0);
  if (code == 3) send(KV_MSG_COPY, 0, 0);
  send(KV_MSG_KEYDOWN, code, 0);
}

}  // namespace

void on_port_event(void*, port::WindowId handle, const WindowEvent& e) {
  TableEntry* found = find_entry(handle);
  if (!found) return;  // not (or no longer) in the table: nothing to deliver
  const TableEntry entry = *found;
  auto send = [&entry](int code, intptr_t a, intptr_t b) {
    entry.callback(entry.object, code, a, b, 0, 0, 0, 0, 0, 0);
  };
  switch (e.type) {
    case WindowEvent::CloseRequest: send(KV_MSG_CLOSE, 0, 0); break;
    case WindowEvent::Paint: {
      if (entry.callback != layer_handler) {
        send(KV_MSG_PAINT, 0, 0);
        break;
      }
      auto* w = reinterpret_cast<kvllgui_window*>(entry.object);
      State& s = state();
      const bool nested = s.in_paint.load();
      kvllgui_window* previous_dc = current_dc();
      s.in_paint = true;
      s.painting = w;
      current_dc() = w;
      entry.callback(entry.object, KV_MSG_PAINT, e.x, e.y, e.width, e.height, 0, 0, 0, 0);
      current_dc() = previous_dc;
      s.in_paint = nested;
      s.painting = nullptr;
      break;
    }
    case WindowEvent::Resized:
      if (e.width > 0 && e.height > 0) send(KV_MSG_RESIZED, e.width, e.height);
      break;
    case WindowEvent::Minimised: send(KV_MSG_MINIMISED, 0, 0); break;
    case WindowEvent::Maximised: send(KV_MSG_MAXIMISED, 0, 0); break;
    case WindowEvent::Moved: send(KV_MSG_MOVED, 0, 0); break;
    case WindowEvent::Activated: send(KV_MSG_ACTIVATED, 0, 0); break;
    case WindowEvent::Deactivated: send(KV_MSG_DEACTIVATED, 0, 0); break;
    case WindowEvent::FocusGained:
      state().modifiers = 0;
      send(KV_MSG_FOCUS, 0, 0);
      break;
    case WindowEvent::FocusLost:
      state().modifiers = 0;
      send(KV_MSG_UNFOCUS, 0, 0);
      break;
    case WindowEvent::ButtonDown:
    case WindowEvent::ButtonUp:
    case WindowEvent::DoubleClick:
      if (int code = button_code(e)) send(code, coord(e.x), coord(e.y));
      break;
    case WindowEvent::PointerMove: send(KV_MSG_POINTERMOVE, coord(e.x), coord(e.y)); break;
    case WindowEvent::Wheel: {
      // The wheel reports a screen position; the owner wants client
      // coordinates. Turning it away from the user scrolls up.
      const port::Rect client = port::backend().windows().client_rect(handle);
      send(e.wheel_delta >= 0 ? KV_MSG_WHEELUP : KV_MSG_WHEELDOWN, coord(e.x - client.x),
           coord(e.y - client.y));
      break;
    }
    case WindowEvent::KeyDown:
    case WindowEvent::KeyUp: translate_key(entry, e, send); break;
    case WindowEvent::Character: translate_character(e, send); break;
    case WindowEvent::FilesDropped:
      if (!e.files.empty()) {
        std::string first = e.files.front();
        if (first.size() > size_t(kvdroppedfile_max)) first.resize(size_t(kvdroppedfile_max));
        state().dropped_file = first;
        send(KV_MSG_DROPPED, 0, 0);
      }
      break;
    case WindowEvent::TrayClick:
      if (e.button == 1) send(KV_MSG_TRAY, KV_MSG_LBUTTONUP, 0);
      if (e.button == 3) send(KV_MSG_TRAY, KV_MSG_RBUTTONUP, 0);
      break;
  }
}

intptr_t layer_handler(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                       intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8) {
  auto* w = reinterpret_cast<kvllgui_window*>(object);
  if (!w || !w->open) return 0;
  auto to_owner = [w](int c, intptr_t b1, intptr_t b2, intptr_t b3, intptr_t b4, intptr_t b5, intptr_t b6,
                      intptr_t b7, intptr_t b8) -> intptr_t {
    return w->callback ? w->callback(w->owner, c, b1, b2, b3, b4, b5, b6, b7, b8) : 0;
  };
  if (code == KV_MSG_PAINT) {
    kvllgui_redraw(w, 0, 0, 0, 0, 0, 0, false);
    return 0;
  }
  if (code == KV_MSG_RESIZED) {
    if (a1 <= 0 || a2 <= 0) return 0;
    if (a1 != w->pxmap.width || a2 != w->pxmap.height) {
      resize_backing(w, int(a1), int(a2));
      to_owner(KV_MSG_RESIZED, a1, a2, 0, 0, 0, 0, 0, 0);
      if (!w->open) return 0;
    }
    to_owner(KV_MSG_PAINT, 0, 0, 0, 0, 0, 0, 0, 0);
    return 0;
  }
  return to_owner(code, a1, a2, a3, a4, a5, a6, a7, a8);
}

}  // namespace kivo::core::llgui

using namespace kivo::core::llgui;

bool kvllgui_register(kvcallback callback, intptr_t object, kivo::port::WindowId handle) {
  if (!callback || !handle) return false;
  for (auto& entry : state().table) {
    if (entry.in_use) continue;
    entry = TableEntry{true, callback, object, handle};
    return true;
  }
  return false;
}

void kvllgui_unregister(kvcallback callback, intptr_t object) {
  for (auto& entry : state().table)
    if (entry.in_use && entry.callback == callback && entry.object == object) entry = TableEntry{};
}

int kvllgui_registered() {
  int n = 0;
  for (const auto& entry : state().table) n += entry.in_use;
  return n;
}

int kvgetmodifiers() { return state().modifiers; }
const char* kvgetdroppedfile() { return state().dropped_file.c_str(); }
