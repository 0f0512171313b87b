// State shared by the window layer's sources.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "toolkit/core/llgui.h"
#include "toolkit/port/windows.h"

namespace kivo::core::llgui {

struct TableEntry {
  bool in_use = false;
  kvcallback callback = nullptr;
  intptr_t object = 0;
  port::WindowId handle = 0;
};

struct State {
  std::array<TableEntry, kvllgui_table_size> table{};
  // The last opened window that is neither popup nor modal: the owner of
  // later popups.
  kvllgui_window* main_window = nullptr;
  int modifiers = 0;
  std::string dropped_file;
  // Read by a frame thread that draws while the main thread paints.
  std::atomic<bool> in_paint{false};
  std::atomic<kvllgui_window*> painting{nullptr};
  std::vector<std::string> devices;
  bool devices_known = false;
  std::vector<uint32_t> icon;  // empty: the built-in icon
  int icon_width = 0, icon_height = 0;
  // The desktop window recognised by kvllgui_keepondesktop, and the window
  // it found the last time.
  port::WindowId desktop_window = 0;
  port::WindowId last_found = 0;
};

State& state();
std::atomic<bool>& drawing_suspended_flag();

// The port's event handler of every window the layer opens.
void on_port_event(void* user, port::WindowId handle, const port::WindowEvent& event);
// The layer's own handler between the window procedure and the owner
// (object: the kvllgui_window).
intptr_t layer_handler(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                       intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);

// The current device context of this thread (kvllgui_getdc, or the window
// being painted).
kvllgui_window*& current_dc();

// Makes the backing pixmap width × height (content undefined).
bool resize_backing(kvllgui_window* w, int width, int height);
// Copies a rectangle of the backing pixmap into the shown copy, if the
// window keeps one.
void update_shown(kvllgui_window* w, int x, int y, int width, int height, int src_x, int src_y);
// Releases the shown copy.
void drop_shown(kvllgui_window* w);

// The program icon at the requested size (the one given with
// kvllgui_seticon scaled, or the built-in one).
std::vector<uint32_t> icon_pixels(int size);

// Toolkit text (code page 1252, or already UTF-8) as UTF-8 for the window system.
std::string to_utf8(const std::string& text);
// A Unicode character in code page 1252, 0 when it has no code there.
int to_codepage(uint32_t character);

}  // namespace kivo::core::llgui
