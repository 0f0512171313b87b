// Shared fixture of the x11 backend tests: the backend under test, a second
// plain X connection to look at what the server really has, and XTest
// input as a user would give it.
#pragma once

// gtest first: Xlib's macros (None, Bool, Status) would break its headers.
#include "support/test_support.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/cursors.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/monitors.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/synthetic_input.h"
#include "toolkit/port/tray.h"
#include "toolkit/port/display.h"
#include "toolkit/port/windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kivo::test {

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!use_x11_or_skip()) GTEST_SKIP() << "no X server";
    raw_ = XOpenDisplay(nullptr);
    ASSERT_NE(raw_, nullptr);
    root_ = DefaultRootWindow(raw_);
    // Start every test with the pointer in a corner no window uses.
    XTestFakeMotionEvent(raw_, -1, 1900, 1060, CurrentTime);
    XSync(raw_, False);
  }
  void TearDown() override {
    for (port::WindowId w : opened_) port::backend().windows().destroy(w);
    if (raw_) XCloseDisplay(raw_);
  }

  port::Backend& backend() { return port::backend(); }
  port::Windows& windows() { return port::backend().windows(); }

  struct Received {
    port::WindowId window;
    port::WindowEvent event;
  };

  static void record(void* user, port::WindowId window, const port::WindowEvent& event) {
    static_cast<X11Test*>(user)->events_.push_back({window, event});
  }

  port::WindowSpec spec(int x, int y, int width, int height, const std::string& title = "kivo test") {
    port::WindowSpec s;
    s.x = x;
    s.y = y;
    s.width = width;
    s.height = height;
    s.title = title;
    s.handler = &X11Test::record;
    s.user = this;
    return s;
  }

  port::WindowId open(const port::WindowSpec& s) {
    const port::WindowId w = windows().create(s);
    if (w) opened_.push_back(w);
    return w;
  }

  // Opens a window and waits until it has the keyboard focus.
  port::WindowId open_focused(const port::WindowSpec& s) {
    const port::WindowId w = open(s);
    if (!w) return 0;
    windows().activate(w);
    pump_until([&] { return has_event(w, port::WindowEvent::FocusGained); });
    events_.clear();
    return w;
  }

  void close_window(port::WindowId w) {
    windows().destroy(w);
    std::erase(opened_, w);
  }

  // Dispatches the backend's events until `done` holds or time runs out.
  bool pump_until(const std::function<bool()>& done, int timeout_ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    auto& display = port::backend().display();
    for (;;) {
      XSync(raw_, False);
      display.flush();
      while (display.dispatch_one()) {
      }
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      display.wait_pending(10);
    }
  }
  void pump_for(int ms) {
    pump_until([] { return false; }, ms);
  }

  bool has_event(port::WindowId w, port::WindowEvent::Type type) const {
    for (const auto& r : events_)
      if (r.window == w && r.event.type == type) return true;
    return false;
  }
  int count(port::WindowId w, port::WindowEvent::Type type) const {
    int n = 0;
    for (const auto& r : events_) n += r.window == w && r.event.type == type;
    return n;
  }
  // Events of one window of the given types, in order.
  std::vector<port::WindowEvent> of(port::WindowId w, std::initializer_list<port::WindowEvent::Type> types) const {
    std::vector<port::WindowEvent> out;
    for (const auto& r : events_) {
      if (r.window != w) continue;
      for (auto t : types)
        if (r.event.type == t) out.push_back(r.event);
    }
    return out;
  }

  // ---- The server's view, through the plain connection ---------------------
  Atom atom(const char* name) { return XInternAtom(raw_, name, False); }

  std::vector<long> longs(::Window w, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(raw_, w, atom(property), 0, 1 << 20, False, AnyPropertyType, &type, &format, &n, &after,
                           &data) == Success &&
        data && format == 32) {
      const long* v = reinterpret_cast<const long*>(data);
      out.assign(v, v + n);
    }
    if (data) XFree(data);
    return out;
  }
  std::string text(::Window w, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(raw_, w, atom(property), 0, 1 << 16, False, AnyPropertyType, &type, &format, &n, &after,
                           &data) == Success &&
        data && format == 8)
      out.assign(reinterpret_cast<const char*>(data), n);
    if (data) XFree(data);
    return out;
  }
  bool has_state(::Window w, const char* state) {
    for (long a : longs(w, "_NET_WM_STATE"))
      if (Atom(a) == atom(state)) return true;
    return false;
  }
  // Waits (dispatching our events) until a property of a window says what we expect.
  bool wait_property(const std::function<bool()>& check, int timeout_ms = 3000) {
    return pump_until(check, timeout_ms);
  }

  // ---- Input through XTest -------------------------------------------------
  void move_pointer(int x, int y) {
    XTestFakeMotionEvent(raw_, -1, x, y, CurrentTime);
    XSync(raw_, False);
  }
  void button(int b, bool down) {
    XTestFakeButtonEvent(raw_, unsigned(b), down ? True : False, CurrentTime);
    XSync(raw_, False);
  }
  void click(int x, int y, int b = 1) {
    move_pointer(x, y);
    button(b, true);
    button(b, false);
  }
  void key(KeySym keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(raw_, keysym);
    ASSERT_NE(code, 0) << "no key for keysym " << keysym;
    XTestFakeKeyEvent(raw_, code, down ? True : False, CurrentTime);
    XSync(raw_, False);
  }
  void tap(KeySym keysym) {
    key(keysym, true);
    key(keysym, false);
  }

  ::Display* raw_ = nullptr;
  ::Window root_ = None;
  std::vector<Received> events_;
  std::vector<port::WindowId> opened_;
};

}  // namespace kivo::test
