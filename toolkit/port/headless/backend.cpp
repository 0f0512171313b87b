// The headless backend: a virtual desktop in memory. It always starts, so
// programs run (and tests drive them) without any display.
#include "toolkit/port/backend_list.h"
#include "toolkit/port/defaults.h"
#include "toolkit/port/headless/clock.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/headless/display.h"
#include "toolkit/port/headless/screen_png.h"
#include "toolkit/port/headless/services.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

class HeadlessBackend;
HeadlessBackend* g_current = nullptr;

// Decodes UTF-8; a byte that does not start a well-formed sequence stands
// for itself (Latin-1).
std::vector<uint32_t> decode_utf8(const std::string& text) {
  std::vector<uint32_t> out;
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    uint32_t cp = c;
    bool ok = extra > 0 && i + extra < text.size();
    if (ok) {
      cp = c & (0x3Fu >> extra);
      for (size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) ok = false;
        cp = (cp << 6) | (next & 0x3Fu);
      }
    }
    if (ok) {
      out.push_back(cp);
      i += extra + 1;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

class HeadlessBackend : public CommonBackend, public Control {
 public:
  HeadlessBackend() {
    auto clock = std::make_unique<HeadlessClock>();
    clock_raw_ = clock.get();
    auto display = std::make_unique<HeadlessDisplay>(*clock_raw_);
    display_raw_ = display.get();
    vd_ = std::make_unique<VirtualDesktop>(*clock_raw_, *display_raw_);
    display_raw_->attach(vd_.get());
    clock_ = std::move(clock);
    display_ = std::move(display);
    windows_ = make_windows(*vd_);
    desktop_ = make_desktop(*vd_);
    monitors_ = make_monitors(*vd_, *clock_raw_);
    tray_ = make_tray(*vd_);
    cursors_ = make_cursors(*vd_);
    synthetic_input_ = make_synthetic_input(*vd_);
    fill_defaults();
    g_current = this;
  }
  ~HeadlessBackend() override {
    if (g_current == this) g_current = nullptr;
  }

  const char* name() const override { return "headless"; }
  Capabilities capabilities() const override {
    const ScreenConfig screen = vd_->screen();
    Capabilities caps;
    caps.virtual_time = true;
    caps.vertical_blank = screen.vertical_blank;
    caps.scan_line = screen.vertical_blank;
    caps.tray = screen.tray;
    caps.work_area_reservation = true;
    caps.foreign_windows = true;
    caps.synthetic_input = true;
    return caps;
  }

  // ---- Control ---------------------------------------------------------------
  bool set_virtual_time(bool on) override { return clock_raw_->set_virtual(on); }
  void advance_us(int64_t us) override { clock_raw_->advance_us(us); }
  void set_screen(const ScreenConfig& config) override { vd_->set_screen(config); }
  ScreenConfig screen() override { return vd_->screen(); }
  void post(std::function<void()> deliver) override { display_raw_->post(std::move(deliver)); }

  void move_pointer(int x, int y) override { vd_->move_pointer(x, y); }
  void press(int button) override { vd_->press(button); }
  void release(int button) override { vd_->release(button); }
  void wheel(int notches) override { vd_->wheel(notches); }
  void key(Key key, bool down) override { vd_->key(key, down); }
  void type(uint32_t character) override { vd_->type(character); }
  void type_text(const std::string& utf8) override {
    for (uint32_t c : decode_utf8(utf8)) vd_->type(c);
  }
  void drop_files(int x, int y, const std::vector<std::string>& paths) override {
    vd_->drop_files(x, y, paths);
  }
  int pointer_x() override {
    int x, y;
    vd_->pointer_position(x, y);
    return x;
  }
  int pointer_y() override {
    int x, y;
    vd_->pointer_position(x, y);
    return y;
  }
  unsigned modifiers() override { return vd_->modifiers(); }

  void request_close(WindowId w) override { vd_->request_close(w); }
  void end_session() override { vd_->end_session(); }
  void minimise(WindowId w) override { vd_->minimise(w); }
  void restore(WindowId w) override { vd_->restore(w); }
  void maximise(WindowId w) override { vd_->maximise(w); }
  void focus(WindowId w) override { vd_->bring_to_front(w); }
  void user_move(WindowId w, int x, int y) override { vd_->move(w, x, y, true); }
  void user_resize(WindowId w, int width, int height) override { vd_->resize(w, width, height, true); }
  bool click_tray(WindowId w, int button) override { return vd_->click_tray(w, button); }

  WindowId add_foreign(const ForeignWindow& window) override { return vd_->add_foreign(window); }
  void remove_foreign(WindowId w) override { vd_->remove_foreign(w); }

  std::vector<WindowInfo> window_list() override { return vd_->windows(); }
  bool window(WindowId id, WindowInfo& info) override { return vd_->window(id, info); }
  WindowId newest_window() override { return vd_->newest_window(); }
  WindowId focused_window() override { return vd_->focused_window(); }
  WindowId capturing_window() override { return vd_->capturing_window(); }
  std::vector<TrayIconInfo> tray_icons() override { return vd_->tray_icons(); }
  PointerShape pointer_shape() override { return vd_->pointer_shape(); }
  std::vector<uint32_t> window_pixels(WindowId w, int& width, int& height) override {
    return vd_->window_pixels(w, width, height);
  }
  std::vector<uint32_t> screen_image() override { return vd_->screen_image(); }
  int32_t screen_pixel(int x, int y) override { return vd_->screen_pixel(x, y); }
  bool save_screen_png(const std::string& path) override {
    const ScreenConfig screen = vd_->screen();
    return write_screen_png(path, vd_->screen_image(), screen.width, screen.height);
  }

 private:
  HeadlessClock* clock_raw_ = nullptr;
  HeadlessDisplay* display_raw_ = nullptr;
  std::unique_ptr<VirtualDesktop> vd_;
};

bool probe() { return true; }
std::unique_ptr<Backend> create() { return std::make_unique<HeadlessBackend>(); }

}  // namespace

Control* control() {
  backend();  // make sure a backend was chosen
  return g_current;
}

}  // namespace kivo::port::headless

namespace kivo::port {

const BackendEntry& headless_backend_entry() {
  static const BackendEntry entry{"headless", headless::probe, headless::create};
  return entry;
}

}  // namespace kivo::port
