// Opening and closing windows of the window layer, and the small window
// services: title, position, activation, raising, keeping above the
// desktop, pointer capture and the tray.
#include <algorithm>
#include <cstring>

#include "toolkit/core/llgui_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/display.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/tray.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::backend;
using namespace kivo::core::llgui;

kivo::port::Windows& windows() { return backend().windows(); }

bool alive(const kvllgui_window* w) { return w && w->open && w->handle; }

}  // namespace

bool kvllgui_open(kvllgui_window* w, kvcallback callback, intptr_t owner, int x, int y, int width,
                  int height, const char* title, bool sysmenu, bool resizebox, bool fullscreen,
                  bool modal, bool noresize, bool popup, bool notitle, bool setwindowsize) {
  if (!w) return false;
  if (w->open) kvllgui_close(w);
  std::string text = title ? title : "";
  if (text.size() > size_t(kvllgui_title_max)) text.resize(size_t(kvllgui_title_max));

  kivo::port::WindowSpec spec;
  spec.accept_drops = true;
  spec.popup = popup;
  spec.full_screen = fullscreen;
  spec.caption = !fullscreen && !popup && !text.empty() && !notitle;
  spec.minimise_box = sysmenu;
  spec.maximise_box = resizebox;
  spec.sizing_frame = !fullscreen && !noresize && !popup && !notitle;
  spec.layer = modal ? kivo::port::WindowLayer::OnTop : kivo::port::WindowLayer::Normal;
  spec.tool_window = notitle;

  if (fullscreen) {
    x = y = 0;
    if (!setwindowsize) {
      width = backend().display().screen_width();
      height = backend().display().screen_height();
    }
  }
  if (x == -1) {
    const kivo::port::Rect area = backend().desktop().work_area();
    x = area.x;
    y = area.y;
  }
  width = std::clamp(width, 1, kvpxmap_max_dimension);
  height = std::clamp(height, 1, kvpxmap_max_dimension);

  *w = kvllgui_window{};
  kvpxmap_init(&w->pxmap);
  w->pxmap.width = width;
  w->pxmap.height = height;
  w->pxmap.format = KVPX_SERVER;
  if (!kvpxmap_allocate(&w->pxmap)) {
    kvpxmap_free(&w->pxmap);
    return false;
  }

  // Popups belong to the main window; windows without a title to nobody.
  State& s = state();
  if (popup && !notitle && alive(s.main_window)) spec.owner = s.main_window->handle;
  spec.x = x;
  spec.y = y;
  spec.width = width;
  spec.height = height;
  spec.title = to_utf8(text);
  spec.handler = on_port_event;
  spec.user = nullptr;
  const kivo::port::WindowId handle = windows().create(spec);
  if (!handle) {
    kvpxmap_free(&w->pxmap);
    return false;
  }
  w->handle = handle;
  w->title = text;
  w->callback = callback;
  w->owner = owner;
  w->popup = popup;
  w->modal = modal;
  kvllgui_register(layer_handler, reinterpret_cast<intptr_t>(w), handle);
  const kivo::port::Rect outer = windows().outer_rect(handle);
  w->x = outer.x;
  w->y = outer.y;
  w->width = outer.width;
  w->height = outer.height;
  const kivo::port::Rect client = windows().client_rect(handle);
  if (client.width != width || client.height != height) windows().resize(handle, width, height);
  const std::vector<uint32_t> icon = icon_pixels(32);
  windows().set_icon(handle, icon.data(), 32, 32);
  if (popup) windows().capture_pointer(handle);
  w->open = 1;
  if (!popup && !modal) s.main_window = w;
  return true;
}

void kvllgui_close(kvllgui_window* w) {
  if (!w || !w->open) return;
  State& s = state();
  if (w->intray) backend().tray().remove(w->handle);
  kvpxmap_free(&w->pxmap);
  kvllgui_unregister(layer_handler, reinterpret_cast<intptr_t>(w));
  if (w->popup) windows().release_pointer();
  drop_shown(w);
  windows().destroy(w->handle);
  if (s.main_window == w) s.main_window = nullptr;
  if (s.painting == w) s.painting = nullptr;
  if (current_dc() == w) current_dc() = nullptr;
  *w = kvllgui_window{};
}

void kvllgui_directdraw(kvllgui_window* w, bool clipper, bool setwindowsize, bool depth16) {
  if (!alive(w) || w->ddsetup) return;
  if (!state().devices_known) kvdd_enumerate();
  w->ddsetup = 1;
  w->clipper = clipper;
  w->exclusive = setwindowsize;
  if (setwindowsize) windows().set_layer(w->handle, kivo::port::WindowLayer::OnTop);
  // The screen's pixel layout decides how directx colours are reduced.
  const int depth = backend().display().depth();
  const bool sixteen = depth == 16 || (setwindowsize && depth16);
  kvpxmap_setscreenlayout(sixteen ? 16 : 32, true);
}

void kvllgui_settitle(kvllgui_window* w, const char* text) {
  if (!alive(w)) return;
  std::string t = text ? text : "";
  if (t.size() > size_t(kvllgui_title_max)) t.resize(size_t(kvllgui_title_max));
  w->title = t;
  windows().set_title(w->handle, to_utf8(t));
}

int kvllgui_clientx(kvllgui_window* w) { return alive(w) ? windows().client_rect(w->handle).x : 0; }
int kvllgui_clienty(kvllgui_window* w) { return alive(w) ? windows().client_rect(w->handle).y : 0; }
int kvllgui_width(kvllgui_window* w) { return alive(w) ? windows().outer_rect(w->handle).width : 0; }
int kvllgui_height(kvllgui_window* w) { return alive(w) ? windows().outer_rect(w->handle).height : 0; }

void kvllgui_move(kvllgui_window* w, int x, int y) {
  if (!alive(w)) return;
  windows().move(w->handle, x, y);
  w->x = x;
  w->y = y;
}

void kvllgui_activate(kvllgui_window* w) {
  if (!alive(w)) return;
  windows().raise(w->handle);
  windows().activate(w->handle);
}

void kvllgui_raise(kvllgui_window* w) {
  if (!alive(w)) return;
  const kivo::port::Rect outer = windows().outer_rect(w->handle);
  if (backend().desktop().window_at(outer.x + 1, outer.y + 1) != w->handle) windows().raise(w->handle);
}

void kvllgui_keepondesktop(kvllgui_window* w, int x, int y, int width, int height) {
  if (!alive(w)) return;
  auto& desktop = backend().desktop();
  const kivo::port::Rect outer = windows().outer_rect(w->handle);
  const kivo::port::WindowId found = desktop.window_at(outer.x + 1, outer.y + 1);
  if (found == w->handle) return;
  State& s = state();
  if (!s.desktop_window && found && found != s.last_found) {
    const kivo::port::Rect screen{0, 0, backend().display().screen_width(), backend().display().screen_height()};
    for (const auto& top : desktop.top_levels()) {
      if (top.id != found) continue;
      if (top.is_desktop || top.title.find("Program Manager") != std::string::npos || top.rect == screen)
        s.desktop_window = found;
    }
  }
  s.last_found = found;
  // Nothing at all at that point is the bare desktop as well (no desktop
  // window runs, and ours is not shown there).
  if (found != 0 && found != s.desktop_window) return;
  windows().set_layer(w->handle, kivo::port::WindowLayer::OnTop);
  windows().set_layer(w->handle, kivo::port::WindowLayer::Normal);
  windows().move(w->handle, x, y);
  const kivo::port::Rect client = windows().client_rect(w->handle);
  const int cw = width - (outer.width - client.width), ch = height - (outer.height - client.height);
  if (cw > 0 && ch > 0 && (cw != client.width || ch != client.height)) windows().resize(w->handle, cw, ch);
}

void kvllgui_capture(kvllgui_window* w) {
  if (alive(w)) windows().capture_pointer(w->handle);
}

void kvllgui_releasecapture() { windows().release_pointer(); }

bool kvllgui_totray(kvllgui_window* w) {
  if (!alive(w)) return false;
  const std::vector<uint32_t> icon = icon_pixels(16);
  if (!backend().tray().add(w->handle, icon.data(), 16, 16, to_utf8(w->title))) return false;
  windows().hide(w->handle);
  w->intray = 1;
  return true;
}

void kvllgui_fromtray(kvllgui_window* w) {
  if (!alive(w)) return;
  backend().tray().remove(w->handle);
  windows().show(w->handle);
  windows().restore(w->handle);
  w->intray = 0;
}
