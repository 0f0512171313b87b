// kvView: a scrollable view. It owns a page pixmap larger or smaller than
// its visible area (or, configured as "server", draws straight into its
// host's surface), shows the part at (scrollX, scrollY) in the host's
// surface, keeps the regions of its child controls and routes pointer and
// key events to them, moves the keyboard focus among them, and answers the
// graphic messages on its page.
//
// Configuration: the position keywords, border, font, nofocus, grey,
// colours, the page keywords (pxs=, pys=, the format, drawoff/noredraw...,
// nostandardview, opengl), noverticalscrollbar, nohorizontalscrollbar,
// nokeyscroll, scrollwheelalways, autofocus, standardview and resize
// (follow the host's size).
//
// A view is a host itself: its children talk to it with the messages of
// protocol.h. It reports pointer events on its page under its codes 1 to 13
// (1 left down, 2 left up, 3 middle down, 4 middle up, 5 right down, 6 right
// up, 7 left double click, 8 right double click, 9 move, 12 wheel up, 13
// wheel down), with the page position as data.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <vector>

#include "toolkit/core/pxmap.h"
#include "toolkit/widgets/control.h"
#include "toolkit/widgets/scrollbar.h"

struct kvViewRegion {
  bool in_use = false;
  int x = 0, y = 0, width = 0, height = 0;  // page coordinates
  kvcallback callback = nullptr;
  intptr_t object = 0;
  bool mouse = false, focusable = false, hover = false, ownscroll = false, wantstab = false;
};

class kvView : public kvControl {
 public:
  kvView();
  ~kvView();

  // The format is a configuration string: "50%" is a literal per cent.
  bool create(const char* format, ...);
  bool vcreate(const char* format, va_list args);
  void destroy();
  // Registers the view as host and makes it the current host and drawing target.
  void makeStandard();
  // 0 keeps a dimension. Resets scrolling and centring, clears the page.
  void setPageSize(int width, int height, bool vertical_allowed, bool horizontal_allowed);
  void scrollTo(int y);
  // A scroll command of protocol.h (KV_SCROLL_*).
  void scroll(int command, intptr_t value = 0);
  void redraw();
  // Moves or resizes the view in its host; decides the scroll bars again.
  void place(int x, int y, int width, int height);

  int usableWidth() const;
  int usableHeight() const;
  int pageWidth() const { return page_ ? page_->width : 0; }
  int pageHeight() const { return page_ ? page_->height : 0; }
  // The pixmap the view's content lives in (its own page or the host's surface).
  kvpxmap* page() { return page_; }
  bool drawsIntoHost() const { return page_ && page_ == hostsurface && !own_; }

  static intptr_t message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                          intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);
  intptr_t answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                  intptr_t a7, intptr_t a8);

  int scrollX = 0, scrollY = 0;
  int centreX = 0, centreY = 0;
  kvScrollBar vbar, hbar;
  bool verticalAllowed = true, horizontalAllowed = true;
  bool showsVertical = false, showsHorizontal = false;
  std::vector<kvViewRegion> regions;
  int focusRegion = -1, captureRegion = -1, hoverRegion = -1;
  bool autoRefresh = true, immediate = false, nokeyscroll = false, scrollwheelalways = false, autofocus = false;
  bool followsHost = false;  // "resize": takes the host's size when the host is resized
  int pointerX = 0, pointerY = 0;        // last pointer position, page coordinates
  int screenPointerX = 0, screenPointerY = 0;  // where the last button event happened (for popups)
  uint32_t pageFormat = KVPX_TRUECOLOR;

 private:
  bool make_own_page(int width, int height);
  void release_page();
  void decide_scrollbars();
  void place_scrollbars();
  void update_knobs();
  void scroll_vertical(int y);
  void scroll_horizontal(int x);
  void after_scroll(bool vertical);
  intptr_t host_message(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                        intptr_t a7);
  intptr_t pointer_event(int code, int x, int y);
  void pointer_move(int px, int py);
  intptr_t key_event(int code, int key);
  void wheel_event(int code);
  void move_focus();
  bool focus_request(int region);
  void show_region(int region);
  void update_page_area(int x, int y, int width, int height);
  intptr_t graphic(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                   intptr_t a7);
  void lose_focus_of(int region);

  kvpxmap* page_ = nullptr;
  kvpxmap own_page_;
  bool own_ = false;
  bool registered_host_ = false;
  bool scrollbars_dragging_ = false;
};
