// Top-level windows of the x11 backend: creation with the EWMH/ICCCM hints
// each WindowSpec flag stands for, geometry, stacking, presenting surfaces,
// and the translation of X events into WindowEvents.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "toolkit/port/windows.h"
#include "toolkit/port/x11/display.h"
#include "toolkit/port/x11/keys.h"
#include "toolkit/port/x11/xdnd.h"

namespace kivo::port::x11 {

class X11Windows : public Windows {
 public:
  explicit X11Windows(X11Display& display);
  ~X11Windows() override;

  WindowId create(const WindowSpec& spec) override;
  void destroy(WindowId window) override;
  void set_title(WindowId window, const std::string& utf8_title) override;
  void move(WindowId window, int x, int y) override;
  void resize(WindowId window, int width, int height) override;
  void show(WindowId window) override;
  void hide(WindowId window) override;
  void minimise(WindowId window) override;
  void restore(WindowId window) override;
  void raise(WindowId window) override;
  void activate(WindowId window) override;
  void set_layer(WindowId window, WindowLayer layer) override;
  Rect outer_rect(WindowId window) override;
  Rect client_rect(WindowId window) override;
  void capture_pointer(WindowId window) override;
  void release_pointer() override;
  // May be called from another thread (the frame clock draws the line).
  void present(WindowId window, const Surface& surface, int src_x, int src_y, int width, int height, int dst_x,
               int dst_y, bool wait) override;
  void set_icon(WindowId window, const uint32_t* pixels, int width, int height) override;

  // ---- For the backend's other services (main thread) ----------------------
  bool is_ours(WindowId window);
  // Calls the window's handler with an event (the tray's clicks).
  void deliver(WindowId window, const WindowEvent& event);
  std::vector<WindowId> our_windows();
  // The pointer shape for all our windows, now and later.
  void set_cursor(Cursor cursor);
  // Server time of the latest user input, for requests that need one.
  Time last_input_time() const { return last_time_; }

 private:
  struct Win {
    ::Window id = None;
    WindowSpec spec;
    bool managed = true;   // false for override-redirect popups
    bool mapped = false;
    bool hidden = false;   // withdrawn by hide()
    bool minimised = false;
    bool maximised = false;
    bool focused = false;
    bool active = false;
    Rect client;           // last known client rectangle (screen)
    int extents[4] = {0, 0, 0, 0};  // frame left, right, top, bottom
    int saved_x = 0, saved_y = 0;   // outer position when hidden
    WindowLayer layer = WindowLayer::Normal;
    XIC ic = nullptr;
    Rect expose;           // union of an Expose series
    // Double clicks: the first press of a possible pair.
    Time press_time = 0;
    int press_button = 0, press_x = 0, press_y = 0;
  };

  Win* find(::Window id);
  bool on_event(XEvent& event);
  void emit(::Window id, WindowEvent event);
  void on_key(Win& w, XKeyEvent& event);
  void on_button(Win& w, XButtonEvent& event);
  void on_configure(Win& w);
  void on_state_change(Win& w);
  void on_active_window_change();
  void on_client_message(Win& w, XClientMessageEvent& event);

  void apply_size_hints(Win& w, int width, int height, bool with_position, int x, int y);
  void apply_wm_hints(Win& w);
  void change_state(Win& w, bool add, Atom first, Atom second = None);
  void read_extents(Win& w);
  Rect query_client(::Window id);
  bool wait_mapped(::Window id, int timeout_ms);
  void open_input_method();

  X11Display& display_;
  ::Display* dpy_;
  const Atoms& atoms_;
  std::mutex mutex_;  // guards windows_ (present runs on other threads)
  std::map<::Window, std::unique_ptr<Win>> windows_;
  int filter_id_ = 0;
  GC gc_ = nullptr;
  Cursor cursor_ = None;
  ::Window captured_ = None;
  XIM im_ = nullptr;
  ModifierMasks masks_;
  Time last_time_ = CurrentTime;
  int double_click_ms_ = 500;
  static constexpr int kDoubleClickDistance = 4;
  std::unique_ptr<XdndTarget> dnd_;
};

}  // namespace kivo::port::x11
