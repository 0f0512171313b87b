// A batch of points collected by the drawing primitives and set in one call
// per colour, so that pixmaps whose pixels live elsewhere are touched once.
#pragma once

#include <vector>

#include "toolkit/core/pxmap.h"

namespace kivo::core {

class PointBatch {
 public:
  explicit PointBatch(const kvpxmap* p) : width_(p ? p->width : 0), height_(p ? p->height : 0) {
    xs_.reserve(1000);
    ys_.reserve(1000);
  }
  // Points outside the pixmap are not added.
  void add(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    xs_.push_back(x);
    ys_.push_back(y);
  }
  bool empty() const { return xs_.empty(); }
  int size() const { return static_cast<int>(xs_.size()); }
  // Sets every point in the colour and empties the batch.
  void flush(kvpxmap* p, int colour) {
    if (!xs_.empty()) kvpxmap_setpoints(p, static_cast<int>(xs_.size()), xs_.data(), ys_.data(), colour);
    xs_.clear();
    ys_.clear();
  }

 private:
  int width_, height_;
  std::vector<int> xs_, ys_;
};

}  // namespace kivo::core
