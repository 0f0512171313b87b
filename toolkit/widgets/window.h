// kvWindow: a top-level window created from a configuration string,
// holding up to ten views (one current, the standard view), optional tool
// and menu bar views along the top and a status bar at the bottom.
//
// Configuration: the title first, then position and size (against the
// screen; without x the window is centred on the work area), cxs=/cys=
// (page size of the standard view), the window keywords (fullscreen, modal,
// nosysmenu/sysmenu, noresize/resize, maximized, noquit, noclose, popup,
// notitle, noredraw, bgcolor=, nostandardview), the bars (menu, toolbar,
// toolbar=N, statusbar, statusbar=N), directx, noclipper, setwindowsize,
// depth16bit, maxxs=, maxys=, ownpxmap; everything else goes to the
// standard view's configuration. Windows are of fixed size unless "resize".
//
// Codes: codes[0] fires on a close request; the key code on a key press
// (data 2016, key) and the key code + 512 on its release (data 2017, key);
// the standard view's mouse codes 1 to 9, 12, 13 are the window's own; the
// minimised, tray, resized, dropped, moved, activated and deactivated codes
// are the members named so. A close request closes the window (unless
// "noclose" or "noquit") and quits the program (unless "noquit").
#pragma once

#include <cstdarg>
#include <string>

#include "toolkit/core/llgui.h"
#include "toolkit/widgets/control.h"
#include "toolkit/widgets/statusbar.h"
#include "toolkit/widgets/view.h"

constexpr int kvwindow_views = 10;
constexpr int kvwindow_title_max = 99;
constexpr int kvwindow_keyup_offset = 512;

class kvWindow : public kvControl {
 public:
  kvWindow();
  ~kvWindow();

  // The format is a configuration string: "50%" is a literal per cent.
  bool create(const char* format, ...);
  bool vcreate(const char* format, va_list args);
  // Destroys the views and the window; the codes stay, the window may be
  // created again.
  void close();
  void destroy() { close(); }

  // Drawing on the standard view's page.
  void clear(int colour);
  void line(int x1, int y1, int x2, int y2, int colour);
  void fillrect(int x, int y, int w, int h, int colour);
  void text(int x, int y, int colour, const char* format, ...) __attribute__((format(printf, 5, 6)));
  bool image(const char* configuration);  // a picture file onto the page (load=..., x=, y=)
  void pixel(int x, int y, int colour);
  void pixmap(int x, int y, kvpxmap* p);
  bool savePage(const char* configuration);

  kvView& standardView() { return views[current]; }
  void makeCurrentViewStandard();
  void setPageSize(int width, int height, bool vertical_allowed, bool horizontal_allowed);
  int scrollPosition() { return views[current].scrollY; }
  void setScrollPosition(int y) { views[current].scrollTo(y); }
  int usableWidth() { return views[current].usableWidth(); }
  int usableHeight() { return views[current].usableHeight(); }
  int pointerX() { return views[current].pointerX; }
  int pointerY() { return views[current].pointerY; }
  int contentWidth() { return views[current].pageWidth(); }
  int contentHeight() { return views[current].pageHeight(); }

  void freeze();
  void thaw(bool redraw);
  // Puts the window's whole surface (or an area of it) on the screen.
  void update();
  void updateArea(int x, int y, int width, int height);
  void move(int x, int y);

  void setStatusLayout(const char* layout);
  void setStatusText(int field, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void setStatusProgress(int field, int value);

  // The window's codes (and its standard view's) go to callback(object,
  // code, a, b, c) instead of the event queue.
  void setCallback(kvcallback callback, intptr_t object);

  static intptr_t message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                          intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);
  intptr_t answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                  intptr_t a7, intptr_t a8);

  kvllgui_window llwin;
  kvView views[kvwindow_views];
  int current = 0;
  kvView toolbar, menu;
  kvStatusBar status;
  std::string title;
  bool quitOnClose = true, closeOnRequest = true, autoRefresh = true;
  int maxxs = 0, maxys = 0;
  int menuHeight = 0, toolbarHeight = 0, statusHeight = 0;
  int minimisedCode, trayCode, resizedCode, droppedCode, movedCode, activatedCode, deactivatedCode;

 private:
  void redraw_all();
  void relayout(int width, int height);
  void show_status();
  void track_hover(int x, int y);
  kvView* hovered_ = nullptr;
  intptr_t host_message(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);
  bool opened_ = false;
  int next_region_ = 0;
};

// The window created last that is still open, or null.
kvWindow* kvwindow_mostrecent();
