// Output of the window layer: copying the backing pixmap to the window,
// drawing images straight onto a window, showing directx pixmaps and
// reading the screen back.
#include <algorithm>
#include <mutex>

#include "toolkit/core/llgui_internal.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/display.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::backend;
using kivo::pxmap::PixelView;
using namespace kivo::core::llgui;

PixelView view_of(const kivo::port::Surface* s) {
  if (!s) return {};
  return {s->pixels, s->width, s->height, s->stride};
}

bool alive(const kvllgui_window* w) { return w && w->open && w->handle; }

// The shown copy of a window is written by the thread that paints (main)
// and by a frame thread that draws on the window directly.
std::mutex& shown_mutex() {
  static std::mutex m;
  return m;
}

// The shown copy of a window, made on first use from the backing pixmap
// (the best knowledge of what the window shows).
kivo::port::Surface* shown_copy(kvllgui_window* w) {
  if (w->shown) return w->shown;
  kivo::port::Surface* backing = kvpxmap_surface(&w->pxmap);
  if (!backing) return nullptr;
  w->shown = backend().surfaces().create(backing->width, backing->height);
  if (w->shown)
    kivo::pxmap::copy_opaque(view_of(w->shown), 0, 0, view_of(backing), 0, 0, backing->width, backing->height);
  return w->shown;
}

}  // namespace

namespace kivo::core::llgui {

bool resize_backing(kvllgui_window* w, int width, int height) {
  kvpxmap_resize(&w->pxmap, width, height);
  const bool ok = w->pxmap.width == width && w->pxmap.height == height;
  std::lock_guard lock(shown_mutex());
  if (w->shown) {
    backend().surfaces().destroy(w->shown);
    w->shown = nullptr;
  }
  return ok;
}

void update_shown(kvllgui_window* w, int x, int y, int width, int height, int src_x, int src_y) {
  kivo::port::Surface* backing = kvpxmap_surface(&w->pxmap);
  if (!w->shown || !backing) return;
  kivo::pxmap::copy_opaque(view_of(w->shown), x, y, view_of(backing), src_x, src_y, width, height);
}

void drop_shown(kvllgui_window* w) {
  std::lock_guard lock(shown_mutex());
  if (w->shown) backend().surfaces().destroy(w->shown);
  w->shown = nullptr;
}

kvllgui_window*& current_dc() {
  thread_local kvllgui_window* current = nullptr;
  return current;
}

}  // namespace kivo::core::llgui

void kvllgui_redraw(kvllgui_window* w, int x, int y, int width, int height, int src_x, int src_y,
                    bool force) {
  if (!alive(w) || w->noredraw) return;
  if (kvdrawing_suspended() && !force) return;
  kivo::port::Surface* backing = kvpxmap_surface(&w->pxmap);
  if (!backing) return;
  if (width <= 0) width = w->pxmap.width;
  if (height <= 0) height = w->pxmap.height;
  if (!kivo::pxmap::clip_copy(x, y, src_x, src_y, width, height, backing->width, backing->height,
                              w->pxmap.width, w->pxmap.height))
    return;
  auto& windows = backend().windows();
  {
    std::lock_guard lock(shown_mutex());
    if (w->shown) {
      update_shown(w, x, y, width, height, src_x, src_y);
      windows.present(w->handle, *w->shown, x, y, width, height, x, y, false);
    } else {
      windows.present(w->handle, *backing, src_x, src_y, width, height, x, y, false);
    }
  }
  if (!state().in_paint) backend().display().flush();
}

void kvllgui_invalidate(kvllgui_window* w) {
  // A paint only copies the backing pixmap: do it now.
  kvllgui_redraw(w, 0, 0, 0, 0, 0, 0, false);
}

void kvllgui_getdc(kvllgui_window* w) {
  if (alive(w)) current_dc() = w;
}

void kvllgui_releasedc(kvllgui_window* w) {
  if (current_dc() == w) current_dc() = state().in_paint ? state().painting.load() : nullptr;
  backend().display().flush();
}

void kvllgui_drawimage(kvpxmap* image, int x, int y, int width, int height, int src_x, int src_y) {
  kvllgui_window* w = current_dc();
  if (!alive(w) || !image) return;
  const PixelView src = kivo::pxmap::pixel_view(image);
  if (!src.pixels) return;
  if (width <= 0) width = src.width;
  if (height <= 0) height = src.height;
  if (!kivo::pxmap::clip_copy(x, y, src_x, src_y, width, height, src.width, src.height, w->pxmap.width,
                              w->pxmap.height))
    return;
  kivo::port::Surface* mask = kvpxmap_mask(image);
  kivo::port::Surface* surface = kvpxmap_surface(image);
  auto& windows = backend().windows();
  std::lock_guard lock(shown_mutex());
  if (!mask && surface && !w->shown) {
    windows.present(w->handle, *surface, src_x, src_y, width, height, x, y, false);
    return;
  }
  kivo::port::Surface* shown = shown_copy(w);
  if (!shown) return;
  if (mask)
    kivo::pxmap::and_or(view_of(shown), x, y, view_of(mask), src, src_x, src_y, width, height);
  else
    kivo::pxmap::copy_opaque(view_of(shown), x, y, src, src_x, src_y, width, height);
  windows.present(w->handle, *shown, x, y, width, height, x, y, false);
}

void kvllgui_showpxmap(kvllgui_window* w, kvpxmap* p, bool wait) {
  if (!alive(w) || !p) return;
  kivo::port::Surface* surface = kvpxmap_surface(p);
  if (!surface) return;
  const int width = std::min(surface->width, w->pxmap.width);
  const int height = std::min(surface->height, w->pxmap.height);
  if (width <= 0 || height <= 0) return;
  {
    std::lock_guard lock(shown_mutex());
    if (w->shown) kivo::pxmap::copy_opaque(view_of(w->shown), 0, 0, view_of(surface), 0, 0, width, height);
  }
  backend().windows().present(w->handle, *surface, 0, 0, width, height, 0, 0, wait);
  if (!wait) backend().display().flush();
}

void kvllgui_grabscreen(kvpxmap* p, int x, int y, int src_x, int src_y, int width, int height) {
  if (!p) return;
  const PixelView dst = kivo::pxmap::pixel_view(p);
  if (!dst.pixels) return;
  // Clip to the pixmap; the screen side clips itself.
  if (x < 0) { src_x -= x; width += x; x = 0; }
  if (y < 0) { src_y -= y; height += y; y = 0; }
  width = std::min(width, dst.width - x);
  height = std::min(height, dst.height - y);
  if (width <= 0 || height <= 0) return;
  backend().display().capture_screen(src_x, src_y, width, height, dst.row(y) + x, dst.stride);
}
