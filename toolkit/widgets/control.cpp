#include "toolkit/widgets/control.h"

#include "toolkit/core/environment.h"
#include "toolkit/core/runtime.h"
#include "toolkit/widgets/hosts.h"

namespace {

struct FrameworkState {
  int default_font = -1;
  bool layout = false;
  bool button_held = false;
};

FrameworkState& fw() {
  static FrameworkState s;
  return s;
}

}  // namespace

kvControl::kvControl() : font(kvcontrol_defaultfont()) {
  for (int& code : codes) code = kvnewid();
  for (int i = 0; i < kvcontrol_scheme_roles; ++i) scheme[i] = kvcolor(i);
}

void kvControl::fire(int code, intptr_t a, intptr_t b, intptr_t c) {
  if (!visible) return;
  if (code == 0) code = codes[0];
  if (redirect)
    redirect(redirectobj, code, a, b, c, 0, 0, 0, 0, 0);
  else
    kvpostevent(code);
  if (notifier && code == codes[0]) notifier();
  lastevent[0] = a;
  lastevent[1] = b;
  lastevent[2] = c;
}

void kvControl::attach() {
  if (const kvhost* h = kvhost_current()) {
    hostcb = h->callback;
    hostobj = h->object;
    hostsurface = h->surface;
    transcolor = h->bgcolor;
  } else {
    hostcb = nullptr;
    hostobj = 0;
    hostsurface = nullptr;
  }
  for (int i = 0; i < kvcontrol_scheme_roles; ++i) scheme[i] = kvcolor(i);
}

int kvControl::registerRegion(int flags) {
  if (nofocus) flags &= ~KV_REGION_FOCUSABLE;
  region = int(host(KV_HOST_REGISTER, reinterpret_cast<intptr_t>(self), reinterpret_cast<intptr_t>(this), x, y,
                    width, height, flags));
  return region;
}

bool kvControl::requestFocus() {
  if (!host(KV_HOST_WANTFOCUS, region)) return false;
  focused = true;
  host(KV_HOST_SHOWREGION, region);
  send_self(KV_CHILD_REDRAW);
  return true;
}

void kvControl::detach() {
  if (hostcb) host(KV_HOST_UNREGISTER, reinterpret_cast<intptr_t>(this));
  forget_host();
}

void kvControl::forget_host() {
  hostcb = nullptr;
  hostobj = 0;
  hostsurface = nullptr;
  region = -1;
  focused = false;
}

void kvControl::update() { host(KV_HOST_UPDATE, x - 2, y - 2, width + 4, height + 4); }

intptr_t kvControl::host(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                         intptr_t a7) const {
  return hostcb ? hostcb(hostobj, code, a1, a2, a3, a4, a5, a6, a7, 0) : 0;
}

intptr_t kvControl::send_self(int code, intptr_t a1, intptr_t a2) {
  return self ? self(reinterpret_cast<intptr_t>(this), code, a1, a2, 0, 0, 0, 0, 0, 0) : 0;
}

void kvcontrol_setdefaultfont(int font) { fw().default_font = font; }
int kvcontrol_defaultfont() { return fw().default_font; }
void kvlayout_setinprogress(bool on) { fw().layout = on; }
bool kvlayout_inprogress() { return fw().layout; }
bool kvbutton_held() { return fw().button_held; }

namespace kivo::widgets {

void set_button_held(bool held) { fw().button_held = held; }
void reset_window_registry();

void reset_framework() {
  fw() = FrameworkState{};
  reset_hosts();
  reset_window_registry();
}

}  // namespace kivo::widgets
