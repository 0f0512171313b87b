// Small value types shared by the port interfaces.
#pragma once

#include <cstdint>

namespace kivo::port {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
  bool operator==(const Rect&) const = default;
};

// A top-level window of the window system: ours or another program's.
// 0 is never a valid window.
using WindowId = uint64_t;

// Modifier bits as the toolkit reports them.
enum Modifier : unsigned { kShift = 1, kAlt = 2, kCtrl = 4 };

}  // namespace kivo::port
