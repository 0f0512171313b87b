// kvWindow: creation from a configuration string, closing, the page
// operations of the standard view, freezing and the status bar.
#include "toolkit/widgets/window.h"

#include <algorithm>
#include <cstdarg>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/geometry.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/stdout.h"
#include "toolkit/core/strformat.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/desktop.h"
#include "toolkit/widgets/hosts.h"

namespace {

kvWindow*& most_recent() {
  static kvWindow* w = nullptr;
  return w;
}

}  // namespace

namespace kivo::widgets {
void reset_window_registry() { most_recent() = nullptr; }
}  // namespace kivo::widgets

kvWindow* kvwindow_mostrecent() { return most_recent(); }

kvWindow::kvWindow()
    : minimisedCode(kvnewid()),
      trayCode(kvnewid()),
      resizedCode(kvnewid()),
      droppedCode(kvnewid()),
      movedCode(kvnewid()),
      activatedCode(kvnewid()),
      deactivatedCode(kvnewid()) {
  self = &kvWindow::message;
}

kvWindow::~kvWindow() { close(); }

bool kvWindow::create(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const bool ok = vcreate(format, args);
  va_end(args);
  return ok;
}

bool kvWindow::vcreate(const char* format, va_list args) {
  if (created) close();
  // These words are looked up in the format before its arguments go in.
  const std::string raw = format ? format : "";
  const bool directx = kvcfgstr_lookup_flag(raw, "directx");
  const bool noclipper = kvcfgstr_lookup_flag(raw, "noclipper");
  const bool setwindowsize = kvcfgstr_lookup_flag(raw, "setwindowsize");
  const bool depth16 = kvcfgstr_lookup_flag(raw, "depth16bit");
  const bool ownpxmap = kvcfgstr_lookup_flag(raw, "ownpxmap");
  maxxs = kvcfgstr_lookup_int(raw, "maxxs", 0);
  maxys = kvcfgstr_lookup_int(raw, "maxys", 0);

  kvcfgstr_tokens t = kvcfgstr_vprocess(format ? format : "", args);
  title = t.empty() ? "" : t[0];
  if (title.size() > size_t(kvwindow_title_max)) title.resize(size_t(kvwindow_title_max));
  if (!t.empty()) t[0].clear();
  bool ignored = false;
  for (const char* word : {"directx", "noclipper", "setwindowsize", "depth16bit", "ownpxmap"})
    kvcfgstr_flag(t, 1, word, ignored);

  const int screen_w = kvsetting("screenxs"), screen_h = kvsetting("screenys");
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, screen_w, screen_h);
  const bool placed = kvcfgstr_geometry(t, 1, &g);
  kvgeometry_resolve(&g);
  kvcfg_content content;
  kvcfgstr_content(t, 1, content);
  kvcfg_winattr wa;
  kvcfgstr_winattr(t, 1, wa);
  kvcfg_winbars bars;
  kvcfgstr_winbars(t, 1, bars);
  const std::string rest = kvcfgstr_leftover(t, 1);

  bgcolor = wa.bgcolor >= 0 ? wa.bgcolor : kvcolor(KV_COLOR_GREY);
  quitOnClose = !wa.noquit;
  closeOnRequest = !wa.noclose && !wa.noquit;
  autoRefresh = !wa.noredraw;
  menuHeight = bars.menu;
  toolbarHeight = bars.toolbar;
  statusHeight = bars.statusbar;

  int w = g.width > 0 ? g.width : 100, h = g.height > 0 ? g.height : 100;
  int wx = g.x, wy = g.y;
  if (wa.fullscreen) {
    wx = wy = 0;
    if (!setwindowsize) {
      w = screen_w;
      h = screen_h;
    }
  } else if (wa.maximized) {
    // The maximal window area starts at the work area's corner (0, 0
    // unless a panel or a reserved strip lies along the top or left edge).
    const kivo::port::Rect area = kivo::port::backend().desktop().work_area();
    wx = area.x;
    wy = area.y;
    w = kvsetting("maxwindowxs");
    h = kvsetting("maxwindowys") - menuHeight - toolbarHeight - statusHeight;
  }
  if (maxxs > 0 && w > maxxs) w = maxxs;
  if (maxys > 0 && h > maxys) h = maxys;
  w = std::max(1, w);
  h = std::max(1, h);
  const int total_h = h + menuHeight + toolbarHeight + statusHeight;
  if (!placed && !wa.fullscreen && !wa.maximized) {
    // Centred on the work area, frame included.
    const kivo::port::Rect area = kivo::port::backend().desktop().work_area();
    const int border = kvsetting("windowbordersize"), caption = kvsetting("windowcaptionheight");
    const int outer_w = w + 2 * border, outer_h = total_h + 2 * border + (title.empty() ? 0 : caption);
    wx = area.x + (area.width - outer_w) / 2;
    wy = area.y + (area.height - outer_h) / 2;
  }

  if (!kvllgui_open(&llwin, &kvWindow::message, reinterpret_cast<intptr_t>(this), wx, wy, w, total_h,
                    title.c_str(), wa.sysmenu, wa.sysmenu && wa.resize, wa.fullscreen, wa.modal, !wa.resize,
                    wa.popup, wa.notitle, setwindowsize))
    return false;
  opened_ = true;
  kvwindows_opened();
  const intptr_t me = reinterpret_cast<intptr_t>(this);
  kvpxmap_clear(&llwin.pxmap, bgcolor);
  kvhost_register(&llwin.pxmap, &kvWindow::message, me, true, bgcolor);
  hostcb = nullptr;
  hostsurface = &llwin.pxmap;
  x = 0;
  y = 0;
  width = w;
  height = total_h;

  if (toolbarHeight > 0) {
    toolbar.create("server,x=0,y=%d,xs=%d,ys=%d,bgcolor=%06x,nofocus,no vertical scrollbar,"
                   "no horizontal scrollbar,resize",
                   menuHeight, w, toolbarHeight, bgcolor);
    kvhost_register(&llwin.pxmap, &kvWindow::message, me, true, bgcolor);
  }
  if (menuHeight > 0) {
    menu.create("server,x=0,y=0,xs=%d,ys=%d,bgcolor=%06x,nofocus,no vertical scrollbar,no horizontal scrollbar,"
                "resize",
                w, menuHeight, bgcolor);
    kvhost_register(&llwin.pxmap, &kvWindow::message, me, true, bgcolor);
  }
  const int page_w = content.width > 0 ? content.width : w;
  const int page_h = content.height > 0 ? content.height : h;
  current = 0;
  views[0].create("%sx=0,y=%d,xs=%d,ys=%d,pxs=%d,pys=%d,bgcolor=%06x%s", ownpxmap ? "" : "server,",
                  menuHeight + toolbarHeight, w, h, page_w, page_h, bgcolor, rest.c_str());
  if (!wa.nostandardview) views[0].makeStandard();
  if (statusHeight > 0) {
    status.create(&llwin.pxmap, 0, total_h - statusHeight, w, statusHeight, font, bgcolor, -1);
    status.draw();
  }
  if (directx) kvllgui_directdraw(&llwin, !noclipper, setwindowsize, depth16);
  for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) codes[i] = views[0].codes[i];
  created = true;
  most_recent() = this;
  kvllgui_redraw(&llwin, 0, 0, 0, 0, 0, 0, true);
  return true;
}

void kvWindow::close() {
  if (!created && !opened_) return;
  for (kvView& v : views) v.destroy();
  toolbar.destroy();
  menu.destroy();
  status = kvStatusBar{};
  const intptr_t me = reinterpret_cast<intptr_t>(this);
  kvllgui_close(&llwin);
  kvhost_unregister(&kvWindow::message, me);
  kvrefresh_unmark(&kvWindow::message, me);
  kvstdout_clear(&kvWindow::message, me);
  if (opened_) kvwindows_closed();
  opened_ = false;
  created = false;
  focused = false;
  title.clear();
  quitOnClose = closeOnRequest = autoRefresh = true;
  maxxs = maxys = 0;
  menuHeight = toolbarHeight = statusHeight = 0;
  current = 0;
  next_region_ = 0;
  hovered_ = nullptr;
  hostsurface = nullptr;
  if (most_recent() == this) most_recent() = nullptr;
}

// ---- Page drawing of the standard view ------------------------------------------------

void kvWindow::clear(int colour) { views[current].answer(KVG_CLEAR, colour, 0, 0, 0, 0, 0, 0, 0); }
void kvWindow::line(int x1, int y1, int x2, int y2, int colour) {
  views[current].answer(KVG_LINE, x1, y1, x2, y2, colour, 0, 0, 0);
}
void kvWindow::fillrect(int fx, int fy, int w, int h, int colour) {
  views[current].answer(KVG_FILLRECT, fx, fy, w, h, colour, 0, 0, 0);
}
void kvWindow::text(int tx, int ty, int colour, const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  const std::string s = kivo::core::vformat(format, args);
  va_end(args);
  views[current].answer(KVG_TEXT, tx, ty, colour, reinterpret_cast<intptr_t>(s.c_str()), 0, 0, 0, 0);
}
bool kvWindow::image(const char* configuration) {
  return views[current].answer(KVG_LOAD, reinterpret_cast<intptr_t>(configuration), 0, 0, 0, 0, 0, 0, 0) != 0;
}
void kvWindow::pixel(int px, int py, int colour) { views[current].answer(KVG_SETPIXEL, px, py, colour, 0, 0, 0, 0, 0); }
void kvWindow::pixmap(int px, int py, kvpxmap* p) {
  views[current].answer(KVG_MERGE, px, py, reinterpret_cast<intptr_t>(p), 0, 0, 0, 0, 0);
}
bool kvWindow::savePage(const char* configuration) {
  return views[current].answer(KVG_SAVE, reinterpret_cast<intptr_t>(configuration), 0, 0, 0, 0, 0, 0, 0) != 0;
}

void kvWindow::makeCurrentViewStandard() { views[current].makeStandard(); }

void kvWindow::setPageSize(int w, int h, bool vertical_allowed, bool horizontal_allowed) {
  views[current].setPageSize(w, h, vertical_allowed, horizontal_allowed);
}

void kvWindow::freeze() { views[current].autoRefresh = false; }

void kvWindow::thaw(bool redraw) {
  views[current].autoRefresh = true;
  if (redraw) {
    views[current].redraw();
    update();
  }
}

void kvWindow::update() {
  if (!created || (kvlayout_inprogress())) return;
  kvllgui_redraw(&llwin, 0, 0, 0, 0, 0, 0, false);
}

void kvWindow::updateArea(int ux, int uy, int w, int h) {
  if (!created || kvlayout_inprogress() || w <= 0 || h <= 0) return;
  kvllgui_redraw(&llwin, ux, uy, w, h, ux, uy, false);
}

void kvWindow::move(int mx, int my) { kvllgui_move(&llwin, mx, my); }

void kvWindow::show_status() {
  if (!status.created) return;
  status.draw();
  if (kvdisplay_live()) kvllgui_redraw(&llwin, status.x, status.y, status.width, status.height, status.x, status.y, false);
}

void kvWindow::setStatusLayout(const char* layout) {
  status.setLayout(layout);
  show_status();
}

void kvWindow::setStatusText(int field, const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  const std::string s = kivo::core::vformat(format, args);
  va_end(args);
  status.setText(field, "%s", s.c_str());
  show_status();
}

void kvWindow::setStatusProgress(int field, int value) {
  status.setProgress(field, value);
  show_status();
}

void kvWindow::setCallback(kvcallback callback, intptr_t object) {
  redirect = callback;
  redirectobj = object;
  views[current].redirect = callback;
  views[current].redirectobj = object;
}

void kvWindow::redraw_all() {
  if (toolbar.created) toolbar.redraw();
  if (menu.created) menu.redraw();
  views[current].redraw();
  if (status.created) status.draw();
}

void kvWindow::relayout(int w, int h) {
  width = w;
  height = h;
  const int view_h = std::max(1, h - menuHeight - toolbarHeight - statusHeight);
  if (toolbar.created) toolbar.place(0, menuHeight, w, toolbarHeight);
  if (menu.created) menu.place(0, 0, w, menuHeight);
  for (kvView& v : views)
    if (v.created) v.place(v.x, v.y, w, view_h);
  if (status.created) status.place(&llwin.pxmap, 0, h - statusHeight, w, statusHeight);
}
