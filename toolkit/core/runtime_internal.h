// Connections between the runtime's own files and the toolkit modules that
// kvinit and the exit sequence call. Not for applications.
#pragma once

namespace kivo::core {

// Marks the display live (once) and broadcasts the first-time redraw.
void make_display_live();
// True on the thread that entered the program.
bool on_entry_thread();
// Delivers pending ticks of the periodic tick (at most 10 per call).
void deliver_ticks();

// Back to the state of a fresh process (tests only).
void reset_runtime();
void reset_timers();

// Called by kvinit: register the built-in fonts, clear the child table.
void init_builtin_fonts();
void reset_child_processes();

}  // namespace kivo::core
