// Top-level windows of the toolkit and the events they deliver.
//
// The backend translates the window system's messages into WindowEvent
// values in toolkit terms and delivers them, inside Display::dispatch_one(),
// to the handler given at creation. The window layer of the toolkit core
// turns them into its numbered messages and applies its own key rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/port/geometry.h"
#include "toolkit/port/surfaces.h"

namespace kivo::port {

// Keys that arrive as keys rather than as characters.
enum class Key {
  Unknown, Tab, Enter, Escape, Space, Left, Right, Up, Down,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Home, End, Delete, PageUp, PageDown, Alt, Insert, Ctrl, Shift,
};

struct WindowEvent {
  enum Type {
    CloseRequest,   // the user or the session asks the window to close
    Paint,          // part of the client area needs painting (rect)
    Resized,        // new client size (width, height); also sent, with the
                    // unchanged size, when a window returns from Minimised
    Minimised,      // iconified; no Resized goes with it
    Maximised,
    Moved,
    Activated,
    Deactivated,
    FocusGained,
    FocusLost,
    ButtonDown,     // button at (x, y) in client coordinates
    ButtonUp,
    DoubleClick,    // second press of a double click, instead of ButtonDown
    Wheel,          // wheel_delta > 0: turned away from the user; (x, y) screen coordinates
    PointerMove,
    KeyDown,        // key; repeats arrive as further KeyDown
    KeyUp,
    Character,      // character (Unicode code point) typed, after key translation
    FilesDropped,   // files (at least one)
    TrayClick,      // button released on the window's tray icon
  };
  Type type = Paint;
  int x = 0, y = 0;
  int width = 0, height = 0;   // Resized; Paint rectangle size
  int button = 0;              // 1 left, 2 middle, 3 right
  int wheel_delta = 0;
  Key key = Key::Unknown;
  uint32_t character = 0;
  unsigned modifiers = 0;      // Modifier bits at the time of the event
  std::vector<std::string> files;  // FilesDropped: local paths, in drop order
};

using WindowEventHandler = void (*)(void* user, WindowId window, const WindowEvent& event);

// Stacking layer: normal, above all other windows, or on the desktop below them.
enum class WindowLayer { Normal, OnTop, OnDesktop };

struct WindowSpec {
  // Outer position of the frame's top-left corner on the screen.
  int x = 0, y = 0;
  // Client-area size; the backend makes the client area exactly this size.
  int width = 1, height = 1;
  std::string title;           // UTF-8
  bool caption = true;         // a title bar
  bool sizing_frame = true;    // the user can resize the window
  bool minimise_box = true;
  bool maximise_box = false;
  bool tool_window = false;    // kept out of taskbars and pagers
  bool popup = false;          // no frame, not managed, owned by `owner`
  bool full_screen = false;
  bool accept_drops = true;
  WindowLayer layer = WindowLayer::Normal;
  WindowId owner = 0;
  WindowEventHandler handler = nullptr;
  void* user = nullptr;
};

class Windows {
 public:
  virtual ~Windows() = default;

  // Creates and shows a window; 0 on failure.
  virtual WindowId create(const WindowSpec& spec) = 0;
  virtual void destroy(WindowId window) = 0;

  virtual void set_title(WindowId window, const std::string& utf8_title) = 0;

  // Moves the frame's top-left corner and shows the window, keeping size and stacking.
  virtual void move(WindowId window, int x, int y) = 0;
  // Sets the client-area size.
  virtual void resize(WindowId window, int width, int height) = 0;
  virtual void show(WindowId window) = 0;
  virtual void hide(WindowId window) = 0;
  virtual void minimise(WindowId window) = 0;
  virtual void restore(WindowId window) = 0;

  // Stacking and focus.
  virtual void raise(WindowId window) = 0;
  virtual void activate(WindowId window) = 0;
  virtual void set_layer(WindowId window, WindowLayer layer) = 0;

  // Geometry as the window system sees it now (screen coordinates).
  virtual Rect outer_rect(WindowId window) = 0;
  virtual Rect client_rect(WindowId window) = 0;

  // Pointer capture: all pointer events go to the window until released.
  virtual void capture_pointer(WindowId window) = 0;
  virtual void release_pointer() = 0;

  // Copies a rectangle of a surface to the client area at (dst_x, dst_y).
  // With wait the call returns only after the window system has the pixels.
  virtual void present(WindowId window, const Surface& surface, int src_x, int src_y,
                       int width, int height, int dst_x, int dst_y, bool wait) = 0;

  // Sets the program icon (0x00RRGGBB pixels, 0 = transparent) of a window.
  virtual void set_icon(WindowId window, const uint32_t* pixels, int width, int height) = 0;
};

}  // namespace kivo::port
