// The connection to the window system: input waiting and dispatch, screen
// metrics and the desktop's colours.
#pragma once

#include <cstdint>

namespace kivo::port {

// Colours of the desktop's theme (0xRRGGBB), or -1 where the desktop offers none.
struct SystemColours {
  int32_t button_face = -1;
  int32_t button_shadow = -1;
  int32_t button_text = -1;
  int32_t grey_text = -1;
};

struct FrameMetrics {
  int border = 4;          // width of a sizing frame
  int caption = 19;        // height of a title bar
};

class Display {
 public:
  virtual ~Display() = default;

  // Screen size in pixels (the whole virtual screen of the primary monitor's
  // X screen) and colour depth in bits per pixel.
  virtual int screen_width() = 0;
  virtual int screen_height() = 0;
  virtual int depth() = 0;

  // Frame and caption sizes that a window manager adds to a top-level window.
  virtual FrameMetrics frame_metrics() = 0;

  // The desktop theme's colours; fields it does not know stay -1.
  virtual SystemColours system_colours() = 0;

  // True if at least one window-system event is waiting to be dispatched.
  virtual bool has_pending() = 0;

  // Waits up to timeout_ms (0: do not wait) for a window-system event.
  // Returns true if one is waiting.
  virtual bool wait_pending(int timeout_ms) = 0;

  // Removes one waiting event, translates it and delivers it to the window
  // it belongs to (see windows.h). Returns false if none was waiting.
  virtual bool dispatch_one() = 0;

  // Sends every buffered request to the window system.
  virtual void flush() = 0;

  // Copies a rectangle of the screen as it is shown now (all windows, the
  // desktop) into pixels (0x00RRGGBB, `stride` pixels per row). Parts of the
  // rectangle outside the screen are left unchanged. False if the window
  // system does not allow reading the screen.
  virtual bool capture_screen(int x, int y, int width, int height, uint32_t* pixels, int stride) {
    (void)x, (void)y, (void)width, (void)height, (void)pixels, (void)stride;
    return false;
  }
};

}  // namespace kivo::port
