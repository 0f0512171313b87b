// Drawing primitives on pixmaps: lines (solid and dashed), rectangles and
// the frames of controls, circles, ellipses and arcs, flood fill, bitmaps,
// patterns, arrow glyphs and the decoration styles.
//
// Colours are 0xRRGGBB, or palette indexes on palette pixmaps. Points outside
// the pixmap are clipped one by one; each primitive sets its points in one
// batch per colour. Lines move the pixmap's pen to their end point.
#pragma once

struct kvpxmap;

void kvdraw_line(kvpxmap* p, int x1, int y1, int x2, int y2, int colour);
void kvdraw_lineto(kvpxmap* p, int x, int y, int colour);
void kvdraw_moveto(kvpxmap* p, int x, int y);
// Dashed line from the pen: 3 pixels on, 3 off.
void kvdraw_dashto(kvpxmap* p, int x, int y, int colour);
// `on` pixels drawn, `off` skipped, again and again; the end point is always drawn.
void kvdraw_dashline(kvpxmap* p, int x1, int y1, int x2, int y2, int colour, int on, int off);

void kvdraw_rect(kvpxmap* p, int x, int y, int w, int h, int colour);
void kvdraw_frame3d(kvpxmap* p, int x, int y, int w, int h, int top_left, int bottom_right);
void kvdraw_box3d(kvpxmap* p, int x, int y, int w, int h, int fill, int top_left, int bottom_right);
void kvdraw_shadowrect(kvpxmap* p, int x, int y, int w, int h, int colour);
void kvdraw_fillrect(kvpxmap* p, int x, int y, int w, int h, int colour);

void kvdraw_circle(kvpxmap* p, int x, int y, int r, int colour);
void kvdraw_ellipse(kvpxmap* p, int x, int y, int rx, int ry, int colour);
// Angles in degrees, growing clockwise on the screen.
void kvdraw_arc(kvpxmap* p, int x, int y, int rx, int ry, int start, int end, int colour);
void kvdraw_fillcircle(kvpxmap* p, int x, int y, int r, int colour);
void kvdraw_fillellipse(kvpxmap* p, int x, int y, int rx, int ry, int colour);

// Gives the 4-connected region of the colour at (x, y) the new colour.
void kvdraw_floodfill(kvpxmap* p, int x, int y, int colour);

// `bytes` holds w x h bytes row by row; non-zero bytes are set in the colour
// (bitmap2 also sets the zero bytes in the background colour).
void kvdraw_bitmap(kvpxmap* p, int x, int y, int w, int h, const unsigned char* bytes, int colour);
void kvdraw_bitmap2(kvpxmap* p, int x, int y, int w, int h, const unsigned char* bytes, int colour,
                    int background);
// A w x h text, row by row (line feeds between rows are allowed): "*" sets
// the colour. In the colour form "1" to "9" take colours[0] to colours[8];
// blank, "0" and any other character are transparent.
void kvdraw_pattern(kvpxmap* p, int x, int y, const char* text, int w, int h, int colour);
void kvdraw_colorpattern(kvpxmap* p, int x, int y, const char* text, int w, int h, const int* colours);

// An arrow glyph centred in the rectangle: "up", "down", "left", "right" and,
// for the normal size, "double left" and "double right". Unknown names draw nothing.
void kvdraw_arrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour);
void kvdraw_smallarrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour);
void kvdraw_bigarrow(kvpxmap* p, const char* name, int x, int y, int w, int h, int colour);

// The frame styles of controls: 0 none, 1 bevel, 2 double frame, 3 dotted
// focus rectangle, 4 and 6 plain rectangle, anything else a 3D frame.
// Colours of -1 take the scheme's role for that place.
void kvdraw_decoration(kvpxmap* p, int style, bool pressed, int x, int y, int w, int h, int colour1,
                       int colour2, int colour3, int colour4);
