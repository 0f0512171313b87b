// Windows, stacking, focus, work area and tray of the virtual desktop.
#include "toolkit/port/headless/virtual_desktop.h"

#include <algorithm>

#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/display.h"

namespace kivo::port::headless {
namespace {

// Stacking rank: the desktop background below everything, then windows kept
// on the desktop, normal windows, windows kept on top.
int rank(bool is_desktop, WindowLayer layer) {
  if (is_desktop) return 0;
  switch (layer) {
    case WindowLayer::OnDesktop: return 1;
    case WindowLayer::Normal: return 2;
    case WindowLayer::OnTop: return 3;
  }
  return 2;
}

}  // namespace

VirtualDesktop::VirtualDesktop(HeadlessClock& clock, HeadlessDisplay& display)
    : clock_(clock), display_(display) {}

// ---- Screen ------------------------------------------------------------------

ScreenConfig VirtualDesktop::screen() {
  std::lock_guard lock(mutex_);
  return screen_;
}

void VirtualDesktop::set_screen(const ScreenConfig& config) {
  std::lock_guard lock(mutex_);
  screen_ = config;
  if (screen_.width < 1) screen_.width = 1;
  if (screen_.height < 1) screen_.height = 1;
  strips_.clear();
  explicit_work_area_ = false;
}

std::vector<MonitorConfig> VirtualDesktop::monitors() {
  std::lock_guard lock(mutex_);
  std::vector<MonitorConfig> list = screen_.monitors;
  if (list.empty()) {
    MonitorConfig only;
    only.bounds = {0, 0, screen_.width, screen_.height};
    only.refresh_hz = screen_.refresh_hz;
    list.push_back(only);
  }
  for (auto& m : list)
    if (m.total_lines <= 0) m.total_lines = m.bounds.height + 45;
  return list;
}

// ---- Helpers (mutex held) ----------------------------------------------------

VirtualDesktop::Win* VirtualDesktop::find(WindowId id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

Rect VirtualDesktop::client_of(const Win& w) const {
  return {w.outer.x + w.frame.left, w.outer.y + w.frame.top, w.client_w, w.client_h};
}

VirtualDesktop::Frame VirtualDesktop::frame_for(const WindowSpec& spec) const {
  Frame f;
  if (spec.popup || spec.full_screen) return f;
  if (spec.caption || spec.sizing_frame) f.left = f.right = f.top = f.bottom = screen_.frame.border;
  if (spec.caption) f.top += screen_.frame.caption;
  return f;
}

void VirtualDesktop::restack(WindowId id) {
  Win* w = find(id);
  if (!w) return;
  std::erase(stacking_, id);
  const int r = rank(w->is_desktop, w->layer);
  // Insert above every window of the same or a lower rank.
  auto pos = stacking_.begin();
  for (auto it = stacking_.begin(); it != stacking_.end(); ++it) {
    Win* other = find(*it);
    if (other && rank(other->is_desktop, other->layer) <= r) pos = it + 1;
  }
  stacking_.insert(pos, id);
}

void VirtualDesktop::queue(WindowId id, const WindowEvent& event) {
  display_.post([this, id, event] { deliver(id, event); });
}

void VirtualDesktop::queue_simple(WindowId id, WindowEvent::Type type) {
  WindowEvent e;
  e.type = type;
  e.modifiers = modifiers_;
  queue(id, e);
}

void VirtualDesktop::queue_paint(const Win& w) {
  if (!w.ours || !shown(w)) return;
  WindowEvent e;
  e.type = WindowEvent::Paint;
  e.width = w.client_w;
  e.height = w.client_h;
  queue(w.id, e);
}

void VirtualDesktop::deliver(WindowId id, const WindowEvent& event) {
  WindowEventHandler handler = nullptr;
  void* user = nullptr;
  {
    std::lock_guard lock(mutex_);
    Win* w = find(id);
    if (!w || !w->ours) return;  // destroyed before the event was dispatched
    handler = w->spec.handler;
    user = w->spec.user;
  }
  if (handler) handler(user, id, event);
}

void VirtualDesktop::focus_window(WindowId id) {
  if (id == focus_) return;
  const WindowId old = focus_;
  focus_ = id;
  if (Win* w = find(old); w && w->ours) {
    queue_simple(old, WindowEvent::Deactivated);
    queue_simple(old, WindowEvent::FocusLost);
  }
  if (Win* w = find(id); w && w->ours) {
    queue_simple(id, WindowEvent::Activated);
    queue_simple(id, WindowEvent::FocusGained);
  }
}

void VirtualDesktop::focus_next_after_losing(WindowId id) {
  if (focus_ != id) return;
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    Win* w = find(*it);
    if (*it != id && w && shown(*w) && !w->is_desktop) {
      focus_window(*it);
      return;
    }
  }
  focus_window(0);
}

WindowId VirtualDesktop::top_at(int x, int y) {
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    Win* w = find(*it);
    if (w && shown(*w) && w->outer.contains(x, y)) return *it;
  }
  return 0;
}

void VirtualDesktop::resize_pixels(Win& w, int width, int height) {
  std::vector<uint32_t> fresh(size_t(width) * size_t(height), 0);
  const int cw = std::min(width, w.client_w), ch = std::min(height, w.client_h);
  for (int y = 0; y < ch; ++y)
    std::copy_n(w.pixels.begin() + ptrdiff_t(y) * w.client_w, cw, fresh.begin() + ptrdiff_t(y) * width);
  w.pixels = std::move(fresh);
  w.client_w = width;
  w.client_h = height;
  w.outer.width = width + w.frame.left + w.frame.right;
  w.outer.height = height + w.frame.top + w.frame.bottom;
}

Rect VirtualDesktop::work_area_locked() {
  if (explicit_work_area_) return work_area_;
  Rect base{0, 0, screen_.width, screen_.height};
  if (!screen_.monitors.empty()) base = screen_.monitors.front().bounds;
  int left = base.x, top = base.y, right = base.x + base.width, bottom = base.y + base.height;
  // Strips are measured from the edges of the whole screen, as window
  // managers read reserved struts.
  for (const auto& [id, s] : strips_) {
    switch (s.edge) {
      case Edge::Top: top = std::max(top, s.thickness); break;
      case Edge::Bottom: bottom = std::min(bottom, screen_.height - s.thickness); break;
      case Edge::Left: left = std::max(left, s.thickness); break;
      case Edge::Right: right = std::min(right, screen_.width - s.thickness); break;
    }
  }
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// ---- Our windows ---------------------------------------------------------------

WindowId VirtualDesktop::create(const WindowSpec& spec) {
  std::lock_guard lock(mutex_);
  if (spec.width <= 0 || spec.height <= 0 || spec.width > 16384 || spec.height > 16384) return 0;
  Win w;
  w.id = next_id_++;
  w.spec = spec;
  w.title = spec.title;
  w.frame = frame_for(spec);
  w.layer = spec.layer;
  w.outer = {spec.x, spec.y, 0, 0};
  resize_pixels(w, spec.width, spec.height);
  const WindowId id = w.id;
  windows_[id] = std::move(w);
  restack(id);
  newest_ = id;
  focus_window(id);
  queue_paint(windows_[id]);
  return id;
}

void VirtualDesktop::destroy(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) return;
  if (capture_ == id) capture_ = 0;
  if (grab_ == id) grab_ = 0;
  tray_.erase(id);
  strips_.erase(id);
  std::erase(stacking_, id);
  const bool had_focus = focus_ == id;
  windows_.erase(id);
  if (had_focus) {
    focus_ = 0;
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
      Win* other = find(*it);
      if (other && shown(*other) && !other->is_desktop) {
        focus_window(*it);
        break;
      }
    }
  }
  if (newest_ == id) {
    newest_ = 0;
    for (const auto& [other_id, other] : windows_)
      if (other.ours) newest_ = std::max(newest_, other_id);
  }
}

void VirtualDesktop::set_title(WindowId id, const std::string& title) {
  std::lock_guard lock(mutex_);
  if (Win* w = find(id)) w->title = title;
}

void VirtualDesktop::move(WindowId id, int x, int y, bool by_user) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) return;
  const bool was_shown = shown(*w);
  const bool moved = w->outer.x != x || w->outer.y != y;
  w->outer.x = x;
  w->outer.y = y;
  if (!by_user) w->visible = true;
  if (moved) queue_simple(id, WindowEvent::Moved);
  if (!was_shown && shown(*w)) queue_paint(*w);
}

void VirtualDesktop::resize(WindowId id, int width, int height, bool by_user) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || width <= 0 || height <= 0 || width > 16384 || height > 16384) return;
  if (by_user) w->maximised = false;
  if (width == w->client_w && height == w->client_h) return;
  resize_pixels(*w, width, height);
  WindowEvent e;
  e.type = WindowEvent::Resized;
  e.width = width;
  e.height = height;
  queue(id, e);
  queue_paint(*w);
}

void VirtualDesktop::show(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || w->visible) return;
  w->visible = true;
  restack(id);
  if (shown(*w)) {
    focus_window(id);
    queue_paint(*w);
  }
}

void VirtualDesktop::hide(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || !w->visible) return;
  w->visible = false;
  if (capture_ == id) capture_ = 0;
  if (grab_ == id) grab_ = 0;
  focus_next_after_losing(id);
}

void VirtualDesktop::minimise(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || w->minimised) return;
  w->minimised = true;
  if (grab_ == id) grab_ = 0;
  queue_simple(id, WindowEvent::Minimised);
  focus_next_after_losing(id);
}

void VirtualDesktop::restore(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) return;
  WindowEvent resized;
  resized.type = WindowEvent::Resized;
  if (w->minimised || !w->visible) {
    w->minimised = false;
    w->visible = true;
    resized.width = w->client_w;
    resized.height = w->client_h;
    queue(id, resized);
  } else if (w->maximised) {
    w->maximised = false;
    const bool moved = w->outer.x != w->restore_outer.x || w->outer.y != w->restore_outer.y;
    w->outer.x = w->restore_outer.x;
    w->outer.y = w->restore_outer.y;
    resize_pixels(*w, w->restore_w, w->restore_h);
    resized.width = w->client_w;
    resized.height = w->client_h;
    queue(id, resized);
    if (moved) queue_simple(id, WindowEvent::Moved);
  } else {
    return;
  }
  restack(id);
  focus_window(id);
  queue_paint(*w);
}

void VirtualDesktop::maximise(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || w->maximised) return;
  w->minimised = false;
  w->visible = true;
  w->maximised = true;
  w->restore_outer = w->outer;
  w->restore_w = w->client_w;
  w->restore_h = w->client_h;
  const Rect area = work_area_locked();
  const bool moved = w->outer.x != area.x || w->outer.y != area.y;
  w->outer.x = area.x;
  w->outer.y = area.y;
  resize_pixels(*w, std::max(1, area.width - w->frame.left - w->frame.right),
                std::max(1, area.height - w->frame.top - w->frame.bottom));
  WindowEvent resized;
  resized.type = WindowEvent::Resized;
  resized.width = w->client_w;
  resized.height = w->client_h;
  queue(id, resized);
  queue_simple(id, WindowEvent::Maximised);
  if (moved) queue_simple(id, WindowEvent::Moved);
  restack(id);
  focus_window(id);
  queue_paint(*w);
}

void VirtualDesktop::raise(WindowId id) {
  std::lock_guard lock(mutex_);
  restack(id);
}

void VirtualDesktop::activate(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w) return;
  restack(id);
  if (shown(*w)) focus_window(id);
}

void VirtualDesktop::set_layer(WindowId id, WindowLayer layer) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) return;
  w->layer = layer;
  restack(id);
}

Rect VirtualDesktop::outer_rect(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  return w ? w->outer : Rect{};
}

Rect VirtualDesktop::client_rect(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  return w ? client_of(*w) : Rect{};
}

void VirtualDesktop::capture_pointer(WindowId id) {
  std::lock_guard lock(mutex_);
  if (Win* w = find(id); w && w->ours) capture_ = id;
}

void VirtualDesktop::release_pointer() {
  std::lock_guard lock(mutex_);
  capture_ = 0;
}

void VirtualDesktop::present(WindowId id, const Surface& surface, int src_x, int src_y, int width,
                             int height, int dst_x, int dst_y) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours || !surface.pixels) return;
  // Clip against the source surface and the client area; a negative
  // position moves the other rectangle inward by the same amount.
  if (src_x < 0) { width += src_x; dst_x -= src_x; src_x = 0; }
  if (src_y < 0) { height += src_y; dst_y -= src_y; src_y = 0; }
  if (dst_x < 0) { width += dst_x; src_x -= dst_x; dst_x = 0; }
  if (dst_y < 0) { height += dst_y; src_y -= dst_y; dst_y = 0; }
  width = std::min({width, surface.width - src_x, w->client_w - dst_x});
  height = std::min({height, surface.height - src_y, w->client_h - dst_y});
  ++w->presents;
  if (width <= 0 || height <= 0) return;
  for (int row = 0; row < height; ++row) {
    const uint32_t* from = surface.pixels + ptrdiff_t(src_y + row) * surface.stride + src_x;
    std::copy_n(from, width, w->pixels.begin() + ptrdiff_t(dst_y + row) * w->client_w + dst_x);
  }
}

void VirtualDesktop::set_icon(WindowId id, const uint32_t* pixels, int width, int height) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !pixels || width <= 0 || height <= 0 || width > 1024 || height > 1024) return;
  w->icon.assign(pixels, pixels + ptrdiff_t(width) * height);
  w->icon_w = width;
  w->icon_h = height;
}

void VirtualDesktop::request_close(WindowId id) {
  std::lock_guard lock(mutex_);
  if (Win* w = find(id); w && w->ours) queue_simple(id, WindowEvent::CloseRequest);
}

void VirtualDesktop::end_session() {
  std::lock_guard lock(mutex_);
  for (const auto& [id, w] : windows_)
    if (w.ours) queue_simple(id, WindowEvent::CloseRequest);
}

// ---- Desktop -----------------------------------------------------------------

Rect VirtualDesktop::work_area() {
  std::lock_guard lock(mutex_);
  return work_area_locked();
}

bool VirtualDesktop::reserve_strip(WindowId id, Edge edge, int thickness, int start, int end) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || !w->ours) return false;
  const int limit = (edge == Edge::Top || edge == Edge::Bottom) ? screen_.height : screen_.width;
  strips_[id] = Strip{edge, std::clamp(thickness, 0, limit), start, end};
  return true;
}

void VirtualDesktop::release_strip(WindowId id) {
  std::lock_guard lock(mutex_);
  strips_.erase(id);
}

bool VirtualDesktop::set_work_area(const Rect& area) {
  std::lock_guard lock(mutex_);
  if (!screen_.work_area_settable || area.width <= 0 || area.height <= 0) return false;
  explicit_work_area_ = true;
  work_area_ = area;
  return true;
}

std::vector<TopLevelWindow> VirtualDesktop::top_levels() {
  std::lock_guard lock(mutex_);
  std::vector<TopLevelWindow> list;
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    const Win* w = find(*it);
    if (!w) continue;
    TopLevelWindow t;
    t.id = w->id;
    t.title = w->title;
    t.rect = w->outer;
    t.minimised = w->minimised;
    t.visible = w->visible;
    t.is_desktop = w->is_desktop;
    t.ours = w->ours;
    list.push_back(t);
  }
  return list;
}

bool VirtualDesktop::move_foreign(WindowId id, const Rect& rect) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || w->ours || rect.width <= 0 || rect.height <= 0) return false;
  w->outer = rect;
  return true;
}

WindowId VirtualDesktop::window_at(int x, int y) {
  std::lock_guard lock(mutex_);
  return top_at(x, y);
}

bool VirtualDesktop::bring_to_front(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || w->is_desktop) return false;
  restack(id);
  if (shown(*w)) focus_window(id);
  return true;
}

WindowId VirtualDesktop::foreground() {
  std::lock_guard lock(mutex_);
  return focus_;
}

void VirtualDesktop::pointer_position(int& x, int& y) {
  std::lock_guard lock(mutex_);
  x = pointer_x_;
  y = pointer_y_;
}

WindowId VirtualDesktop::add_foreign(const ForeignWindow& foreign) {
  std::lock_guard lock(mutex_);
  Win w;
  w.id = next_id_++;
  w.ours = false;
  w.title = foreign.title;
  w.outer = foreign.rect;
  w.colour = foreign.colour;
  w.is_desktop = foreign.is_desktop;
  w.minimised = foreign.minimised;
  const WindowId id = w.id;
  windows_[id] = std::move(w);
  restack(id);
  return id;
}

void VirtualDesktop::remove_foreign(WindowId id) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!w || w->ours) return;
  std::erase(stacking_, id);
  windows_.erase(id);
  if (focus_ == id) focus_ = 0;
}

// ---- Tray ----------------------------------------------------------------------

bool VirtualDesktop::tray_available() {
  std::lock_guard lock(mutex_);
  return screen_.tray;
}

bool VirtualDesktop::tray_add(WindowId id, const uint32_t* pixels, int width, int height,
                              const std::string& tip) {
  std::lock_guard lock(mutex_);
  Win* w = find(id);
  if (!screen_.tray || !w || !w->ours) return false;
  TrayIcon icon;
  icon.tip = tip;
  if (pixels && width > 0 && height > 0 && width <= 256 && height <= 256) {
    icon.width = width;
    icon.height = height;
    icon.pixels.assign(pixels, pixels + ptrdiff_t(width) * height);
  }
  tray_[id] = std::move(icon);
  return true;
}

void VirtualDesktop::tray_remove(WindowId id) {
  std::lock_guard lock(mutex_);
  tray_.erase(id);
}

bool VirtualDesktop::click_tray(WindowId id, int button) {
  std::lock_guard lock(mutex_);
  if (!tray_.count(id)) return false;
  WindowEvent e;
  e.type = WindowEvent::TrayClick;
  e.button = button;
  e.modifiers = modifiers_;
  queue(id, e);
  return true;
}

std::vector<TrayIconInfo> VirtualDesktop::tray_icons() {
  std::lock_guard lock(mutex_);
  std::vector<TrayIconInfo> list;
  for (const auto& [id, icon] : tray_) list.push_back({id, icon.tip, icon.width, icon.height});
  return list;
}

}  // namespace kivo::port::headless
