// The header every control, view and window begins with, and the
// operations they share: firing event codes, attaching to the current host,
// registering a region, asking for the focus, updating their area.
//
// Controls have no virtual operations. Each kind has one static message
// function (a kvcallback whose object is the control) that its host calls
// with the window events and host messages of protocol.h. A control that
// is asked to take the focus (KV_CHILD_TAKEFOCUS) answers and redraws; it
// must not ask its host for the focus from there.
#pragma once

#include <cstdint>

#include "toolkit/core/kvtypes.h"
#include "toolkit/widgets/protocol.h"

struct kvpxmap;

constexpr int kvcontrol_codes = 16;
constexpr int kvcontrol_scheme_roles = 11;

class kvControl {
 public:
  kvControl();
  kvControl(const kvControl&) = delete;
  kvControl& operator=(const kvControl&) = delete;

  // Event codes from kvnewid: 0 the primary code (a click, a choice, a
  // close), 14 the input code of text and list controls, 1 to 13 the mouse
  // codes of views. They stay for the life of the object.
  int codes[kvcontrol_codes];
  int font;                              // the default font for new controls at construction
  int scheme[kvcontrol_scheme_roles];    // the colour scheme at creation
  int border = 0;
  int bgcolor = -1;
  int transcolor = -1;                   // defaults to the host's background
  int textcolor = -1;
  intptr_t lastevent[3] = {0, 0, 0};     // data stored with the last fired code
  kvpxmap* icon = nullptr;               // optional picture, owned by the kind

  // The host: where the control draws and whom it asks.
  kvcallback hostcb = nullptr;
  intptr_t hostobj = 0;
  kvpxmap* hostsurface = nullptr;

  // When set, fired codes go to the redirect instead of the event queue.
  kvcallback redirect = nullptr;
  intptr_t redirectobj = 0;
  // Called whenever the primary code is fired.
  void (*notifier)() = nullptr;

  int region = -1;  // the control's region in its host
  bool hover = false, grey = false, created = false, focused = false, visible = true, nofocus = false;
  int x = 0, y = 0, width = 0, height = 0;  // host coordinates

  // The kind's message function (object: the control), set by the kind's
  // constructor; used to register the region and to redraw.
  kvcallback self = nullptr;

  // Posts code (0: the primary code) or gives it to the redirect, unless
  // the control is hidden; stores a, b, c as the last event data.
  void fire(int code, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0);
  // Takes the current host, its surface and background, and the scheme.
  void attach();
  // Registers the control's rectangle with the host (KV_REGION_* flags;
  // focusable is dropped when the control takes no focus). Returns the region.
  int registerRegion(int flags);
  // Asks the host for the keyboard focus; on success the control is focused,
  // scrolled into view and redrawn.
  bool requestFocus();
  // Has the host show the control's area, grown by 2 pixels on every side.
  void update();
  // Removes the control's region from its host and forgets the host. Every
  // kind calls it when it is destroyed; on KV_CHILD_DESTROY (the host goes
  // away) it only forgets the host.
  void detach();
  void forget_host();
  // Sends a message to the host; 0 without one.
  intptr_t host(int code, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0, intptr_t a5 = 0,
                intptr_t a6 = 0, intptr_t a7 = 0) const;
  // Calls the kind's own message function.
  intptr_t send_self(int code, intptr_t a1 = 0, intptr_t a2 = 0);
};

// The font that controls created from now on take (the markup engine sets
// the page's font); -1 is the built-in standard font.
void kvcontrol_setdefaultfont(int font);
int kvcontrol_defaultfont();

// While a markup layout is in progress, unforced window updates and
// scrolling views to a focused control are suppressed.
void kvlayout_setinprogress(bool on);
bool kvlayout_inprogress();

// True while the left button is held in one of the toolkit's windows.
bool kvbutton_held();

namespace kivo::widgets {
void set_button_held(bool held);
// Back to the state of a fresh process (tests): hosts, refresh marks,
// default font, layout flag, button flag, most recent window.
void reset_framework();
}  // namespace kivo::widgets
