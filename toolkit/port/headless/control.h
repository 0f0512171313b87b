// Test controls of the headless backend: a virtual desktop in memory.
//
// Tests (and programs run without a display) reach these through
// kivo::port::headless::control(), which is null when another backend runs.
// The desktop behaves like a simple window manager: new windows take the
// focus, a click focuses and raises the window under the pointer, a held
// button grabs the pointer for the window it was pressed in, minimised and
// hidden windows do not receive input. Input injected here is routed at
// once (to the window under the pointer, the capturing window or the focused
// one) and reaches the window's handler inside the next
// Display::dispatch_one(), as a real event would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/port/cursors.h"
#include "toolkit/port/display.h"
#include "toolkit/port/geometry.h"
#include "toolkit/port/windows.h"

namespace kivo::port::headless {

struct MonitorConfig {
  std::string name = "VIRTUAL-1";
  Rect bounds;             // screen coordinates
  double refresh_hz = 60;  // 0: unknown (no vertical blank on this monitor)
  int total_lines = 0;     // lines including blanking; 0: bounds.height + 45
};

struct ScreenConfig {
  int width = 1920;
  int height = 1080;
  int depth = 24;
  // The monitors, primary first. Empty: one monitor covering the screen at
  // refresh_hz.
  std::vector<MonitorConfig> monitors = {};
  double refresh_hz = 60;
  // A vertical blank simulated on the backend's clock (every 1/refresh_hz
  // seconds from the clock's origin); off: Monitors reports none.
  bool vertical_blank = true;
  FrameMetrics frame{4, 19};
  bool tray = true;                 // a notification area runs
  bool work_area_settable = false;  // Desktop::set_work_area is allowed (as on Windows)
  uint32_t background = 0x2D5F8B;   // colour of the bare screen
  int double_click_ms = 500;        // two presses closer than this are a double click
};

// What the virtual desktop knows about one top-level window.
struct WindowInfo {
  WindowId id = 0;
  bool ours = false;        // created through Windows::create
  std::string title;
  Rect outer;               // frame, screen coordinates
  Rect client;              // client area, screen coordinates
  WindowSpec spec;          // as given at creation (handler and user included)
  WindowLayer layer = WindowLayer::Normal;
  bool visible = true;
  bool minimised = false;
  bool maximised = false;
  bool focused = false;
  bool is_desktop = false;
  int stacking = 0;         // 0 = topmost
  int presents = 0;         // Windows::present calls that reached the window
  bool has_icon = false;
};

struct TrayIconInfo {
  WindowId window = 0;
  std::string tip;
  int width = 0, height = 0;
};

// Another program's window on the virtual desktop.
struct ForeignWindow {
  std::string title;
  Rect rect;
  uint32_t colour = 0xE0E0E0;
  bool is_desktop = false;  // the desktop background window (stacked below all)
  bool minimised = false;
};

class Control {
 public:
  virtual ~Control() = default;

  // Virtual time: the clock stands still until advanced by hand, periodic
  // timers fire exactly at their deadlines inside advance_us(), and sleeping
  // advances the clock instead of blocking. Switching is refused (false)
  // while periodic timers run.
  virtual bool set_virtual_time(bool on) = 0;
  virtual void advance_us(int64_t us) = 0;
  void advance_ms(int64_t ms) { advance_us(ms * 1000); }

  // Changes the screen; the work area becomes the whole screen again.
  virtual void set_screen(const ScreenConfig& config) = 0;
  virtual ScreenConfig screen() = 0;

  // Queues a window-system event: `deliver` runs inside the next
  // Display::dispatch_one(), as a real event would.
  virtual void post(std::function<void()> deliver) = 0;

  // ---- Input -----------------------------------------------------------------
  // Moves the pointer to a screen position.
  virtual void move_pointer(int x, int y) = 0;
  // Presses or releases a button (1 left, 2 middle, 3 right) at the pointer.
  virtual void press(int button) = 0;
  virtual void release(int button) = 0;
  // Moves the pointer there, presses and releases.
  void click(int x, int y, int button = 1) {
    move_pointer(x, y);
    press(button);
    release(button);
  }
  // Turns the wheel at the pointer: positive notches away from the user.
  virtual void wheel(int notches) = 0;
  // Presses or releases a key; Shift, Ctrl and Alt change the modifiers of
  // later events. Keys go to the focused window.
  virtual void key(Key key, bool down) = 0;
  void tap(Key k) {
    key(k, true);
    key(k, false);
  }
  // Types one character (Unicode). With Ctrl held, letters arrive as their
  // control codes (Ctrl+V as 22), as keyboard translation gives them.
  virtual void type(uint32_t character) = 0;
  // Types a UTF-8 text character by character.
  virtual void type_text(const std::string& utf8) = 0;
  // Drops files at a screen position on the window there (if it accepts drops).
  virtual void drop_files(int x, int y, const std::vector<std::string>& paths) = 0;
  virtual int pointer_x() = 0;
  virtual int pointer_y() = 0;
  virtual unsigned modifiers() = 0;

  // ---- What the user or the session does to windows ------------------------
  virtual void request_close(WindowId window) = 0;  // the close button
  virtual void end_session() = 0;                   // log-out: every window is asked to close
  virtual void minimise(WindowId window) = 0;
  virtual void restore(WindowId window) = 0;
  virtual void maximise(WindowId window) = 0;       // fills the work area
  virtual void focus(WindowId window) = 0;          // as a click on the frame
  virtual void user_move(WindowId window, int x, int y) = 0;        // frame dragged
  virtual void user_resize(WindowId window, int width, int height) = 0;  // client size
  // Releases the button on a window's tray icon (1 left, 3 right); false if
  // the window has no icon.
  virtual bool click_tray(WindowId window, int button) = 0;

  // ---- Other programs ------------------------------------------------------
  virtual WindowId add_foreign(const ForeignWindow& window) = 0;
  virtual void remove_foreign(WindowId window) = 0;

  // ---- Looking at the desktop ----------------------------------------------
  // Every window, topmost first.
  virtual std::vector<WindowInfo> window_list() = 0;
  // One window; false if unknown.
  virtual bool window(WindowId id, WindowInfo& info) = 0;
  // Our last created window that still exists, 0 if none.
  virtual WindowId newest_window() = 0;
  virtual WindowId focused_window() = 0;
  virtual WindowId capturing_window() = 0;
  virtual std::vector<TrayIconInfo> tray_icons() = 0;
  virtual PointerShape pointer_shape() = 0;
  // The pixels a window's client area shows (0x00RRGGBB, width × height).
  virtual std::vector<uint32_t> window_pixels(WindowId window, int& width, int& height) = 0;
  // The screen as composed now: desktop, frames, client areas.
  virtual std::vector<uint32_t> screen_image() = 0;
  // One screen pixel (0x00RRGGBB), -1 outside the screen.
  virtual int32_t screen_pixel(int x, int y) = 0;
  // Writes the composed screen as a PNG file; false on failure.
  virtual bool save_screen_png(const std::string& path) = 0;
};

// The headless backend's controls, or nullptr if another backend runs.
Control* control();

}  // namespace kivo::port::headless
