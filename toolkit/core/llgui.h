// The low-level window layer: one top-level window of the window system
// with a backing pixmap of its client area, the translation of the
// window system's events into the toolkit's numbered messages, the
// process-wide window table, the key codes, the display-device list and the
// small window services the ticker calls directly.
//
// A kvllgui_window delivers its messages through a kvcallback to the object
// that opened it (normally a kvWindow): callback(owner, code, a1, a2, 0...).
// Paints copy the backing pixmap to the screen without asking the owner;
// the owner is asked to draw (2002) only after the client area was resized.
//
// Threads: everything runs on the thread that pumps events, except that the
// frame clock of the ticker may draw into a window it owns (getdc,
// drawimage, releasedc, redraw, showpxmap) while the main thread leaves that
// window alone; the current device context is therefore per thread.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/kvtypes.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/port/geometry.h"

// ---- Key codes (messages 2016 and 2017, and the application event queue) ----

enum kvkeycode {
  KV_KEY_TAB = 9,
  KV_KEY_ENTER = 10,
  KV_KEY_ESCAPE = 27,
  KV_KEY_SPACE = 32,
  KV_KEY_LEFT = 301,
  KV_KEY_RIGHT = 302,
  KV_KEY_UP = 303,
  KV_KEY_DOWN = 304,
  KV_KEY_F1 = 305,  // F1 to F12 are 305 to 316
  KV_KEY_F12 = 316,
  KV_KEY_INSERT = 317,
  KV_KEY_CTRL = 318,
  KV_KEY_SHIFT = 319,
  KV_KEY_HOME = 320,
  KV_KEY_END = 321,
  KV_KEY_DELETE = 322,
  KV_KEY_PAGEUP = 323,
  KV_KEY_PAGEDOWN = 324,
  KV_KEY_ALT = 325,
};

// ---- Messages to the owner -------------------------------------------------------

enum kvwinmsg {
  KV_MSG_CLOSE = 2001,        // close request (close button, end of session, Alt+F4)
  KV_MSG_PAINT = 2002,        // draw again (after a resize)
  KV_MSG_RESIZED = 2003,      // width, height of the client area
  KV_MSG_LBUTTONDOWN = 2004,  // x, y (client coordinates) for 2004 to 2015
  KV_MSG_LBUTTONUP = 2005,
  KV_MSG_LBUTTONDBL = 2006,
  KV_MSG_MBUTTONDOWN = 2007,
  KV_MSG_MBUTTONUP = 2008,
  KV_MSG_MBUTTONDBL = 2009,
  KV_MSG_RBUTTONDOWN = 2010,
  KV_MSG_RBUTTONUP = 2011,
  KV_MSG_RBUTTONDBL = 2012,
  KV_MSG_WHEELUP = 2013,      // wheel turned away from the user
  KV_MSG_WHEELDOWN = 2014,    // wheel turned toward the user
  KV_MSG_POINTERMOVE = 2015,
  KV_MSG_KEYDOWN = 2016,      // key code or character
  KV_MSG_KEYUP = 2017,        // key code
  KV_MSG_FOCUS = 2018,
  KV_MSG_UNFOCUS = 2019,
  KV_MSG_PASTE = 2033,
  KV_MSG_COPY = 2034,
  KV_MSG_CUT = 2035,
  KV_MSG_MINIMISED = 2055,
  KV_MSG_TRAY = 2056,         // 2005 (left) or 2011 (right button released)
  KV_MSG_SELCHANGE = 2058,
  KV_MSG_MAXIMISED = 2060,
  KV_MSG_DROPPED = 2061,      // kvgetdroppedfile() has the first file
  KV_MSG_MOVED = 2062,
  KV_MSG_ACTIVATED = 2063,
  KV_MSG_DEACTIVATED = 2064,
};

// Modifier bits of kvgetmodifiers().
constexpr int KV_MOD_SHIFT = 1;
constexpr int KV_MOD_ALT = 2;
constexpr int KV_MOD_CTRL = 4;

// ---- The window record -----------------------------------------------------------

// A window must stay at its address while it is open: the window table
// routes events to it by pointer.
struct kvllgui_window {
  kivo::port::WindowId handle = 0;
  uint8_t open = 0;
  std::string title;             // at most kvllgui_title_max characters
  kvcallback callback = nullptr;
  intptr_t owner = 0;
  kvpxmap pxmap;                 // backing pixmap, server format, client size
  uint8_t noredraw = 0;          // paints do not copy the backing pixmap
  // Position and outer size as placed at opening (screen coordinates).
  int32_t x = 0, y = 0;
  int32_t width = 0, height = 0;
  // Fast output (kvllgui_directdraw).
  uint8_t ddsetup = 0;
  uint8_t clipper = 0;
  uint8_t exclusive = 0;         // exclusive full screen
  uint8_t intray = 0;
  uint8_t popup = 0;
  uint8_t modal = 0;
  // The pixels the window shows now, kept once the window is drawn on
  // directly (kvllgui_drawimage), so that masked images combine with what
  // is really on screen. Null until then.
  kivo::port::Surface* shown = nullptr;
};

constexpr int kvllgui_title_max = 202;
constexpr int kvllgui_table_size = 1000;
constexpr int kvdd_max_devices = 10;

// ---- Opening, closing, drawing -------------------------------------------------

// Opens the window with a client area of width × height at (x, y) (outer
// top-left corner; x = -1: the work area's top-left corner). False if the
// window system refused the window or the backing pixmap.
bool kvllgui_open(kvllgui_window* w, kvcallback callback, intptr_t owner, int x, int y, int width,
                  int height, const char* title, bool sysmenu, bool resizebox, bool fullscreen,
                  bool modal, bool noresize, bool popup, bool notitle, bool setwindowsize);
// Fast output: showpxmap then puts directx pixmaps straight on the window.
void kvllgui_directdraw(kvllgui_window* w, bool clipper, bool setwindowsize, bool depth16);
void kvllgui_close(kvllgui_window* w);

// Copies (src x, src y, w, h) of the backing pixmap to (x, y) of the window;
// w or h of 0: the whole width or height. Skipped with the no-redraw flag,
// and while drawing is suspended unless forced.
void kvllgui_redraw(kvllgui_window* w, int x, int y, int width, int height, int src_x, int src_y,
                    bool force);
void kvllgui_invalidate(kvllgui_window* w);

// Device-context equivalents: make a window the current drawing target of
// this thread, draw server images onto it, give it back (which flushes).
void kvllgui_getdc(kvllgui_window* w);
void kvllgui_releasedc(kvllgui_window* w);
// Draws (src x, src y, w, h) of a server (or directx/truecolor) image at
// (x, y) of the current window; an image with a mask is ANDed with the mask,
// then ORed, so its transparent pixels keep what the window showed.
void kvllgui_drawimage(kvpxmap* image, int x, int y, int width, int height, int src_x, int src_y);
// Puts a directx (or server) pixmap at the client area's top-left corner;
// with wait the call returns once the window system has the pixels.
void kvllgui_showpxmap(kvllgui_window* w, kvpxmap* p, bool wait);

// ---- Window services -------------------------------------------------------------

void kvllgui_settitle(kvllgui_window* w, const char* text);
int kvllgui_clientx(kvllgui_window* w);  // screen position of the client area
int kvllgui_clienty(kvllgui_window* w);
int kvllgui_width(kvllgui_window* w);    // outer size
int kvllgui_height(kvllgui_window* w);
void kvllgui_move(kvllgui_window* w, int x, int y);
void kvllgui_activate(kvllgui_window* w);
void kvllgui_raise(kvllgui_window* w);
void kvllgui_keepondesktop(kvllgui_window* w, int x, int y, int width, int height);
void kvllgui_capture(kvllgui_window* w);
void kvllgui_releasecapture();
// Hides the window behind a tray icon. False (and the window stays
// visible) when no notification area runs.
bool kvllgui_totray(kvllgui_window* w);
void kvllgui_fromtray(kvllgui_window* w);
// Copies the screen rectangle (src x, src y, w, h) into a server, directx
// or truecolor pixmap at (x, y).
void kvllgui_grabscreen(kvpxmap* p, int x, int y, int src_x, int src_y, int width, int height);
// The program icon (0x00RRGGBB, 0 transparent) used for windows and the
// tray; without one a built-in icon is drawn.
void kvllgui_seticon(const uint32_t* pixels, int width, int height);

// ---- Window table ------------------------------------------------------------------

bool kvllgui_register(kvcallback callback, intptr_t object, kivo::port::WindowId handle);
void kvllgui_unregister(kvcallback callback, intptr_t object);
// Entries in use (tests).
int kvllgui_registered();

// ---- Process-wide state ------------------------------------------------------------

int kvgetmodifiers();
const char* kvgetdroppedfile();
constexpr int kvdroppedfile_max = 259;

int kvdd_enumerate();
const char* kvdd_devicename(int i);
// Waits until the next vertical blank of the primary monitor has ended; where
// the window system reports none, until the next refresh period on the clock.
void kvdd_waitretrace();

void kvdrawing_suspend();
void kvdrawing_resume();
bool kvdrawing_suspended();

namespace kivo::core {
// Back to the state of a fresh process (tests).
void reset_llgui();
}  // namespace kivo::core
