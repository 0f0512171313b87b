// Pointer shapes.
#pragma once

#include "toolkit/port/geometry.h"

namespace kivo::port {

enum class PointerShape { Arrow, Hand, IBeam, Wait, Cross, SizeHorizontal, SizeVertical };

class Cursors {
 public:
  virtual ~Cursors() = default;
  // Sets the shape shown over all windows of the process.
  virtual void set(PointerShape shape) = 0;
};

}  // namespace kivo::port
