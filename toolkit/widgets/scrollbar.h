// kvScrollBar: one scroll bar (vertical or horizontal) with two arrow
// buttons, a track and a knob, drawn into its owner's surface.
//
// The owner (a view, a list box) passes its pointer events on with
// pointer() and receives the scroll commands through its message function:
// owner(owner object, command, per cent) with KV_SCROLL_UP/DOWN/LEFT/RIGHT
// (arrows, repeated every 100 ms after 500 ms while held, and once more on
// release), KV_SCROLL_PAGEUP/PAGEDOWN (track above/left or below/right of
// the knob; 1 as argument from a horizontal bar) and KV_SCROLL_VPOS/HPOS with the new position while the knob is
// dragged. After the bar redrew itself in response to the pointer it sends
// kvscrollbar_drawn with (x, y, w, h) in surface coordinates, so that the
// owner can put that area on the screen.
#pragma once

#include <cstdint>

#include "toolkit/core/kvtypes.h"

struct kvpxmap;

constexpr int kvscrollbar_drawn = 3020;
constexpr int kvscrollbar_repeat_first_ms = 500;
constexpr int kvscrollbar_repeat_ms = 100;

class kvScrollBar {
 public:
  kvScrollBar() = default;
  ~kvScrollBar();
  kvScrollBar(const kvScrollBar&) = delete;
  kvScrollBar& operator=(const kvScrollBar&) = delete;

  void create(kvcallback owner, intptr_t owner_object, kvpxmap* surface, int x, int y, int width, int height,
              bool vertical);
  // Moves and resizes the bar (and takes a new surface).
  void place(kvpxmap* surface, int x, int y, int width, int height);
  // Knob size and position in per cent of the track, each 0 to 100.
  void setKnob(int size_percent, int position_percent);
  void draw();
  // A pointer event in surface coordinates (2004, 2006, 2005, 2015 and 2024
  // for leaving). True when the bar took it.
  bool pointer(int code, int x, int y);
  bool contains(int x, int y) const;
  // True while an arrow is held or the knob dragged: the owner then gives
  // the bar every pointer event.
  bool busy() const { return pressed_ != 0 || dragging_; }

  int knobSize() const { return knob_size_; }
  int knobPosition() const { return knob_pos_; }
  bool vertical() const { return vertical_; }
  int x = 0, y = 0, width = 0, height = 0;

  static intptr_t repeat(intptr_t object, int code, intptr_t key, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                         intptr_t, intptr_t);

 private:
  struct Track {
    int start = 0, length = 0;       // along the bar, surface coordinates
    int knob_start = 0, knob_length = 0;
  };
  Track track() const;
  void send(int command, intptr_t value = 0);
  void redraw_and_show();
  void stop_repeat();
  int arrow_command(int arrow) const;

  kvcallback owner_ = nullptr;
  intptr_t owner_object_ = 0;
  kvpxmap* surface_ = nullptr;
  bool vertical_ = true;
  bool created_ = false;
  int knob_size_ = 100, knob_pos_ = 0;
  int pressed_ = 0;  // 0 none, 1 the up/left arrow, 2 the down/right arrow
  bool dragging_ = false;
  int drag_offset_ = 0;
  bool repeating_ = false;
};
