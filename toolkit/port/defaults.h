// Defaults for services a backend does not provide: each answers "not
// available" in the way its interface documents, so portable code can fall
// back (timed frame pacing, visible window instead of a tray icon, the
// toolkit's own dialogs, ...). Backends derive from CommonBackend and replace
// the services they really have.
#pragma once

#include <memory>
#include <string>

#include "toolkit/port/backend.h"
#include "toolkit/port/clipboard.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/cursors.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/dialogs.h"
#include "toolkit/port/display.h"
#include "toolkit/port/http.h"
#include "toolkit/port/monitors.h"
#include "toolkit/port/picture_decoder.h"
#include "toolkit/port/processes.h"
#include "toolkit/port/registry.h"
#include "toolkit/port/shell.h"
#include "toolkit/port/sound.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/synthetic_input.h"
#include "toolkit/port/system_fonts.h"
#include "toolkit/port/system_info.h"
#include "toolkit/port/tray.h"
#include "toolkit/port/windows.h"

namespace kivo::port {

// Plain heap surfaces (no shared memory, never in video memory).
class HeapSurfaces : public Surfaces {
 public:
  Surface* create(int width, int height) override;
  void destroy(Surface* surface) override;
};

class NoWindows : public Windows {
 public:
  WindowId create(const WindowSpec&) override { return 0; }
  void destroy(WindowId) override {}
  void set_title(WindowId, const std::string&) override {}
  void move(WindowId, int, int) override {}
  void resize(WindowId, int, int) override {}
  void show(WindowId) override {}
  void hide(WindowId) override {}
  void minimise(WindowId) override {}
  void restore(WindowId) override {}
  void raise(WindowId) override {}
  void activate(WindowId) override {}
  void set_layer(WindowId, WindowLayer) override {}
  Rect outer_rect(WindowId) override { return {}; }
  Rect client_rect(WindowId) override { return {}; }
  void capture_pointer(WindowId) override {}
  void release_pointer() override {}
  void present(WindowId, const Surface&, int, int, int, int, int, int, bool) override {}
  void set_icon(WindowId, const uint32_t*, int, int) override {}
};

// One monitor of the display's size at 60 Hz, no vertical-blank source.
class ScreenOnlyMonitors : public Monitors {
 public:
  explicit ScreenOnlyMonitors(Display& display) : display_(display) {}
  std::vector<MonitorInfo> list() override;
  bool wait_vblank(int) override { return false; }
  bool vblank_timing(int, VblankTiming&) override { return false; }
  int scan_line(int) override { return -1; }

 private:
  Display& display_;
};

// The whole screen is the work area; nothing else is known.
class ScreenOnlyDesktop : public Desktop {
 public:
  explicit ScreenOnlyDesktop(Display& display) : display_(display) {}
  Rect work_area() override;
  bool reserve_strip(WindowId, Edge, int, int, int) override { return false; }
  void release_strip(WindowId) override {}
  bool set_work_area(const Rect&) override { return false; }
  std::vector<TopLevelWindow> top_levels() override { return {}; }
  bool move_foreign(WindowId, const Rect&) override { return false; }
  WindowId window_at(int, int) override { return 0; }
  bool bring_to_front(WindowId) override { return false; }
  WindowId foreground() override { return 0; }
  bool pointer_position(int&, int&) override { return false; }

 private:
  Display& display_;
};

class NoTray : public Tray {
 public:
  bool available() override { return false; }
  bool add(WindowId, const uint32_t*, int, int, const std::string&) override { return false; }
  void remove(WindowId) override {}
};

// A clipboard that only this process sees.
class LocalClipboard : public Clipboard {
 public:
  bool set_text(const std::string& utf8) override;
  bool get_text(std::string& utf8) override;

 private:
  bool has_ = false;
  std::string text_;
};

class NoCursors : public Cursors {
 public:
  void set(PointerShape) override {}
};

class NoSyntheticInput : public SyntheticInput {
 public:
  bool button(int, bool) override { return false; }
  bool move_pointer(int, int) override { return false; }
};

class NoSound : public Sound {
 public:
  void stop_all() override {}
};

class NoDialogs : public Dialogs {
 public:
  bool has_file_dialog() override { return false; }
  DialogResult file(const FileDialogRequest&, std::string&) override { return DialogResult::NotAvailable; }
  DialogResult colour(int, int&) override { return DialogResult::NotAvailable; }
  DialogResult font(const std::string&, std::string&) override { return DialogResult::NotAvailable; }
};

// Holds one object per service and hands out references. A backend fills
// the members in its constructor; whatever it leaves empty gets the default
// from fill_defaults().
class CommonBackend : public Backend {
 public:
  Clock& clock() override { return *clock_; }
  Display& display() override { return *display_; }
  Windows& windows() override { return *windows_; }
  Monitors& monitors() override { return *monitors_; }
  Surfaces& surfaces() override { return *surfaces_; }
  Desktop& desktop() override { return *desktop_; }
  Tray& tray() override { return *tray_; }
  Clipboard& clipboard() override { return *clipboard_; }
  Cursors& cursors() override { return *cursors_; }
  SyntheticInput& synthetic_input() override { return *synthetic_input_; }
  Sound& sound() override { return *sound_; }
  Http& http() override { return *http_; }
  Registry& registry() override { return *registry_; }
  Shell& shell() override { return *shell_; }
  Processes& processes() override { return *processes_; }
  PictureDecoder& picture_decoder() override { return *picture_decoder_; }
  SystemFonts& system_fonts() override { return *system_fonts_; }
  Dialogs& dialogs() override { return *dialogs_; }
  SystemInfo& system_info() override { return *system_info_; }

 protected:
  // Supplies the operating-system services shared by all Linux backends
  // (clock, downloads, processes, fonts, ...) and the "not available"
  // defaults for every member still empty. display_ must be set first.
  void fill_defaults();

  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Display> display_;
  std::unique_ptr<Windows> windows_;
  std::unique_ptr<Monitors> monitors_;
  std::unique_ptr<Surfaces> surfaces_;
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<Clipboard> clipboard_;
  std::unique_ptr<Cursors> cursors_;
  std::unique_ptr<SyntheticInput> synthetic_input_;
  std::unique_ptr<Sound> sound_;
  std::unique_ptr<Http> http_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<Processes> processes_;
  std::unique_ptr<PictureDecoder> picture_decoder_;
  std::unique_ptr<SystemFonts> system_fonts_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<SystemInfo> system_info_;
};

}  // namespace kivo::port
