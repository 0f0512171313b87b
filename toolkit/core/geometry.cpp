// Position and size keywords and their resolution into pixels.
#include "toolkit/core/geometry.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/cfgstr_rules.h"

namespace {

using namespace kivo::cfgstr;
using G = kvgeometry;

// Truncation toward zero into the coordinate range (NaN gives 0).
int32_t trunc_coord(double v) {
  if (!(v == v)) return 0;
  v = std::clamp(v, -static_cast<double>(kvgeometry_max_coordinate),
                 static_cast<double>(kvgeometry_max_coordinate));
  return static_cast<int32_t>(std::trunc(v));
}

int32_t clamp_coord(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kvgeometry_max_coordinate,
                                                  kvgeometry_max_coordinate));
}

// A spec with its unit: per cent clears the in-pixels flag (and, for a
// position, the edge flag), pixels set it, no unit leaves both.
void spec(std::string_view value, double& out, bool& pixel, bool* edge) {
  int unit;
  out = kvcfgstr_unitvalue(value, &unit);
  if (unit == KVCFG_UNIT_PERCENT) {
    pixel = false;
    if (edge) *edge = false;
  } else if (unit == KVCFG_UNIT_PIXEL) {
    pixel = true;
  }
}

void size_pixel(G& g, std::string_view) { g.wpixel = g.hpixel = true; }
void width_pixel(G& g, std::string_view) { g.wpixel = true; }
void height_pixel(G& g, std::string_view) { g.hpixel = true; }
void pos_pixel(G& g, std::string_view) { g.xpixel = g.ypixel = true; }
void x_pixel(G& g, std::string_view) { g.xpixel = true; }
void y_pixel(G& g, std::string_view) { g.ypixel = true; }
void min_width(G& g, std::string_view v) { g.minwidth = kvcfgstr_intvalue(v); }
void min_height(G& g, std::string_view v) { g.minheight = kvcfgstr_intvalue(v); }
void max_width(G& g, std::string_view v) { g.maxwidth = kvcfgstr_intvalue(v); }
void max_height(G& g, std::string_view v) { g.maxheight = kvcfgstr_intvalue(v); }
void width_spec(G& g, std::string_view v) {
  spec(v, g.wspec, g.wpixel, nullptr);
  g.wdefaulted = false;
}
void height_spec(G& g, std::string_view v) {
  spec(v, g.hspec, g.hpixel, nullptr);
  g.hdefaulted = false;
}
void x_spec(G& g, std::string_view v) { spec(v, g.xspec, g.xpixel, &g.xleft); }
void y_spec(G& g, std::string_view v) { spec(v, g.yspec, g.ypixel, &g.ytop); }

// In this order; every keyword matches by prefix and the first match counts.
constexpr Rule<G> kGeometry[] = {
    custom("sizepixel/sizepix", size_pixel),
    custom("xsizepixel/xsizepix", width_pixel),
    custom("ysizepixel/ysizepix", height_pixel),
    custom("pospixel/positionpixel/pospix", pos_pixel),
    custom("xpositionpixel/xpospixel/xpospix", x_pixel),
    custom("ypospixel/ypositionpixel/ypospix", y_pixel),
    custom("minxsize=/minxs=", min_width),
    custom("minysize=/minys=", min_height),
    custom("maxxsize=/maxxs=", max_width),
    custom("maxysize=/maxys=", max_height),
    custom("xs=/width=", width_spec),
    custom("ys=/height=", height_spec),
    custom("x=", x_spec),
    custom("y=", y_spec),
};

// One axis of the resolution: the size, then (after the limits) the position.
int32_t resolve_size(double pos, double size, bool size_pixel, bool edge, bool uncentred,
                     int32_t parent) {
  double p = parent;
  int32_t s;
  if (size_pixel) {
    s = trunc_coord(size);
  } else if (edge || uncentred) {
    s = trunc_coord(p * size / 100);
  } else {
    double left = pos - size / 2;
    s = clamp_coord(int64_t{trunc_coord(p * (size + left) / 100)} - trunc_coord(p * left / 100));
  }
  // A parent of 0 means none was set: nothing to stay within.
  if (parent > 0) s = std::min(s, parent);
  return s;
}

int32_t limit(int32_t s, int32_t minimum, int32_t maximum) {
  s = std::max(s, minimum);
  if (maximum != 0 && s > maximum) s = maximum;
  return s;
}

int32_t resolve_position(double pos, bool pos_pixel, bool edge, bool size_pixel, int32_t size,
                         int32_t parent) {
  double p = parent;
  if (pos_pixel) return trunc_coord(pos);
  if (edge) return trunc_coord(p * pos / 100);
  int32_t half = size / 2;
  if (size_pixel) return trunc_coord(p * pos / 100 - half);
  return clamp_coord(int64_t{trunc_coord(p * pos / 100)} - half);
}

}  // namespace

void kvgeometry_init(kvgeometry* g) {
  *g = kvgeometry{};
  g->width = g->height = 100;
  g->wspec = g->hspec = 100;
}

void kvgeometry_setparent(kvgeometry* g, int width, int height) {
  g->parentwidth = width;
  g->parentheight = height;
}

void kvgeometry_defaultwidth(kvgeometry* g, int w) {
  if (g->wspec != 0) return;
  g->wspec = w;
  g->wpixel = true;
  g->wdefaulted = false;
}

void kvgeometry_defaultheight(kvgeometry* g, int h) {
  if (g->hspec != 0) return;
  g->hspec = h;
  g->hpixel = true;
  g->hdefaulted = false;
}

void kvgeometry_resolve(kvgeometry* g) {
  int32_t w = resolve_size(g->xspec, g->wspec, g->wpixel, g->xleft, g->wuncentred, g->parentwidth);
  int32_t h = resolve_size(g->yspec, g->hspec, g->hpixel, g->ytop, g->huncentred, g->parentheight);
  g->width = limit(w, g->minwidth, g->maxwidth);
  g->height = limit(h, g->minheight, g->maxheight);
  g->x = resolve_position(g->xspec, g->xpixel, g->xleft, g->wpixel, g->width, g->parentwidth);
  g->y = resolve_position(g->yspec, g->ypixel, g->ytop, g->hpixel, g->height, g->parentheight);
}

void kvgeometry_store(kvgeometry* g) {
  g->xspec = g->x;
  g->yspec = g->y;
  g->wspec = g->width;
  g->hspec = g->height;
  g->xpixel = g->ypixel = g->wpixel = g->hpixel = true;
  g->xleft = g->ytop = true;
}

bool kvcfgstr_geometry(kvcfgstr_tokens& t, int start, kvgeometry* g) {
  g->xspec = -1;
  g->yspec = g->wspec = g->hspec = 0;
  g->xpixel = g->ypixel = g->wpixel = g->hpixel = true;
  g->xleft = g->ytop = true;
  g->wuncentred = g->huncentred = false;
  g->wdefaulted = g->hdefaulted = true;
  Walk how;
  how.all_prefix = true;
  walk(t, start, kGeometry, *g, how);
  if (g->xspec == -1) {
    g->xspec = 0;
    return false;
  }
  return true;
}
