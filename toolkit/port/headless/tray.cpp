// The headless Tray service: icons kept by the virtual desktop; tests click
// them with Control::click_tray.
#include "toolkit/port/headless/services.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

class HeadlessTray : public Tray {
 public:
  explicit HeadlessTray(VirtualDesktop& desktop) : d_(desktop) {}
  bool available() override { return d_.tray_available(); }
  bool add(WindowId w, const uint32_t* pixels, int width, int height, const std::string& tip) override {
    return d_.tray_add(w, pixels, width, height, tip);
  }
  void remove(WindowId w) override { d_.tray_remove(w); }

 private:
  VirtualDesktop& d_;
};

}  // namespace

std::unique_ptr<Tray> make_tray(VirtualDesktop& desktop) { return std::make_unique<HeadlessTray>(desktop); }

}  // namespace kivo::port::headless
