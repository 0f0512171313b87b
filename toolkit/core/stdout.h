// The standard output: one current drawing target to which the global
// drawing functions send the graphic messages (codes 1001 to 1050), so that
// the same calls draw on an image, a view or any object that answers them.
#pragma once

#include <cstdint>

#include "toolkit/core/kvtypes.h"

struct kvpxmap;

// Graphic message codes.
enum kvgraphic_message {
  KVG_SETPIXEL = 1001, KVG_CIRCLE = 1002, KVG_FILLCIRCLE = 1003, KVG_RECT = 1004, KVG_FRAME3D = 1005,
  KVG_FILLRECT = 1006, KVG_BOX3D = 1007, KVG_SHADOWRECT = 1008, KVG_LINE = 1009, KVG_LINETO = 1010,
  KVG_MOVETO = 1011, KVG_DASHTO = 1012, KVG_FLOODFILL = 1013, KVG_ARC = 1014, KVG_ELLIPSE = 1015,
  KVG_FILLELLIPSE = 1016, KVG_NOTHING = 1017, KVG_CLEAR = 1018, KVG_TEXT = 1019, KVG_WRAPTEXT = 1020,
  KVG_CENTERTEXT = 1021, KVG_SAVE = 1022, KVG_LOAD = 1023, KVG_XPM = 1024, KVG_SETPALETTE = 1025,
  KVG_GETPIXEL = 1026, KVG_SETFONT = 1027, KVG_LOADFONT = 1028, KVG_SYSFONT = 1029, KVG_COPYIMAGE = 1034,
  KVG_TRANSCOLOR = 1035, KVG_TEXTWIDTH = 1036, KVG_FONTHEIGHT = 1037, KVG_CHARWIDTH = 1038,
  KVG_NOTHING2 = 1039, KVG_SELF = 1041, KVG_WIDTH = 1043, KVG_HEIGHT = 1044, KVG_MERGE = 1045,
  KVG_XPMPALETTE = 1046, KVG_DASHLINE = 1047, KVG_CHAR = 1048,
};

void kvstdout_set(kvcallback callback, intptr_t object);
// Removes the target only when it is the given one.
void kvstdout_clear(kvcallback callback, intptr_t object);
// One saved copy of the target (message boxes save it before they draw).
void kvstdout_save();
void kvstdout_restore();
// The current target; false when there is none.
bool kvstdout_get(kvcallback* callback, intptr_t* object);

// Sends a graphic message to the standard output; 0 when there is none.
intptr_t kvstdout_send(int code, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0,
                       intptr_t a5 = 0, intptr_t a6 = 0, intptr_t a7 = 0, intptr_t a8 = 0);

// ---- Global drawing functions (each sends its message) ----------------------

intptr_t kvgline(int x1, int y1, int x2, int y2, int colour);
intptr_t kvgbox(int x, int y, int w, int h, int colour);
// The line, then one in the second colour one pixel right (vertical lines)
// or one pixel down (all others).
void kvgthickline(int x1, int y1, int x2, int y2, int colour, int colour2);
intptr_t kvgfont(int font);
intptr_t kvgsysfont(const char* format, ...) __attribute__((format(printf, 1, 2)));
intptr_t kvgtext(int x, int y, int colour, const char* text);
intptr_t kvgtextf(int x, int y, int colour, const char* format, ...) __attribute__((format(printf, 4, 5)));
intptr_t kvgchar(int x, int y, int colour, int code);
intptr_t kvgxpm(int x, int y, const char* const* lines, const char* configuration);
intptr_t kvgload(const char* configuration);
intptr_t kvgmerge(int x, int y, kvpxmap* pixmap);
int kvgtextwidth(const char* text);
int kvgfontheight();
int kvgwidth();
int kvgheight();
