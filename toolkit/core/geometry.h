// The geometry record: position and size of a window, control or image as a
// configuration string gives them ("x=", "y=", "xs=", "ys=" in pixels or per
// cent of the parent), resolved into a pixel rectangle.
//
// Typical use by a creating function:
//   kvgeometry g;
//   kvgeometry_init(&g);
//   kvgeometry_setparent(&g, host_width, host_height);
//   bool placed = kvcfgstr_geometry(tokens, 1, &g);  // false: no x given
//   kvgeometry_defaultwidth(&g, 80);                  // where the kind has defaults
//   kvgeometry_defaultheight(&g, 24);
//   kvgeometry_resolve(&g);                           // g.x, g.y, g.width, g.height
//
// Percentages: a per-cent x or y is the centre of the rectangle unless the
// matching "is left edge"/"is top edge" flag is set; per-cent sizes of a
// centred rectangle are computed from its edges, so neighbouring centred
// objects meet without gaps. Resolved values are clamped to
// +-kvgeometry_max_coordinate.
#pragma once

#include <cstdint>

#include "toolkit/core/cfgstr.h"

constexpr int kvgeometry_max_coordinate = 1 << 24;

struct kvgeometry {
  int32_t x = 0, y = 0, width = 0, height = 0;  // resolved, pixels
  double xspec = 0, yspec = 0, wspec = 0, hspec = 0;  // as given
  int32_t minwidth = 0, minheight = 0;
  int32_t maxwidth = 0, maxheight = 0;  // 0: no maximum
  bool xpixel = true, ypixel = true;    // false: the given value is a per cent of the parent
  bool wpixel = true, hpixel = true;
  bool xleft = true, ytop = true;       // false: a per-cent position is the centre
  bool wuncentred = false, huncentred = false;  // plain per-cent size even when centred
  bool wdefaulted = false, hdefaulted = false;  // true while no size was given and no
                                                // default applied
  int32_t parentwidth = 0, parentheight = 0;    // what percentages refer to
};

// x, y 0 and width, height 100, all in pixels; no minimum or maximum; left
// and top edges; parent 0 x 0 until kvgeometry_setparent.
void kvgeometry_init(kvgeometry* g);
void kvgeometry_setparent(kvgeometry* g, int width, int height);
// If no width (height) was given (spec 0), it becomes w (h) pixels and the
// defaulted flag is cleared.
void kvgeometry_defaultwidth(kvgeometry* g, int w);
void kvgeometry_defaultheight(kvgeometry* g, int h);
// Computes x, y, width, height from the specs and the parent's size.
void kvgeometry_resolve(kvgeometry* g);
// Copies the resolved rectangle back into the specs, as pixels with left and
// top edges (after an object was moved or resized in pixels).
void kvgeometry_store(kvgeometry* g);

// Reads the position and size keywords from the tokens (first match counts,
// prefixes, ASCII case and blanks ignored):
//   sizepixel/sizepix            width and height in pixels
//   xsizepixel/xsizepix          width in pixels
//   ysizepixel/ysizepix          height in pixels
//   pospixel/positionpixel/pospix          x and y in pixels
//   xpositionpixel/xpospixel/xpospix       x in pixels
//   ypospixel/ypositionpixel/ypospix       y in pixels
//   minxsize=/minxs=  minysize=/minys=  maxxsize=/maxxs=  maxysize=/maxys=  (integers)
//   xs=/width=  ys=/height=  x=  y=   values with unit ("%", "percent", "pix", "pixel";
//                                     none keeps the current unit, pixels at first)
// The specs start at x -1, y, width, height 0, in pixels, left and top edges;
// minimum, maximum and parent are kept. Returns false, with x set to 0, when
// no x was given (an x of -1 counts as none).
bool kvcfgstr_geometry(kvcfgstr_tokens& t, int start, kvgeometry* g);
