// kvView: creation, the page, drawing into the host, scroll bars and
// scrolling. Input is in view_input.cpp, the host side in view_host.cpp.
#include "toolkit/widgets/view.h"

#include <algorithm>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/draw.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/geometry.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/stdout.h"
#include "toolkit/widgets/hosts.h"
#include "toolkit/widgets/view_internal.h"

using kivo::widgets::ViewAccess;

kvView::kvView() {
  self = &kvView::message;
  kvpxmap_init(&own_page_);
}

kvView::~kvView() { destroy(); }

bool kvView::create(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const bool ok = vcreate(format, args);
  va_end(args);
  return ok;
}

bool kvView::vcreate(const char* format, va_list args) {
  if (created) destroy();
  attach();
  kvcfgstr_tokens t = kvcfgstr_vprocess(format ? format : "", args);

  const int host_w = hostsurface ? hostsurface->width : kvsetting("screenxs");
  const int host_h = hostsurface ? hostsurface->height : kvsetting("screenys");
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, host_w, host_h);
  kvcfgstr_geometry(t, 0, &g);
  kvgeometry_defaultwidth(&g, host_w);
  kvgeometry_defaultheight(&g, host_h);
  kvgeometry_resolve(&g);
  x = g.x;
  y = g.y;
  width = std::max(1, g.width);
  height = std::max(1, g.height);

  border = 0;
  kvcfgstr_border(t, 0, border);
  kvcfgstr_font(t, 0, font);
  kvcfgstr_nofocus(t, 0, nofocus);
  kvcfgstr_grey(t, 0, grey);
  bgcolor = transcolor >= 0 ? transcolor : kvcolor(KV_COLOR_GREY);
  kvcfgstr_bgcolor(t, 0, bgcolor);
  kvcfgstr_textcolor(t, 0, textcolor);
  kvcfgstr_transcolor(t, 0, transcolor);
  kvcfg_viewpxmap vp;
  kvcfgstr_viewpxmap(t, 0, vp);
  uint32_t format_code = vp.format ? vp.format : KVPX_TRUECOLOR;
  kvcfgstr_pxtype(t, 0, format_code);
  kvcfg_scrollbars bars;
  kvcfgstr_scrollbars(t, 0, bars);
  verticalAllowed = bars.vertical;
  horizontalAllowed = bars.horizontal;
  bool standardview = false;
  kvcfgstr_flag(t, 0, "nokeyscroll", nokeyscroll);
  kvcfgstr_flag(t, 0, "scrollwheelalways", scrollwheelalways);
  kvcfgstr_flag(t, 0, "autofocus", autofocus);
  kvcfgstr_flag(t, 0, "standardview", standardview);
  kvcfgstr_flag(t, 0, "resize", followsHost);
  autoRefresh = !vp.noredraw;

  const int page_w = vp.width > 0 ? vp.width : width;
  const int page_h = vp.height > 0 ? vp.height : height;
  const bool into_host = (format_code == KVPX_SERVER || vp.opengl) && hostsurface && page_w == width &&
                         page_h == height;
  if (into_host) {
    page_ = hostsurface;
    own_ = false;
    kvpxmap_fillrect(hostsurface, x, y, width, height, bgcolor);
  } else {
    pageFormat = format_code == KVPX_SERVER ? KVPX_TRUECOLOR : format_code;
    if (!make_own_page(page_w, page_h)) page_ = nullptr;
  }

  int flags = KV_REGION_MOUSE | KV_REGION_FOCUSABLE | KV_REGION_HOVER;
  region = registerRegion(flags);
  created = true;
  decide_scrollbars();
  if (!vp.nostandardview) kvstdout_set(&kvView::message, reinterpret_cast<intptr_t>(this));
  if (standardview) makeStandard();
  redraw();
  return page_ != nullptr;
}

void kvView::destroy() {
  if (!created) return;
  // Children go first: they may still talk to the view while leaving.
  const std::vector<kvViewRegion> children = regions;
  for (const kvViewRegion& r : children)
    if (r.in_use && r.callback) r.callback(r.object, KV_CHILD_DESTROY, 0, 0, 0, 0, 0, 0, 0, 0);
  regions.clear();
  focusRegion = captureRegion = hoverRegion = -1;
  release_page();
  host(KV_HOST_UNREGISTER, reinterpret_cast<intptr_t>(this));
  kvstdout_clear(&kvView::message, reinterpret_cast<intptr_t>(this));
  kvhost_unregister(&kvView::message, reinterpret_cast<intptr_t>(this));
  kvrefresh_unmark(&kvView::message, reinterpret_cast<intptr_t>(this));
  registered_host_ = false;
  created = false;
  focused = false;
  showsVertical = showsHorizontal = false;
  scrollX = scrollY = centreX = centreY = 0;
  region = -1;
}

void kvView::makeStandard() {
  kvhost_register(page_, &kvView::message, reinterpret_cast<intptr_t>(this), false, bgcolor);
  registered_host_ = true;
  kvstdout_set(&kvView::message, reinterpret_cast<intptr_t>(this));
}

bool kvView::make_own_page(int w, int h) {
  release_page();
  own_page_.width = std::clamp(w, 1, kvpxmap_max_dimension);
  own_page_.height = std::clamp(h, 1, kvpxmap_max_dimension);
  own_page_.format = pageFormat;
  if (!kvpxmap_allocate(&own_page_)) {
    kvpxmap_free(&own_page_);
    return false;
  }
  own_ = true;
  page_ = &own_page_;
  kvpxmap_clear(page_, bgcolor);
  // Children registered with the view as host draw into the new page.
  if (registered_host_) kvhost_register(page_, &kvView::message, reinterpret_cast<intptr_t>(this), false, bgcolor);
  return true;
}

void kvView::release_page() {
  if (own_) kvpxmap_free(&own_page_);
  own_ = false;
  page_ = nullptr;
}

void kvView::setPageSize(int w, int h, bool vertical_allowed, bool horizontal_allowed) {
  if (!created) return;
  verticalAllowed = vertical_allowed;
  horizontalAllowed = horizontal_allowed;
  if (w <= 0) w = pageWidth();
  if (h <= 0) h = pageHeight();
  if (page_ && w == pageWidth() && h == pageHeight()) return;
  scrollX = scrollY = centreX = centreY = 0;
  if (!own_ || !page_) {
    // A view drawing into its host's surface gets a page of its own first.
    if (!make_own_page(w, h)) return;
  } else {
    kvpxmap_resize(page_, w, h);
    kvpxmap_clear(page_, bgcolor);
  }
  if (registered_host_) kvhost_register(page_, &kvView::message, reinterpret_cast<intptr_t>(this), false, bgcolor);
  decide_scrollbars();
  redraw();
}

void kvView::place(int nx, int ny, int w, int h) {
  x = nx;
  y = ny;
  width = std::max(1, w);
  height = std::max(1, h);
  if (region >= 0) host(KV_HOST_MOVEREGION, region, x, y, width, height);
  decide_scrollbars();
  scroll_vertical(scrollY);
  scroll_horizontal(scrollX);
}

int kvView::usableWidth() const { return pageWidth() - (showsVertical ? vbar.width : 0); }
int kvView::usableHeight() const { return pageHeight() - (showsHorizontal ? hbar.height : 0); }

// ---- Drawing into the host --------------------------------------------------------

void kvView::redraw() {
  if (!created || !visible || !autoRefresh || !hostsurface || !page_) return;
  if (border > 0) {
    kvdraw_frame3d(hostsurface, x - 1, y - 1, width + 2, height + 2, kvcolor(KV_COLOR_BLACK),
                   kvcolor(KV_COLOR_LIGHT));
    if (border > 1)
      kvdraw_frame3d(hostsurface, x - 2, y - 2, width + 4, height + 4, kvcolor(KV_COLOR_DARK),
                     kvcolor(KV_COLOR_WHITE));
  }
  if (own_) {
    centreX = pageWidth() < width ? (width - pageWidth()) / 2 : 0;
    centreY = pageHeight() < height ? (height - pageHeight()) / 2 : 0;
    const int shown_w = std::min(width - centreX, pageWidth() - scrollX);
    const int shown_h = std::min(height - centreY, pageHeight() - scrollY);
    // The margins around a page smaller than the view.
    if (centreX > 0 || centreY > 0) {
      kvpxmap_fillrect(hostsurface, x, y, width, centreY, bgcolor);
      kvpxmap_fillrect(hostsurface, x, y + centreY + shown_h, width, height - centreY - shown_h, bgcolor);
      kvpxmap_fillrect(hostsurface, x, y + centreY, centreX, shown_h, bgcolor);
      kvpxmap_fillrect(hostsurface, x + centreX + shown_w, y + centreY, width - centreX - shown_w, shown_h, bgcolor);
    }
    ViewAccess::copy_to_host(*this, scrollX, scrollY, x + centreX, y + centreY, shown_w, shown_h);
  }
  if (showsVertical) vbar.draw();
  if (showsHorizontal) hbar.draw();
  host(KV_HOST_UPDATE, x - 2, y - 2, width + 4, height + 4);
}

// ---- Scroll bars and scrolling ------------------------------------------------------

void kvView::decide_scrollbars() {
  const bool had_vertical = showsVertical;
  if (!own_ || !page_) {
    showsVertical = showsHorizontal = false;
  } else {
    const int bw = guimetrics("scrollbarwidth"), bh = guimetrics("scrollbarheight");
    const int pw = pageWidth(), ph = pageHeight();
    bool need_h = width + 21 < pw;
    bool need_v = height + 21 < ph;
    if (need_h && height - bh + 21 < ph) need_v = true;
    if (need_v && width - bw + 21 < pw) need_h = true;
    showsHorizontal = need_h && horizontalAllowed;
    showsVertical = need_v && verticalAllowed;
  }
  place_scrollbars();
  update_knobs();
  if (created && had_vertical != showsVertical) host(KV_HOST_OWNSCROLL, region, showsVertical ? 1 : 0);
}

void kvView::place_scrollbars() {
  const int bw = guimetrics("scrollbarwidth"), bh = guimetrics("scrollbarheight");
  const intptr_t me = reinterpret_cast<intptr_t>(this);
  if (showsVertical)
    vbar.create(&kvView::message, me, hostsurface, x + width - bw, y, bw, height - (showsHorizontal ? bh : 0), true);
  if (showsHorizontal)
    hbar.create(&kvView::message, me, hostsurface, x, y + height - bh, width - (showsVertical ? bw : 0), bh, false);
}

void kvView::update_knobs() {
  const int range_y = pageHeight() - height, range_x = pageWidth() - width;
  if (showsVertical)
    vbar.setKnob(pageHeight() > 0 ? height * 100 / pageHeight() : 100, range_y > 0 ? scrollY * 100 / range_y : 0);
  if (showsHorizontal)
    hbar.setKnob(pageWidth() > 0 ? width * 100 / pageWidth() : 100, range_x > 0 ? scrollX * 100 / range_x : 0);
}

void kvView::after_scroll(bool vertical) {
  update_knobs();
  redraw();
  const std::vector<kvViewRegion> children = regions;
  for (const kvViewRegion& r : children)
    if (r.in_use && r.callback) r.callback(r.object, KV_CHILD_SCROLLED, scrollX, scrollY, 0, 0, 0, 0, 0, 0);
  if (vertical) host(KV_HOST_SCROLLED);
}

void kvView::scroll_vertical(int target) {
  const int limit = std::max(0, pageHeight() - height);
  target = std::clamp(target, 0, limit);
  if (target == scrollY) return;
  scrollY = target;
  after_scroll(true);
}

void kvView::scroll_horizontal(int target) {
  const int limit = std::max(0, pageWidth() - width);
  target = std::clamp(target, 0, limit);
  if (target == scrollX) return;
  scrollX = target;
  after_scroll(false);
}

void kvView::scrollTo(int target) {
  if (pageHeight() <= height) return;
  scroll_vertical(std::clamp(target, 0, pageHeight() - height - 1));
}

void kvView::scroll(int command, intptr_t value) {
  if (!created || !own_) return;
  const int ph = pageHeight(), pw = pageWidth();
  switch (command) {
    case KV_SCROLL_UP: scroll_vertical(scrollY - ph / 20); break;
    case KV_SCROLL_DOWN: scroll_vertical(scrollY + ph / 20); break;
    case KV_SCROLL_LEFT: scroll_horizontal(scrollX - pw / 20); break;
    case KV_SCROLL_RIGHT: scroll_horizontal(scrollX + pw / 20); break;
    case KV_SCROLL_PAGEUP:
      if (value == 1)
        scroll_horizontal(scrollX - pw / 5);
      else
        scroll_vertical(scrollY - ph / 5);
      break;
    case KV_SCROLL_PAGEDOWN:
      if (value == 1)
        scroll_horizontal(scrollX + pw / 5);
      else
        scroll_vertical(scrollY + ph / 5);
      break;
    case KV_SCROLL_VPOS: scroll_vertical(int(std::clamp<intptr_t>(value, 0, 100)) * std::max(0, ph - height) / 100); break;
    case KV_SCROLL_HPOS: scroll_horizontal(int(std::clamp<intptr_t>(value, 0, 100)) * std::max(0, pw - width) / 100); break;
    default: break;
  }
}

void kvView::show_region(int index) {
  if (kvlayout_inprogress() || !kvdisplay_live() || !own_) return;
  if (index < 0 || index >= int(regions.size()) || !regions[size_t(index)].in_use) return;
  const kvViewRegion& r = regions[size_t(index)];
  const int step_x = std::max(1, width / 2), step_y = std::max(1, height / 2);
  int sx = scrollX, sy = scrollY;
  const int limit_x = std::max(0, pageWidth() - width), limit_y = std::max(0, pageHeight() - height);
  while (r.x >= sx + width && sx < limit_x) sx += step_x;
  while (r.y >= sy + height && sy < limit_y) sy += step_y;
  while (r.x < sx && sx > 0) sx -= step_x;
  while (r.y < sy && sy > 0) sy -= step_y;
  sx = std::clamp(sx, 0, limit_x);
  sy = std::clamp(sy, 0, limit_y);
  if (sx == scrollX && sy == scrollY) return;
  const bool vertical = sy != scrollY;
  scrollX = sx;
  scrollY = sy;
  after_scroll(vertical);
}
