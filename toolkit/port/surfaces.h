// Pixel surfaces: the storage behind the toolkit's "server" and "directx"
// pixmaps and behind every window's backing pixmap.
//
// A surface is a 32-bit 0x00RRGGBB pixel array that portable code reads and
// writes directly (copies, fills and colour-keyed blits are portable code).
// The backend owns the memory so that it can place it where showing it is
// cheapest, for example in a shared-memory segment the X server reads.
#pragma once

#include <cstdint>

namespace kivo::port {

struct Surface {
  uint32_t* pixels = nullptr;  // row-major, top row first
  int width = 0;
  int height = 0;
  int stride = 0;              // pixels per row, >= width
  bool in_video_memory = false;  // true only if the pixels live in display memory
  uintptr_t backend_data = 0;  // private to the backend
};

class Surfaces {
 public:
  virtual ~Surfaces() = default;

  // Creates a zero-filled surface; nullptr if the size is not positive or
  // the memory cannot be had. Sizes above 16384 in either direction are refused.
  virtual Surface* create(int width, int height) = 0;

  // Releases a surface from create(); nullptr is ignored.
  virtual void destroy(Surface* surface) = 0;

  // The sizes create() accepts.
  static constexpr int kMaxSide = 16384;
  static bool size_allowed(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
  }
};

}  // namespace kivo::port
