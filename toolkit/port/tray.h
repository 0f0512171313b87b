// The notification area ("system tray").
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/port/geometry.h"

namespace kivo::port {

class Tray {
 public:
  virtual ~Tray() = default;

  // True if a notification area is running now.
  virtual bool available() = 0;

  // Shows an icon for `window` (0x00RRGGBB pixels, 0 = transparent) with a
  // tool tip. Clicks arrive at the window as WindowEvent::TrayClick. Returns
  // false when no notification area runs; the caller keeps the window visible
  // (or reachable) then.
  virtual bool add(WindowId window, const uint32_t* pixels, int width, int height,
                   const std::string& utf8_tip) = 0;
  virtual void remove(WindowId window) = 0;
};

}  // namespace kivo::port
