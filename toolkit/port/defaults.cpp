#include "toolkit/port/defaults.h"

#include <cstdlib>
#include <new>

#include "toolkit/port/posix/services.h"

namespace kivo::port {

Surface* HeapSurfaces::create(int width, int height) {
  if (!size_allowed(width, height)) return nullptr;
  auto* pixels = static_cast<uint32_t*>(std::calloc(size_t(width) * size_t(height), sizeof(uint32_t)));
  if (!pixels) return nullptr;
  auto* surface = new (std::nothrow) Surface;
  if (!surface) {
    std::free(pixels);
    return nullptr;
  }
  surface->pixels = pixels;
  surface->width = width;
  surface->height = height;
  surface->stride = width;
  return surface;
}

void HeapSurfaces::destroy(Surface* surface) {
  if (!surface) return;
  std::free(surface->pixels);
  delete surface;
}

std::vector<MonitorInfo> ScreenOnlyMonitors::list() {
  MonitorInfo info;
  info.name = "screen";
  info.bounds = {0, 0, display_.screen_width(), display_.screen_height()};
  info.refresh_hz = 60;
  info.visible_lines = info.bounds.height;
  info.primary = true;
  return {info};
}

Rect ScreenOnlyDesktop::work_area() {
  return {0, 0, display_.screen_width(), display_.screen_height()};
}

bool LocalClipboard::set_text(const std::string& utf8) {
  text_ = utf8;
  has_ = true;
  return true;
}

bool LocalClipboard::get_text(std::string& utf8) {
  if (!has_) return false;
  utf8 = text_;
  return true;
}

void CommonBackend::fill_defaults() {
  if (!clock_) clock_ = make_posix_clock();
  if (!windows_) windows_ = std::make_unique<NoWindows>();
  if (!monitors_) monitors_ = std::make_unique<ScreenOnlyMonitors>(*display_);
  if (!surfaces_) surfaces_ = std::make_unique<HeapSurfaces>();
  if (!desktop_) desktop_ = std::make_unique<ScreenOnlyDesktop>(*display_);
  if (!tray_) tray_ = std::make_unique<NoTray>();
  if (!clipboard_) clipboard_ = std::make_unique<LocalClipboard>();
  if (!cursors_) cursors_ = std::make_unique<NoCursors>();
  if (!synthetic_input_) synthetic_input_ = std::make_unique<NoSyntheticInput>();
  if (!sound_) sound_ = std::make_unique<NoSound>();
  if (!http_) http_ = make_posix_http();
  if (!registry_) registry_ = make_posix_registry();
  if (!shell_) shell_ = make_posix_shell();
  if (!processes_) processes_ = make_posix_processes();
  if (!picture_decoder_) picture_decoder_ = make_posix_picture_decoder();
  if (!system_fonts_) system_fonts_ = make_posix_system_fonts();
  if (!dialogs_) dialogs_ = std::make_unique<NoDialogs>();
  if (!system_info_) system_info_ = make_posix_system_info();
}

}  // namespace kivo::port
