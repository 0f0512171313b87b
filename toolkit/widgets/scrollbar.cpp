#include "toolkit/widgets/scrollbar.h"

#include <algorithm>

#include "toolkit/core/draw.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/core/runtime.h"
#include "toolkit/widgets/protocol.h"

namespace {
constexpr int kMinKnob = 8;
}

kvScrollBar::~kvScrollBar() { stop_repeat(); }

void kvScrollBar::create(kvcallback owner, intptr_t owner_object, kvpxmap* surface, int bx, int by, int bw,
                         int bh, bool vertical) {
  stop_repeat();
  owner_ = owner;
  owner_object_ = owner_object;
  vertical_ = vertical;
  pressed_ = 0;
  dragging_ = false;
  knob_size_ = 100;
  knob_pos_ = 0;
  created_ = true;
  place(surface, bx, by, bw, bh);
}

void kvScrollBar::place(kvpxmap* surface, int bx, int by, int bw, int bh) {
  surface_ = surface;
  x = bx;
  y = by;
  width = std::max(0, bw);
  height = std::max(0, bh);
}

void kvScrollBar::setKnob(int size_percent, int position_percent) {
  knob_size_ = std::clamp(size_percent, 0, 100);
  knob_pos_ = std::clamp(position_percent, 0, 100);
}

bool kvScrollBar::contains(int px, int py) const {
  return created_ && px >= x && py >= y && px < x + width && py < y + height;
}

kvScrollBar::Track kvScrollBar::track() const {
  Track t;
  const int thickness = vertical_ ? width : height;
  const int length = vertical_ ? height : width;
  const int origin = vertical_ ? y : x;
  t.start = origin + thickness;
  t.length = std::max(0, length - 2 * thickness);
  t.knob_length = std::clamp(t.length * knob_size_ / 100, std::min(kMinKnob, t.length), t.length);
  t.knob_start = t.start + (t.length - t.knob_length) * knob_pos_ / 100;
  return t;
}

void kvScrollBar::draw() {
  if (!created_ || !surface_ || width <= 0 || height <= 0) return;
  const int face = kvcolor(KV_COLOR_GREY), light = kvcolor(KV_COLOR_WHITE), dark = kvcolor(KV_COLOR_DARK);
  const int black = kvcolor(KV_COLOR_TEXT);
  const Track t = track();
  const int thickness = vertical_ ? width : height;
  // Track.
  kvdraw_fillrect(surface_, x, y, width, height, kvcolor(KV_COLOR_VERYLIGHT));
  // Arrow buttons.
  for (int arrow = 1; arrow <= 2; ++arrow) {
    const int ax = vertical_ ? x : (arrow == 1 ? x : x + width - thickness);
    const int ay = vertical_ ? (arrow == 1 ? y : y + height - thickness) : y;
    const int aw = vertical_ ? width : std::min(thickness, width);
    const int ah = vertical_ ? std::min(thickness, height) : height;
    const bool down = pressed_ == arrow;
    kvdraw_box3d(surface_, ax, ay, aw, ah, face, down ? dark : light, down ? light : dark);
    const char* name = vertical_ ? (arrow == 1 ? "up" : "down") : (arrow == 1 ? "left" : "right");
    kvdraw_arrow(surface_, name, ax + (down ? 1 : 0), ay + (down ? 1 : 0), aw, ah, black);
  }
  // Knob.
  if (t.length > 0 && knob_size_ < 100) {
    if (vertical_)
      kvdraw_box3d(surface_, x, t.knob_start, width, t.knob_length, face, light, dark);
    else
      kvdraw_box3d(surface_, t.knob_start, y, t.knob_length, height, face, light, dark);
  }
}

void kvScrollBar::send(int command, intptr_t value) {
  if (owner_) owner_(owner_object_, command, value, 0, 0, 0, 0, 0, 0, 0);
}

void kvScrollBar::redraw_and_show() {
  draw();
  if (owner_) owner_(owner_object_, kvscrollbar_drawn, x, y, width, height, 0, 0, 0, 0);
}

int kvScrollBar::arrow_command(int arrow) const {
  if (vertical_) return arrow == 1 ? KV_SCROLL_UP : KV_SCROLL_DOWN;
  return arrow == 1 ? KV_SCROLL_LEFT : KV_SCROLL_RIGHT;
}

void kvScrollBar::stop_repeat() {
  if (repeating_) kvtimer_remove(reinterpret_cast<intptr_t>(this), 0);
  repeating_ = false;
}

intptr_t kvScrollBar::repeat(intptr_t object, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                             intptr_t, intptr_t) {
  auto* bar = reinterpret_cast<kvScrollBar*>(object);
  if (!bar->pressed_) {
    bar->stop_repeat();
    return 0;
  }
  kvtimer_change(kvscrollbar_repeat_ms, object, 0);
  bar->send(bar->arrow_command(bar->pressed_));
  return 0;
}

bool kvScrollBar::pointer(int code, int px, int py) {
  if (!created_) return false;
  const int along = vertical_ ? py : px;
  const int thickness = vertical_ ? width : height;
  const Track t = track();
  switch (code) {
    case KV_MSG_LBUTTONDOWN:
    case KV_MSG_LBUTTONDBL: {
      if (!contains(px, py)) return false;
      const int origin = vertical_ ? y : x;
      const int length = vertical_ ? height : width;
      if (along < origin + thickness || along >= origin + length - thickness) {
        pressed_ = along < origin + thickness ? 1 : 2;
        repeating_ = true;
        kvtimer_add(repeat, reinterpret_cast<intptr_t>(this), kvscrollbar_repeat_first_ms, 0);
        redraw_and_show();
      } else if (knob_size_ < 100 && along >= t.knob_start && along < t.knob_start + t.knob_length) {
        dragging_ = true;
        drag_offset_ = along - t.knob_start;
      } else {
        // Page commands of a horizontal bar carry 1, so the owner pages sideways.
        send(along < t.knob_start ? KV_SCROLL_PAGEUP : KV_SCROLL_PAGEDOWN, vertical_ ? 0 : 1);
      }
      return true;
    }
    case KV_MSG_POINTERMOVE: {
      if (dragging_) {
        const int room = t.length - t.knob_length;
        int start = std::clamp(along - drag_offset_, t.start, t.start + room);
        const int percent = room > 0 ? (start - t.start) * 100 / room : 0;
        send(vertical_ ? KV_SCROLL_VPOS : KV_SCROLL_HPOS, percent);
        return true;
      }
      return busy() || contains(px, py);
    }
    case KV_MSG_LBUTTONUP: {
      if (dragging_) {
        dragging_ = false;
        return true;
      }
      if (pressed_) {
        const int arrow = pressed_;
        pressed_ = 0;
        stop_repeat();
        send(arrow_command(arrow));
        redraw_and_show();
        return true;
      }
      return contains(px, py);
    }
    case KV_CHILD_LEAVE: {
      const bool was = busy();
      dragging_ = false;
      if (pressed_) {
        pressed_ = 0;
        stop_repeat();
        redraw_and_show();
      }
      return was;
    }
    default: return false;
  }
}
