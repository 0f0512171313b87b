// What the virtual desktop shows: the window list for tests and the screen
// composed from the bare desktop, window frames and client areas.
#include <algorithm>

#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

constexpr uint32_t kFrameColour = 0xC0C0C0;
constexpr uint32_t kActiveCaption = 0x1F4E99;
constexpr uint32_t kInactiveCaption = 0x7A7A7A;

}  // namespace

std::vector<WindowInfo> VirtualDesktop::windows() {
  std::lock_guard lock(mutex_);
  std::vector<WindowInfo> list;
  int level = 0;
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    const Win* w = find(*it);
    if (!w) continue;
    WindowInfo info;
    info.id = w->id;
    info.ours = w->ours;
    info.title = w->title;
    info.outer = w->outer;
    info.client = client_of(*w);
    info.spec = w->spec;
    info.layer = w->layer;
    info.visible = w->visible;
    info.minimised = w->minimised;
    info.maximised = w->maximised;
    info.focused = focus_ == w->id;
    info.is_desktop = w->is_desktop;
    info.stacking = level++;
    info.presents = w->presents;
    info.has_icon = !w->icon.empty();
    list.push_back(std::move(info));
  }
  return list;
}

bool VirtualDesktop::window(WindowId id, WindowInfo& info) {
  for (auto& candidate : windows()) {
    if (candidate.id == id) {
      info = std::move(candidate);
      return true;
    }
  }
  return false;
}

WindowId VirtualDesktop::newest_window() {
  std::lock_guard lock(mutex_);
  return newest_;
}

WindowId VirtualDesktop::focused_window() {
  std::lock_guard lock(mutex_);
  return focus_;
}

WindowId VirtualDesktop::capturing_window() {
  std::lock_guard lock(mutex_);
  return capture_;
}

std::vector<uint32_t> VirtualDesktop::window_pixels(WindowId id, int& width, int& height) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) {
    width = height = 0;
    return {};
  }
  width = w->client_w;
  height = w->client_h;
  return w->pixels;
}

void VirtualDesktop::compose(std::vector<uint32_t>& image) {
  const int sw = screen_.width, sh = screen_.height;
  image.assign(size_t(sw) * size_t(sh), screen_.background);
  auto fill = [&](const Rect& r, uint32_t colour) {
    const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
    const int x1 = std::min(sw, r.x + r.width), y1 = std::min(sh, r.y + r.height);
    for (int y = y0; y < y1; ++y) std::fill(image.begin() + ptrdiff_t(y) * sw + x0, image.begin() + ptrdiff_t(y) * sw + x1, colour);
  };
  for (WindowId id : stacking_) {
    const Win* w = find(id);
    if (!w || !shown(*w)) continue;
    if (!w->ours) {
      fill(w->outer, w->colour);
      continue;
    }
    if (w->frame.top || w->frame.left) {
      fill(w->outer, kFrameColour);
      if (w->spec.caption && !w->spec.popup && !w->spec.full_screen)
        fill({w->outer.x + w->frame.left, w->outer.y + w->frame.left, w->client_w,
              w->frame.top - w->frame.left},
             focus_ == id ? kActiveCaption : kInactiveCaption);
    }
    const Rect c = client_of(*w);
    const int x0 = std::max(0, c.x), y0 = std::max(0, c.y);
    const int x1 = std::min(sw, c.x + c.width), y1 = std::min(sh, c.y + c.height);
    for (int y = y0; y < y1; ++y)
      std::copy(w->pixels.begin() + ptrdiff_t(y - c.y) * w->client_w + (x0 - c.x),
                w->pixels.begin() + ptrdiff_t(y - c.y) * w->client_w + (x1 - c.x),
                image.begin() + ptrdiff_t(y) * sw + x0);
  }
}

std::vector<uint32_t> VirtualDesktop::screen_image() {
  std::lock_guard lock(mutex_);
  std::vector<uint32_t> image;
  compose(image);
  return image;
}

int32_t VirtualDesktop::screen_pixel(int x, int y) {
  std::lock_guard lock(mutex_);
  if (x < 0 || y < 0 || x >= screen_.width || y >= screen_.height) return -1;
  // The topmost shown window at the point decides; no need to compose all.
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    const Win* w = find(*it);
    if (!w || !shown(*w) || !w->outer.contains(x, y)) continue;
    if (!w->ours) return int32_t(w->colour);
    const Rect c = client_of(*w);
    if (c.contains(x, y)) return int32_t(w->pixels[size_t(y - c.y) * size_t(w->client_w) + size_t(x - c.x)]);
    const bool in_caption = w->spec.caption && y >= w->outer.y + w->frame.left && y < c.y &&
                            x >= c.x && x < c.x + c.width;
    if (in_caption) return int32_t(focus_ == w->id ? kActiveCaption : kInactiveCaption);
    return int32_t(kFrameColour);
  }
  return int32_t(screen_.background);
}

bool VirtualDesktop::capture(int x, int y, int width, int height, uint32_t* pixels, int stride) {
  if (!pixels || width <= 0 || height <= 0 || stride < width) return false;
  std::vector<uint32_t> image;
  int sw, sh;
  {
    std::lock_guard lock(mutex_);
    compose(image);
    sw = screen_.width;
    sh = screen_.height;
  }
  for (int row = 0; row < height; ++row) {
    const int sy = y + row;
    if (sy < 0 || sy >= sh) continue;
    for (int col = 0; col < width; ++col) {
      const int sx = x + col;
      if (sx >= 0 && sx < sw) pixels[ptrdiff_t(row) * stride + col] = image[size_t(sy) * size_t(sw) + size_t(sx)];
    }
  }
  return true;
}

}  // namespace kivo::port::headless
