// The atoms the x11 backend uses, interned once per connection, and small
// helpers to read and write window properties.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::port::x11 {

// X macro: every atom the backend uses, by its protocol name.
#define KIVO_X11_ATOMS(X)                                                                            \
  X(WM_PROTOCOLS) X(WM_DELETE_WINDOW) X(WM_STATE) X(WM_CHANGE_STATE) X(UTF8_STRING) \
  X(_NET_SUPPORTED) X(_NET_SUPPORTING_WM_CHECK) X(_NET_WM_NAME) X(_NET_WM_ICON_NAME) X(_NET_WM_ICON)     \
  X(_NET_WM_PID) X(_NET_WM_PING) X(_NET_WM_STATE) X(_NET_WM_STATE_ABOVE) X(_NET_WM_STATE_BELOW)         \
  X(_NET_WM_STATE_SKIP_TASKBAR) X(_NET_WM_STATE_SKIP_PAGER) X(_NET_WM_STATE_FULLSCREEN)                 \
  X(_NET_WM_STATE_HIDDEN) X(_NET_WM_STATE_MAXIMIZED_VERT) X(_NET_WM_STATE_MAXIMIZED_HORZ)               \
  X(_NET_WM_WINDOW_TYPE) X(_NET_WM_WINDOW_TYPE_NORMAL) X(_NET_WM_WINDOW_TYPE_UTILITY)                   \
  X(_NET_WM_WINDOW_TYPE_DIALOG) X(_NET_WM_WINDOW_TYPE_POPUP_MENU) X(_NET_WM_WINDOW_TYPE_DESKTOP)        \
  X(_NET_WM_WINDOW_TYPE_DOCK) X(_NET_WM_STRUT) X(_NET_WM_STRUT_PARTIAL) X(_NET_WORKAREA)                \
  X(_NET_CURRENT_DESKTOP) X(_NET_CLIENT_LIST) X(_NET_CLIENT_LIST_STACKING) X(_NET_ACTIVE_WINDOW)        \
  X(_NET_FRAME_EXTENTS) X(_NET_REQUEST_FRAME_EXTENTS) X(_NET_MOVERESIZE_WINDOW) X(_NET_WM_USER_TIME)    \
  X(_MOTIF_WM_HINTS) X(_NET_SYSTEM_TRAY_OPCODE) X(_NET_SYSTEM_TRAY_ORIENTATION) X(_XEMBED)              \
  X(_XEMBED_INFO) X(MANAGER) X(XdndAware) X(XdndEnter) X(XdndPosition) X(XdndStatus) X(XdndLeave)       \
  X(XdndDrop) X(XdndFinished) X(XdndSelection) X(XdndTypeList) X(XdndActionCopy) X(TEXT_URI_LIST)       \
  X(KIVO_DROP) X(KIVO_TIMESTAMP) X(INCR)

struct Atoms {
#define KIVO_X11_DECLARE(name) Atom name = None;
  KIVO_X11_ATOMS(KIVO_X11_DECLARE)
#undef KIVO_X11_DECLARE
  // Interns all of them in one round trip.
  explicit Atoms(::Display* connection);
};

// Interns one atom by name (for names built at run time, e.g. per screen).
Atom intern(::Display* connection, const std::string& name);

// Reads a 32-bit property of any type into longs (Xlib's format-32 layout),
// at most max_items. False if the property is missing or not format 32.
bool get_longs(::Display* connection, ::Window window, Atom property, Atom type,
               std::vector<long>& out, long max_items = 4096);
bool get_atoms(::Display* connection, ::Window window, Atom property, std::vector<Atom>& out);
bool get_windows(::Display* connection, ::Window window, Atom property, std::vector<::Window>& out);

// Reads an 8-bit property (a text), at most max_bytes. *type_out gets the type.
bool get_bytes(::Display* connection, ::Window window, Atom property, std::string& out,
               Atom* type_out = nullptr, long max_bytes = 1 << 20);

void set_longs(::Display* connection, ::Window window, Atom property, Atom type, const long* values, int count);
void set_atoms(::Display* connection, ::Window window, Atom property, const std::vector<Atom>& atoms);
void set_utf8(::Display* connection, ::Window window, Atom property, const Atoms& atoms, const std::string& text);

// The window's title: _NET_WM_NAME (UTF-8) or else WM_NAME (Latin-1 turned into UTF-8).
std::string window_title(::Display* connection, ::Window window, const Atoms& atoms);

// Sends an EWMH client message about `window` to the root window, as pagers
// and applications ask the window manager for changes.
void send_to_root(::Display* connection, ::Window root, ::Window window, Atom type, long d0, long d1 = 0,
                  long d2 = 0, long d3 = 0, long d4 = 0);

// True if the running window manager lists `atom` in _NET_SUPPORTED.
bool wm_supports(::Display* connection, ::Window root, const Atoms& atoms, Atom atom);

// Latin-1 bytes to UTF-8.
std::string latin1_to_utf8(const std::string& latin1);
// UTF-8 to Latin-1 for the legacy WM_NAME ('?' for what Latin-1 lacks).
std::string utf8_to_latin1(const std::string& utf8);

}  // namespace kivo::port::x11
