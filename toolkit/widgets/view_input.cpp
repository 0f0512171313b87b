// kvView input: pointer dispatch to child regions, hover, keys, the wheel
// and the movement of the keyboard focus.
#include <algorithm>

#include "toolkit/core/llgui.h"
#include "toolkit/widgets/view_internal.h"

using kivo::widgets::ViewAccess;

namespace {

// The view's own code for a pointer event (index into codes), -1 for none.
int code_index(int message) {
  switch (message) {
    case KV_MSG_LBUTTONDOWN: return 1;
    case KV_MSG_LBUTTONUP: return 2;
    case KV_MSG_MBUTTONDOWN: return 3;
    case KV_MSG_MBUTTONUP: return 4;
    case KV_MSG_RBUTTONDOWN: return 5;
    case KV_MSG_RBUTTONUP: return 6;
    case KV_MSG_LBUTTONDBL: return 7;
    case KV_MSG_RBUTTONDBL: return 8;
    case KV_MSG_POINTERMOVE: return 9;
    case KV_MSG_WHEELUP: return 12;
    case KV_MSG_WHEELDOWN: return 13;
    default: return -1;
  }
}

bool inside(const kvViewRegion& r, int px, int py) {
  // Borders excluded.
  return r.x < px && px < r.x + r.width && r.y < py && py < r.y + r.height;
}

}  // namespace

void kvView::lose_focus_of(int index) {
  if (index < 0 || index >= int(regions.size())) return;
  if (regions[size_t(index)].in_use) ViewAccess::send(regions[size_t(index)], KV_CHILD_LOSEFOCUS);
}

intptr_t kvView::pointer_event(int code, int hx, int hy) {
  if (!created || !visible) return 0;
  // The scroll bars first: a held arrow or a dragged knob keeps the pointer.
  for (kvScrollBar* bar : {&vbar, &hbar}) {
    const bool shown = bar == &vbar ? showsVertical : showsHorizontal;
    if (shown && (bar->busy() || (code != KV_MSG_POINTERMOVE && bar->contains(hx, hy)))) {
      bar->pointer(code, hx, hy);
      return 1;
    }
  }
  const bool captured = captureRegion >= 0 && captureRegion < int(regions.size()) &&
                        regions[size_t(captureRegion)].in_use;
  const bool in_view = hx >= x && hy >= y && hx < x + width && hy < y + height;
  if (!captured && !in_view) return 0;

  const bool left_press = code == KV_MSG_LBUTTONDOWN || code == KV_MSG_LBUTTONDBL;
  if (left_press && !focused && host(KV_HOST_WANTFOCUS, region)) focused = true;
  const int px = hx - ViewAccess::origin_x(*this), py = hy - ViewAccess::origin_y(*this);
  if (code != KV_MSG_POINTERMOVE) {
    screenPointerX = int(host(KV_HOST_SCREENX)) + hx;
    screenPointerY = int(host(KV_HOST_SCREENY)) + hy;
  }

  if (code == KV_MSG_POINTERMOVE) {
    pointer_move(px, py);
  } else if (captured) {
    ViewAccess::send(regions[size_t(captureRegion)], code, px, py);
  } else {
    bool taken = false;
    const std::vector<kvViewRegion> snapshot = regions;
    for (const kvViewRegion& r : snapshot) {
      if (!r.in_use || !r.mouse || !inside(r, px, py)) continue;
      ViewAccess::send(r, code, px, py);
      taken = true;
    }
    if (left_press && !taken && focusRegion >= 0) {
      const int old = focusRegion;
      focusRegion = -1;
      lose_focus_of(old);
    }
  }
  const int index = code_index(code);
  if (index >= 0) fire(codes[index], px, py);
  return 1;
}

void kvView::pointer_move(int px, int py) {
  pointerX = px;
  pointerY = py;
  if (captureRegion >= 0 && captureRegion < int(regions.size()) && regions[size_t(captureRegion)].in_use) {
    ViewAccess::send(regions[size_t(captureRegion)], KV_MSG_POINTERMOVE, px, py);
    return;
  }
  int new_hover = -1;
  const std::vector<kvViewRegion> snapshot = regions;
  for (size_t i = 0; i < snapshot.size(); ++i) {
    const kvViewRegion& r = snapshot[i];
    if (!r.in_use || !r.mouse || !inside(r, px, py)) continue;
    ViewAccess::send(r, KV_MSG_POINTERMOVE, px, py);
    if (r.hover) new_hover = int(i);
  }
  if (new_hover == hoverRegion) return;
  const int old = hoverRegion;
  hoverRegion = new_hover;
  if (old >= 0 && old < int(regions.size()) && regions[size_t(old)].in_use)
    ViewAccess::send(regions[size_t(old)], KV_CHILD_LEAVE);
  if (new_hover >= 0 && regions[size_t(new_hover)].in_use) ViewAccess::send(regions[size_t(new_hover)], KV_CHILD_ENTER);
}

intptr_t kvView::key_event(int code, int key) {
  if (!created || !visible) return 0;
  const bool has_focus_region =
      focusRegion >= 0 && focusRegion < int(regions.size()) && regions[size_t(focusRegion)].in_use;
  if (has_focus_region) {
    ViewAccess::send(regions[size_t(focusRegion)], code, key);
  } else if (code == KV_MSG_KEYDOWN && !nokeyscroll) {
    if (key == KV_KEY_UP) scroll(KV_SCROLL_UP);
    if (key == KV_KEY_DOWN) scroll(KV_SCROLL_DOWN);
  }
  if (code != KV_MSG_KEYDOWN) return 1;
  if (key == KV_KEY_ESCAPE && focusRegion >= 0) {
    const int old = focusRegion;
    focusRegion = -1;
    lose_focus_of(old);
  } else if (key == KV_KEY_TAB) {
    const bool keeps_tab = focusRegion >= 0 && focusRegion < int(regions.size()) &&
                           regions[size_t(focusRegion)].in_use && regions[size_t(focusRegion)].wantstab;
    if (!keeps_tab) move_focus();
  }
  return 1;
}

void kvView::wheel_event(int code) {
  if (!created || !visible) return;
  const bool has_focus_region =
      focusRegion >= 0 && focusRegion < int(regions.size()) && regions[size_t(focusRegion)].in_use;
  if (has_focus_region && !scrollwheelalways)
    ViewAccess::send(regions[size_t(focusRegion)], code, pointerX, pointerY);
  else
    scroll(code == KV_MSG_WHEELUP ? KV_SCROLL_UP : KV_SCROLL_DOWN);
  fire(codes[code_index(code)], pointerX, pointerY);
}

void kvView::move_focus() {
  if (nofocus || !visible || !created) return;
  host(KV_HOST_WANTFOCUS, region);
  std::vector<int> focusable;
  for (size_t i = 0; i < regions.size(); ++i)
    if (regions[i].in_use && regions[i].focusable) focusable.push_back(int(i));
  if (focusable.empty()) return;
  if (focusable.size() == 1) {
    const int only = focusable.front();
    if (focusRegion != only && ViewAccess::send(regions[size_t(only)], KV_CHILD_TAKEFOCUS)) focusRegion = only;
    return;
  }
  const bool has_focus_region =
      focusRegion >= 0 && focusRegion < int(regions.size()) && regions[size_t(focusRegion)].in_use;
  if (has_focus_region && ViewAccess::send(regions[size_t(focusRegion)], KV_CHILD_HANDLESTAB)) return;
  const int n = int(regions.size());
  const int start = has_focus_region ? focusRegion : n - 1;
  for (int step = 1; step <= n; ++step) {
    const int i = (start + step) % n;
    if (i == focusRegion) break;
    if (i >= int(regions.size())) break;
    const kvViewRegion r = regions[size_t(i)];
    if (!r.in_use || !r.focusable) continue;
    if (!ViewAccess::send(r, KV_CHILD_TAKEFOCUS)) continue;
    const int old = focusRegion;
    focusRegion = i;
    if (old >= 0 && old != i) lose_focus_of(old);
    return;
  }
}

bool kvView::focus_request(int index) {
  if (nofocus || index < 0 || index >= int(regions.size()) || !regions[size_t(index)].in_use) return false;
  if (focusRegion >= 0 && focusRegion != index) lose_focus_of(focusRegion);
  focusRegion = index;
  if (!host(KV_HOST_WANTFOCUS, region)) return false;
  focused = true;
  ViewAccess::send(regions[size_t(index)], KV_CHILD_TAKEFOCUS);
  return true;
}
