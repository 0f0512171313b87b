#include "toolkit/widgets/statusbar.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>

#include "toolkit/core/draw.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/font.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/core/strformat.h"

namespace {
const std::string kEmpty;
}

kvStatusBar::kvStatusBar() = default;

void kvStatusBar::create(kvpxmap* surface, int bx, int by, int bw, int bh, int font, int bgcolor,
                         int textcolor) {
  font_ = font;
  bgcolor_ = bgcolor;
  textcolor_ = textcolor;
  created = true;
  place(surface, bx, by, bw, bh);
}

void kvStatusBar::place(kvpxmap* surface, int bx, int by, int bw, int bh) {
  surface_ = surface;
  x = bx;
  y = by;
  width = std::max(0, bw);
  height = std::max(0, bh);
}

void kvStatusBar::setLayout(const char* layout) {
  fields_ = 0;
  const char* p = layout ? layout : "";
  while (*p && fields_ < kvstatusbar_max_fields) {
    percent_[fields_] = std::clamp(std::atoi(p), 0, 100);
    ++fields_;
    while (*p && *p != ',') ++p;
    if (*p == ',') ++p;
  }
  if (fields_ == 0) {
    fields_ = 1;
    percent_[0] = 100;
  }
}

void kvStatusBar::setText(int field, const char* format, ...) {
  if (field < 0 || field >= kvstatusbar_max_fields || !format) return;
  va_list args;
  va_start(args, format);
  text_[field] = kivo::core::vformat(format, args);
  va_end(args);
  shows_progress_[field] = false;
}

void kvStatusBar::setProgress(int field, int value) {
  if (field < 0 || field >= kvstatusbar_max_fields) return;
  progress_[field] = std::clamp(value, 0, 100);
  shows_progress_[field] = true;
}

int kvStatusBar::fieldWidth(int field) const {
  if (field < 0 || field >= fields_) return 0;
  return percent_[field] * width / 100;
}

const std::string& kvStatusBar::text(int field) const {
  return field >= 0 && field < kvstatusbar_max_fields ? text_[field] : kEmpty;
}

void kvStatusBar::draw() {
  if (!created || !surface_ || width <= 0 || height <= 0) return;
  const int bg = bgcolor_ >= 0 ? bgcolor_ : kvcolor(KV_COLOR_GREY);
  const int ink = textcolor_ >= 0 ? textcolor_ : kvcolor(KV_COLOR_TEXT);
  const int dark = kvcolor(KV_COLOR_DARK), light = kvcolor(KV_COLOR_WHITE);
  kvdraw_fillrect(surface_, x, y, width, height, bg);
  int fx = x;
  for (int i = 0; i < fields_; ++i) {
    const int fw = fieldWidth(i);
    if (fw > 2) kvdraw_frame3d(surface_, fx + 1, y + 1, fw - 2, height - 2, dark, light);
    if (shows_progress_[i]) {
      if (progress_[i] > 0)
        kvdraw_fillrect(surface_, fx + 3, y + 3, (fw - 6) * progress_[i] / 100, height - 6, dark);
    } else if (!text_[i].empty()) {
      // drawtext cuts the text with "..." at the field's room.
      kvfont_drawtext(surface_, font_, fx + 4, y + 3, ink, false, false, -1, std::max(1, fw - 8), -1,
                      text_[i].c_str());
    }
    fx += fw;
  }
}
