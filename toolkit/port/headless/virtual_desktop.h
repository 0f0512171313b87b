// The state of the headless backend's virtual desktop: the screen and its
// monitors, the top-level windows with their stacking order, the focus, the
// pointer and the keyboard, the reserved strips and the work area, the tray.
//
// The port services of the backend (windows.cpp, desktop.cpp, monitors.cpp,
// tray.cpp) and the test controls (control.h) are thin front ends of this
// class. All of it is guarded by one mutex, because a program's frame clock
// may present pixels from its own thread. Events for our windows are queued
// in the display and delivered by Display::dispatch_one() without the lock
// held, so a handler may call back into any service.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/port/cursors.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/windows.h"

namespace kivo::port::headless {

class HeadlessClock;
class HeadlessDisplay;

class VirtualDesktop {
 public:
  VirtualDesktop(HeadlessClock& clock, HeadlessDisplay& display);

  // ---- Screen ----------------------------------------------------------------
  ScreenConfig screen();
  void set_screen(const ScreenConfig& config);
  std::vector<MonitorConfig> monitors();  // primary first, never empty

  // ---- Our windows (Windows service) ----------------------------------------
  WindowId create(const WindowSpec& spec);
  void destroy(WindowId id);
  void set_title(WindowId id, const std::string& title);
  void move(WindowId id, int x, int y, bool by_user);
  void resize(WindowId id, int width, int height, bool by_user);
  void show(WindowId id);
  void hide(WindowId id);
  void minimise(WindowId id);
  void restore(WindowId id);
  void maximise(WindowId id);
  void raise(WindowId id);
  void activate(WindowId id);
  void set_layer(WindowId id, WindowLayer layer);
  Rect outer_rect(WindowId id);
  Rect client_rect(WindowId id);
  void capture_pointer(WindowId id);
  void release_pointer();
  void present(WindowId id, const Surface& surface, int src_x, int src_y, int width, int height,
               int dst_x, int dst_y);
  void set_icon(WindowId id, const uint32_t* pixels, int width, int height);
  void request_close(WindowId id);
  void end_session();

  // ---- Desktop service ---------------------------------------------------------
  Rect work_area();
  bool reserve_strip(WindowId id, Edge edge, int thickness, int start, int end);
  void release_strip(WindowId id);
  bool set_work_area(const Rect& area);
  std::vector<TopLevelWindow> top_levels();
  bool move_foreign(WindowId id, const Rect& rect);
  WindowId window_at(int x, int y);
  bool bring_to_front(WindowId id);
  WindowId foreground();
  void pointer_position(int& x, int& y);

  // ---- Tray ------------------------------------------------------------------
  bool tray_available();
  bool tray_add(WindowId id, const uint32_t* pixels, int width, int height, const std::string& tip);
  void tray_remove(WindowId id);
  bool click_tray(WindowId id, int button);
  std::vector<TrayIconInfo> tray_icons();

  // ---- Input (input.cpp) -----------------------------------------------------
  void move_pointer(int x, int y);
  void press(int button);
  void release(int button);
  void wheel(int notches);
  void key(Key key, bool down);
  void type(uint32_t character);
  void drop_files(int x, int y, const std::vector<std::string>& paths);
  unsigned modifiers();
  void set_pointer_shape(PointerShape shape);
  PointerShape pointer_shape();

  // ---- Other programs ----------------------------------------------------------
  WindowId add_foreign(const ForeignWindow& window);
  void remove_foreign(WindowId id);

  // ---- Inspection and compositing (screen_image.cpp) ---------------------------
  std::vector<WindowInfo> windows();
  bool window(WindowId id, WindowInfo& info);
  WindowId newest_window();
  WindowId focused_window();
  WindowId capturing_window();
  std::vector<uint32_t> window_pixels(WindowId id, int& width, int& height);
  std::vector<uint32_t> screen_image();
  int32_t screen_pixel(int x, int y);
  bool capture(int x, int y, int width, int height, uint32_t* pixels, int stride);

 private:
  struct Frame {
    int left = 0, top = 0, right = 0, bottom = 0;
  };
  struct Win {
    WindowId id = 0;
    bool ours = true;
    WindowSpec spec;
    std::string title;
    Rect outer;
    Frame frame;
    int client_w = 0, client_h = 0;
    WindowLayer layer = WindowLayer::Normal;
    bool visible = true;
    bool minimised = false;
    bool maximised = false;
    Rect restore_outer;            // before maximising
    int restore_w = 0, restore_h = 0;
    std::vector<uint32_t> pixels;  // client area, client_w × client_h
    std::vector<uint32_t> icon;
    int icon_w = 0, icon_h = 0;
    int presents = 0;
    uint32_t colour = 0;           // foreign windows: their fill
    bool is_desktop = false;
  };
  struct Strip {
    Edge edge;
    int thickness, start, end;
  };
  struct TrayIcon {
    std::string tip;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
  };

  // All helpers below expect the mutex to be held.
  Win* find(WindowId id);
  Rect client_of(const Win& w) const;
  Frame frame_for(const WindowSpec& spec) const;
  bool shown(const Win& w) const { return w.visible && !w.minimised; }
  void restack(WindowId id);  // to the top of its layer
  void focus_window(WindowId id);  // 0: nobody
  void focus_next_after_losing(WindowId id);
  WindowId top_at(int x, int y);  // topmost shown window (ours or not) at a point
  void queue(WindowId id, const WindowEvent& event);
  void queue_simple(WindowId id, WindowEvent::Type type);
  void queue_paint(const Win& w);
  void resize_pixels(Win& w, int width, int height);
  WindowEvent pointer_event(const Win& w, WindowEvent::Type type, int button);
  WindowId pointer_target();
  Rect work_area_locked();
  void compose(std::vector<uint32_t>& image);
  void deliver(WindowId id, const WindowEvent& event);

  HeadlessClock& clock_;
  HeadlessDisplay& display_;
  std::mutex mutex_;
  ScreenConfig screen_;
  std::map<WindowId, Win> windows_;
  std::vector<WindowId> stacking_;  // bottom first
  WindowId next_id_ = 0x400001;
  WindowId newest_ = 0;
  WindowId focus_ = 0;
  WindowId capture_ = 0;
  WindowId grab_ = 0;               // implicit grab while a button is held
  unsigned buttons_held_ = 0;
  int pointer_x_ = 0, pointer_y_ = 0;
  unsigned modifiers_ = 0;
  PointerShape shape_ = PointerShape::Arrow;
  // Double-click detection.
  int last_press_button_ = 0;
  WindowId last_press_window_ = 0;
  int64_t last_press_ms_ = -1000000;
  int last_press_x_ = 0, last_press_y_ = 0;
  std::map<WindowId, Strip> strips_;
  bool explicit_work_area_ = false;
  Rect work_area_;
  std::map<WindowId, TrayIcon> tray_;
};

}  // namespace kivo::port::headless
