// The registry of hosts (views and windows that controls attach to) and the
// refresh marks that batch screen updates of views.
//
// One host is current: a control created anywhere attaches to it.
// Registering makes a host current; unregistering the current host makes the
// nearest earlier host still registered current. When the display becomes
// live (first use of the event queue), every host that asked for it gets
// KV_HOST_UPDATEALL once.
//
// Drawing operations on a view mark the view instead of refreshing the
// screen at once; a 200 ms timer sends KV_CHILD_REFRESH to every marked
// target and clears the marks.
#pragma once

#include <cstdint>

#include "toolkit/core/kvtypes.h"

struct kvpxmap;

struct kvhost {
  kvpxmap* surface = nullptr;
  kvcallback callback = nullptr;
  intptr_t object = 0;
  bool in_use = false;
  bool redraw_first = false;  // wants KV_HOST_UPDATEALL when the display becomes live
  int bgcolor = -1;
};

// Registers (or updates) a host and makes it current.
void kvhost_register(kvpxmap* surface, kvcallback callback, intptr_t object, bool redraw_first, int bgcolor);
void kvhost_unregister(kvcallback callback, intptr_t object);
// The current host, or null when there is none.
const kvhost* kvhost_current();
int kvhost_count();  // hosts registered now

constexpr int kvrefresh_max_marks = 25;
constexpr int kvrefresh_interval_ms = 200;

// Marks a target for the next refresh tick. With all marks in use the
// target is refreshed at once instead.
void kvrefresh_mark(kvcallback callback, intptr_t object);
// Forgets a target's mark (a target that goes away).
void kvrefresh_unmark(kvcallback callback, intptr_t object);
int kvrefresh_marked();

namespace kivo::widgets {
void reset_hosts();
}  // namespace kivo::widgets
