// Injected pointer and keyboard input of the virtual desktop, routed as a
// window system routes it: pointer events to the capturing window, then to
// the window holding the implicit grab of a pressed button, then to the
// window under the pointer; keys and characters to the focused window.
#include <cstdlib>

#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {

WindowEvent VirtualDesktop::pointer_event(const Win& w, WindowEvent::Type type, int button) {
  const Rect client = client_of(w);
  WindowEvent e;
  e.type = type;
  e.x = pointer_x_ - client.x;
  e.y = pointer_y_ - client.y;
  e.button = button;
  e.modifiers = modifiers_;
  return e;
}

// Our window that receives pointer events now, 0 for none (a foreign
// window, the bare desktop or a frame).
WindowId VirtualDesktop::pointer_target() {
  if (capture_ && find(capture_)) return capture_;
  if (grab_ && find(grab_)) return grab_;
  const WindowId under = top_at(pointer_x_, pointer_y_);
  Win* w = find(under);
  if (!w || !w->ours || !client_of(*w).contains(pointer_x_, pointer_y_)) return 0;
  return under;
}

void VirtualDesktop::move_pointer(int x, int y) {
  std::lock_guard lock(mutex_);
  pointer_x_ = x;
  pointer_y_ = y;
  if (Win* w = find(pointer_target())) queue(w->id, pointer_event(*w, WindowEvent::PointerMove, 0));
}

void VirtualDesktop::press(int button) {
  if (button < 1 || button > 3) return;
  std::lock_guard lock(mutex_);
  // Click to focus: a press without capture or grab focuses and raises the
  // window under the pointer (ours or another program's).
  if (!capture_ && !grab_) {
    const WindowId under = top_at(pointer_x_, pointer_y_);
    Win* w = find(under);
    if (w && !w->is_desktop) {
      restack(under);
      focus_window(under);
    }
  }
  const WindowId target = pointer_target();
  buttons_held_ |= 1u << button;
  if (!capture_ && !grab_ && target) grab_ = target;
  if (!target) return;
  const int64_t now = clock_.now_ms();
  const bool double_click = button == last_press_button_ && target == last_press_window_ &&
                            now - last_press_ms_ < screen_.double_click_ms &&
                            std::abs(pointer_x_ - last_press_x_) <= 4 &&
                            std::abs(pointer_y_ - last_press_y_) <= 4;
  if (double_click) {
    last_press_button_ = 0;  // a third press starts a new click
  } else {
    last_press_button_ = button;
    last_press_window_ = target;
    last_press_ms_ = now;
    last_press_x_ = pointer_x_;
    last_press_y_ = pointer_y_;
  }
  queue(target, pointer_event(*find(target), double_click ? WindowEvent::DoubleClick : WindowEvent::ButtonDown,
                              button));
}

void VirtualDesktop::release(int button) {
  if (button < 1 || button > 3) return;
  std::lock_guard lock(mutex_);
  const WindowId target = pointer_target();
  buttons_held_ &= ~(1u << button);
  if (buttons_held_ == 0) grab_ = 0;
  if (target) queue(target, pointer_event(*find(target), WindowEvent::ButtonUp, button));
}

void VirtualDesktop::wheel(int notches) {
  std::lock_guard lock(mutex_);
  const WindowId target = pointer_target();
  if (!target) return;
  // One event per notch, as a wheel reports them; the position is the
  // pointer's screen position.
  const int step = notches > 0 ? 1 : -1;
  for (int i = 0; i < std::abs(notches); ++i) {
    WindowEvent e;
    e.type = WindowEvent::Wheel;
    e.x = pointer_x_;
    e.y = pointer_y_;
    e.wheel_delta = step;
    e.modifiers = modifiers_;
    queue(target, e);
  }
}

void VirtualDesktop::key(Key key, bool down) {
  std::lock_guard lock(mutex_);
  unsigned bit = 0;
  if (key == Key::Shift) bit = kShift;
  if (key == Key::Ctrl) bit = kCtrl;
  if (key == Key::Alt) bit = kAlt;
  if (down)
    modifiers_ |= bit;
  else
    modifiers_ &= ~bit;
  Win* w = find(focus_);
  if (!w || !w->ours || !shown(*w)) return;
  WindowEvent e;
  e.type = down ? WindowEvent::KeyDown : WindowEvent::KeyUp;
  e.key = key;
  e.modifiers = modifiers_;
  queue(focus_, e);
}

void VirtualDesktop::type(uint32_t character) {
  std::lock_guard lock(mutex_);
  Win* w = find(focus_);
  if (!w || !w->ours || !shown(*w)) return;
  if (modifiers_ & kCtrl) {
    if ((character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z'))
      character &= 0x1F;
  }
  WindowEvent e;
  e.type = WindowEvent::Character;
  e.character = character;
  e.modifiers = modifiers_;
  queue(focus_, e);
}

void VirtualDesktop::drop_files(int x, int y, const std::vector<std::string>& paths) {
  std::lock_guard lock(mutex_);
  pointer_x_ = x;
  pointer_y_ = y;
  if (paths.empty()) return;
  Win* w = find(top_at(x, y));
  if (!w || !w->ours || !w->spec.accept_drops) return;
  WindowEvent e = pointer_event(*w, WindowEvent::FilesDropped, 0);
  e.files = paths;
  queue(w->id, e);
}

unsigned VirtualDesktop::modifiers() {
  std::lock_guard lock(mutex_);
  return modifiers_;
}

void VirtualDesktop::set_pointer_shape(PointerShape shape) {
  std::lock_guard lock(mutex_);
  shape_ = shape;
}

PointerShape VirtualDesktop::pointer_shape() {
  std::lock_guard lock(mutex_);
  return shape_;
}

}  // namespace kivo::port::headless
