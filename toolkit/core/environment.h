// Environment queries: screen and window metrics by name, the user-interface
// colour scheme every control draws with, and date and time.
#pragma once

#include <cstdint>

// ---- Metrics -----------------------------------------------------------------

// "screenxs", "screenys", "windowbordersize", "windowcaptionheight",
// "maxwindowxs", "maxwindowys". An unknown name prints "get setting: NAME" and gives 0.
int kvsetting(const char* name);

// "menuheight", "toolbarheight", "statusbarheight", "scrollbarwidth",
// "scrollbarheight", "screenwidth"/"screenxs", "screenheight"/"screenys",
// "maxwindowxs", "maxwindowys". Unknown: prints "guimetrics: NAME", gives 0.
int guimetrics(const char* name);

// Bits per pixel of the display, computed once.
int kvdisplaydepth();

namespace kivo::core {
// The height of the current default font; the font table installs it
// (without one, 13 pixels: the built-in 6x13 font).
void set_default_font_height_source(int (*source)());
// Scroll-bar sizes reported by guimetrics (the scroll bar may change them).
void set_scrollbar_size(int width, int height);
}  // namespace kivo::core

// ---- Colour scheme -------------------------------------------------------------

// The eleven roles of the user-interface scheme.
enum kvcolorrole {
  KV_COLOR_GREY = 0,      // background
  KV_COLOR_LIGHT = 1,
  KV_COLOR_DARK = 2,
  KV_COLOR_WHITE = 3,
  KV_COLOR_BLACK = 4,
  KV_COLOR_TEXTSEL = 5,   // selected text
  KV_COLOR_TEXT = 6,
  KV_COLOR_TEXTGREY = 7,  // disabled text
  KV_COLOR_DARKC0 = 8,
  KV_COLOR_BLUE = 9,      // selection background
  KV_COLOR_VERYLIGHT = 10,
  KV_COLOR_ROLES = 11
};

// Colour of a role (0xRRGGBB), -1 for an unknown role. The scheme is filled
// from the desktop on first use.
int kvcolor(int role);
// Sets a role; role 0 also derives roles 1, 2 and 8; role 5 cannot be set.
void kvsetcolor(int role, int colour);
// "standard": fill again from the desktop; "grey": the built-in grey scheme.
void kvcolorscheme(const char* name);
void kvcolorscheme_save();
void kvcolorscheme_restore();
// The desktop's value for a role name ("grey", "light", "dark", "text",
// "textgrey", "darkc0c0c0", "verylight", "textsel", "blue"), -1 otherwise.
int kvsyscolor(const char* name);
int kvrgb(int r, int g, int b);
// c with d added to each channel, clamped to 0..255.
int kvcolor_adjust(int c, int d);

namespace kivo::core {
void reset_colour_scheme();  // back to "not filled yet" (tests)
}

// ---- Date and time (local time) -------------------------------------------------

int kvyear();
int kvmonth();   // 1..12
int kvday();
int kvhour();
int kvminute();
int kvsecond();
// Milliseconds of the monotonic clock since the program started.
int64_t kvmillis();
int kvmillipart();
bool kvleapyear(int year);
// Ordinal of a day of the Gregorian calendar, 1 January of year 1 = 1.
int kvdaynumber(int year, int month, int day);

namespace kivo::core {
// Broken-down local time of now; thread-safe.
struct LocalTime {
  int year, month, day, hour, minute, second, weekday;  // weekday 0 = Sunday
};
LocalTime local_time_now();
}  // namespace kivo::core
