// Helpers shared by the view's sources.
#pragma once

#include "toolkit/widgets/view.h"

namespace kivo::widgets {

struct ViewAccess {
  // Copies (sx, sy, w, h) of the view's own page to (dx, dy) of the host
  // surface, clipped to both.
  static void copy_to_host(kvView& v, int sx, int sy, int dx, int dy, int w, int h);
  // Host-surface coordinates of the page's origin.
  static int origin_x(const kvView& v) { return v.drawsIntoHost() ? 0 : v.x + v.centreX - v.scrollX; }
  static int origin_y(const kvView& v) { return v.drawsIntoHost() ? 0 : v.y + v.centreY - v.scrollY; }
  static intptr_t send(const kvViewRegion& r, int code, intptr_t a1 = 0, intptr_t a2 = 0) {
    return r.callback ? r.callback(r.object, code, a1, a2, 0, 0, 0, 0, 0, 0) : 0;
  }
};

}  // namespace kivo::widgets
