// kvView as a host of child controls: their regions, updates, focus and
// capture requests, and the message function that routes everything.
#include <algorithm>

#include "toolkit/core/llgui.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/widgets/hosts.h"
#include "toolkit/widgets/view_internal.h"

namespace kivo::widgets {

void ViewAccess::copy_to_host(kvView& v, int sx, int sy, int dx, int dy, int w, int h) {
  kvpxmap* page = v.page();
  kvpxmap* host = v.hostsurface;
  if (!page || !host || w <= 0 || h <= 0) return;
  // Keep the copy inside the view's own rectangle.
  const int vx0 = v.x, vy0 = v.y, vx1 = v.x + v.width, vy1 = v.y + v.height;
  if (dx < vx0) { sx += vx0 - dx; w -= vx0 - dx; dx = vx0; }
  if (dy < vy0) { sy += vy0 - dy; h -= vy0 - dy; dy = vy0; }
  w = std::min(w, vx1 - dx);
  h = std::min(h, vy1 - dy);
  const kivo::pxmap::PixelView from = kivo::pxmap::pixel_view(page);
  const kivo::pxmap::PixelView to = kivo::pxmap::pixel_view(host);
  if (from.pixels && to.pixels) {
    if (kivo::pxmap::clip_copy(dx, dy, sx, sy, w, h, from.width, from.height, to.width, to.height))
      kivo::pxmap::copy_opaque(to, dx, dy, from, sx, sy, w, h);
    return;
  }
  if (kivo::pxmap::clip_copy(dx, dy, sx, sy, w, h, page->width, page->height, host->width, host->height))
    kvpxmap_merge4(host, page, dx, dy, sx, sy, w, h, 0);
}

}  // namespace kivo::widgets

using kivo::widgets::ViewAccess;

void kvView::update_page_area(int px, int py, int w, int h) {
  if (!created || !page_) return;
  if (own_) {
    const int hx = ViewAccess::origin_x(*this) + px, hy = ViewAccess::origin_y(*this) + py;
    ViewAccess::copy_to_host(*this, px, py, hx, hy, w, h);
    // The bars lie over the page.
    if (showsVertical) vbar.draw();
    if (showsHorizontal) hbar.draw();
    const int x0 = std::max(hx, x), y0 = std::max(hy, y);
    const int x1 = std::min(hx + w, x + width), y1 = std::min(hy + h, y + height);
    if (x1 > x0 && y1 > y0) host(KV_HOST_UPDATE, x0, y0, x1 - x0, y1 - y0);
  } else {
    host(KV_HOST_UPDATE, px, py, w, h);
  }
}

intptr_t kvView::host_message(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5,
                              intptr_t a6, intptr_t a7) {
  auto valid = [this](intptr_t r) { return r >= 0 && r < intptr_t(regions.size()) && regions[size_t(r)].in_use; };
  switch (code) {
    case KV_HOST_REGISTER: {
      kvViewRegion r;
      r.in_use = true;
      r.callback = reinterpret_cast<kvcallback>(a1);
      r.object = a2;
      r.x = int(a3);
      r.y = int(a4);
      r.width = int(a5);
      r.height = int(a6);
      const int flags = int(a7);
      r.mouse = flags & KV_REGION_MOUSE;
      r.focusable = (flags & KV_REGION_FOCUSABLE) && !nofocus;
      r.hover = flags & KV_REGION_HOVER;
      r.ownscroll = flags & KV_REGION_OWNSCROLL;
      r.wantstab = flags & KV_REGION_WANTSTAB;
      for (size_t i = 0; i < regions.size(); ++i) {
        if (!regions[i].in_use) {
          regions[i] = r;
          return intptr_t(i);
        }
      }
      if (regions.capacity() == 0) regions.reserve(5);
      if (regions.size() == regions.capacity()) regions.reserve(regions.size() + 100);
      regions.push_back(r);
      return intptr_t(regions.size()) - 1;
    }
    case KV_HOST_UNREGISTER:
      for (size_t i = 0; i < regions.size(); ++i) {
        if (!regions[i].in_use || regions[i].object != a1) continue;
        regions[i] = kvViewRegion{};
        if (focusRegion == int(i)) focusRegion = -1;
        if (captureRegion == int(i)) captureRegion = -1;
        if (hoverRegion == int(i)) hoverRegion = -1;
      }
      return 0;
    case KV_HOST_MOVEREGION:
      if (valid(a1)) {
        kvViewRegion& r = regions[size_t(a1)];
        r.x = int(a2);
        r.y = int(a3);
        r.width = int(a4);
        r.height = int(a5);
      }
      return 0;
    case KV_HOST_WIDTH: return width;
    case KV_HOST_HEIGHT: return height;
    case KV_HOST_SCREENX: return host(KV_HOST_SCREENX) + ViewAccess::origin_x(*this);
    case KV_HOST_SCREENY: return host(KV_HOST_SCREENY) + ViewAccess::origin_y(*this);
    case KV_HOST_UPDATE: update_page_area(int(a1), int(a2), int(a3), int(a4)); return 0;
    case KV_HOST_UPDATEALL: redraw(); return 0;
    case KV_HOST_WANTFOCUS: return focus_request(int(a1));
    case KV_HOST_NEXTFOCUS: move_focus(); return 0;
    case KV_HOST_SHOWREGION: show_region(int(a1)); return 0;
    case KV_HOST_OWNSCROLL:
      if (valid(a1)) regions[size_t(a1)].ownscroll = a2 != 0;
      return 0;
    case KV_HOST_CAPTURE:
      captureRegion = valid(a1) ? int(a1) : -1;
      host(KV_HOST_CAPTURE, region);
      return 0;
    case KV_HOST_RELEASE:
      captureRegion = -1;
      host(KV_HOST_RELEASE, region);
      return 0;
    case KV_HOST_CURRENTVIEW: return host(KV_HOST_CURRENTVIEW);
    case KV_HOST_NOIMMEDIATE: immediate = false; return 0;
    case KV_HOST_BGCOLOR: return bgcolor;
    case KV_HOST_TOSCREENFORMAT:
      if (own_) kvpxmap_convert2server(page_);
      return 0;
    case KV_HOST_HIDDEN: return !visible || host(KV_HOST_HIDDEN);
    case KV_HOST_SERVERAREA:
      return host(KV_HOST_SERVERAREA, a1 + ViewAccess::origin_x(*this), a2 + ViewAccess::origin_y(*this), a3, a4);
    case KV_HOST_LLWINDOW: return host(KV_HOST_LLWINDOW);
    case KV_HOST_WINDOWX: return host(KV_HOST_WINDOWX) + ViewAccess::origin_x(*this);
    case KV_HOST_WINDOWY: return host(KV_HOST_WINDOWY) + ViewAccess::origin_y(*this);
    case KV_HOST_SCROLLED: return host(KV_HOST_SCROLLED);
    default: return 0;
  }
}

intptr_t kvView::message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                         intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8) {
  auto* v = reinterpret_cast<kvView*>(object);
  return v ? v->answer(code, a1, a2, a3, a4, a5, a6, a7, a8) : 0;
}

intptr_t kvView::answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                        intptr_t a7, intptr_t) {
  if (code >= 8001 && code <= 8028) return host_message(code, a1, a2, a3, a4, a5, a6, a7);
  if (code >= 1001 && code <= 1050) return graphic(code, a1, a2, a3, a4, a5, a6, a7);
  auto to_children = [this](int c) {
    const std::vector<kvViewRegion> children = regions;
    for (const kvViewRegion& r : children)
      if (r.in_use) ViewAccess::send(r, c);
  };
  switch (code) {
    case KV_CHILD_DESTROY: destroy(); return 0;
    case KV_CHILD_RESIZED:
      if (followsHost && created) place(x, y, std::max(1, int(a1) - x), height);
      return 0;
    case KV_MSG_LBUTTONDOWN:
    case KV_MSG_LBUTTONUP:
    case KV_MSG_LBUTTONDBL:
    case KV_MSG_MBUTTONDOWN:
    case KV_MSG_MBUTTONUP:
    case KV_MSG_RBUTTONDOWN:
    case KV_MSG_RBUTTONUP:
    case KV_MSG_RBUTTONDBL:
    case KV_MSG_POINTERMOVE: return pointer_event(code, int(a1), int(a2));
    case KV_MSG_WHEELUP:
    case KV_MSG_WHEELDOWN: wheel_event(code); return 0;
    case KV_MSG_KEYDOWN:
    case KV_MSG_KEYUP: return key_event(code, int(a1));
    case KV_CHILD_TAKEFOCUS:
      if (nofocus || !visible || !created) return 0;
      focused = true;
      return 1;
    case KV_CHILD_LOSEFOCUS: focused = false; return 0;
    case KV_CHILD_HANDLESTAB: return 1;
    case KV_CHILD_LEAVE:
      hover = false;
      if (hoverRegion >= 0 && hoverRegion < int(regions.size()) && regions[size_t(hoverRegion)].in_use)
        ViewAccess::send(regions[size_t(hoverRegion)], KV_CHILD_LEAVE);
      hoverRegion = -1;
      vbar.pointer(KV_CHILD_LEAVE, 0, 0);
      hbar.pointer(KV_CHILD_LEAVE, 0, 0);
      return 0;
    case KV_CHILD_ENTER:
      hover = true;
      // "autofocus": the view takes the keyboard focus when the pointer enters it.
      if (autofocus && !focused && !nofocus && host(KV_HOST_WANTFOCUS, region)) focused = true;
      return 0;
    case KV_CHILD_REDRAW:
    case KV_CHILD_REFRESH: redraw(); return 0;
    case KV_MSG_PASTE:
    case KV_MSG_COPY:
    case KV_MSG_CUT:
      if (focusRegion >= 0 && focusRegion < int(regions.size()) && regions[size_t(focusRegion)].in_use)
        return ViewAccess::send(regions[size_t(focusRegion)], code);
      return 0;
    case KV_CHILD_SHOW:
      visible = true;
      to_children(code);
      redraw();
      return 0;
    case KV_CHILD_HIDE:
      visible = false;
      to_children(code);
      return 0;
    case KV_CHILD_RECREATE:
    case KV_CHILD_PRESAVE: to_children(code); return 0;
    case KV_SCROLL_UP:
    case KV_SCROLL_DOWN:
    case KV_SCROLL_LEFT:
    case KV_SCROLL_RIGHT:
    case KV_SCROLL_PAGEUP:
    case KV_SCROLL_PAGEDOWN:
    case KV_SCROLL_VPOS:
    case KV_SCROLL_HPOS: scroll(code, a1); return 0;
    case kvscrollbar_drawn: host(KV_HOST_UPDATE, a1, a2, a3, a4); return 0;
    default: return 0;
  }
}
