// Pointer shapes over our windows, from the X cursor font.
#include "toolkit/port/x11/cursors.h"

#include <X11/cursorfont.h>

namespace kivo::port::x11 {

X11Cursors::X11Cursors(::Display* connection, X11Windows& windows) : connection_(connection), windows_(windows) {}

X11Cursors::~X11Cursors() {
  for (Cursor& c : cursors_)
    if (c != None) XFreeCursor(connection_, c);
}

void X11Cursors::set(PointerShape shape) {
  const int index = int(shape);
  if (index < 0 || index >= kShapes) return;
  static const unsigned glyphs[kShapes] = {XC_left_ptr, XC_hand2, XC_xterm, XC_watch, XC_crosshair,
                                           XC_sb_h_double_arrow, XC_sb_v_double_arrow};
  if (cursors_[index] == None) cursors_[index] = XCreateFontCursor(connection_, glyphs[index]);
  windows_.set_cursor(cursors_[index]);
}

}  // namespace kivo::port::x11
