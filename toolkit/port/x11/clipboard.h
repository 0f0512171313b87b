// The x11 clipboard: the CLIPBOARD selection with UTF-8 text.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "toolkit/port/clipboard.h"
#include "toolkit/port/x11/display.h"

namespace kivo::port::x11 {

// Owns a hidden window of its own. While we own the selection, requests of
// other programs are answered from the display's event filter (so only
// while the program pumps its messages). Reading another program's text
// waits at most kReadTimeoutMs for its answer without dispatching anything
// else; large answers in increments (INCR) are read up to kReadMax bytes.
class X11Clipboard : public Clipboard {
 public:
  static constexpr int kReadTimeoutMs = 1000;
  static constexpr size_t kReadMax = 16u << 20;

  explicit X11Clipboard(X11Display& display);
  ~X11Clipboard() override;

  bool set_text(const std::string& utf8) override;
  bool get_text(std::string& utf8) override;

 private:
  bool on_event(XEvent& event);
  void answer(const XSelectionRequestEvent& request);
  bool convert(Atom target, Atom property, Window requestor);
  bool wait_for(int type, XEvent& event, int timeout_ms);
  bool read_property(Atom property, std::string& data, Atom& type, bool remove);
  bool read_incr(std::string& data);

  X11Display& display_;
  ::Display* dpy_;
  Window window_ = 0;
  int filter_ = 0;
  bool owner_ = false;
  std::string text_;
  Time owned_since_ = CurrentTime;
  Atom clipboard_, utf8_, targets_, text_atom_, string_, incr_, property_, timestamp_, multiple_;
};

}  // namespace kivo::port::x11
