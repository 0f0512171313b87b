// Synthetic pointer input, as if the user had used the mouse (the ticker
// clicks its own line when the window manager refuses to raise it).
#pragma once

namespace kivo::port {

class SyntheticInput {
 public:
  virtual ~SyntheticInput() = default;
  // Presses or releases a button (1 left, 2 middle, 3 right) at the pointer.
  virtual bool button(int button, bool down) = 0;
  // Moves the pointer to a screen position.
  virtual bool move_pointer(int x, int y) = 0;
};

}  // namespace kivo::port
