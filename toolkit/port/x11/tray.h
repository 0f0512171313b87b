// The notification area of the x11 backend: an XEmbed tray icon
// (freedesktop system tray protocol) for a window.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>
#include <vector>

#include "toolkit/port/tray.h"
#include "toolkit/port/x11/display.h"
#include "toolkit/port/x11/windows.h"

namespace kivo::port::x11 {

class X11Tray : public Tray {
 public:
  X11Tray(X11Display& display, X11Windows& windows);
  ~X11Tray() override;

  bool available() override;
  bool add(WindowId window, const uint32_t* pixels, int width, int height, const std::string& utf8_tip) override;
  void remove(WindowId window) override;

 private:
  struct Icon {
    WindowId owner = 0;
    ::Window window = None;  // the icon window the tray embeds
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    std::string tip;
    bool docked = false;
  };

  ::Window manager();
  bool create_window(Icon& icon);
  void dock(Icon& icon);
  void paint(Icon& icon);
  bool on_event(XEvent& event);
  Icon* by_window(::Window window);

  X11Display& display_;
  X11Windows& windows_;
  ::Display* dpy_;
  const Atoms& atoms_;
  Atom selection_ = None;  // _NET_SYSTEM_TRAY_S<screen>
  int filter_id_ = 0;
  std::map<WindowId, Icon> icons_;
  GC gc_ = nullptr;
};

}  // namespace kivo::port::x11
