// The headless Desktop service.
#include "toolkit/port/headless/services.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

class HeadlessDesktop : public Desktop {
 public:
  explicit HeadlessDesktop(VirtualDesktop& desktop) : d_(desktop) {}
  Rect work_area() override { return d_.work_area(); }
  bool reserve_strip(WindowId w, Edge edge, int thickness, int start, int end) override {
    return d_.reserve_strip(w, edge, thickness, start, end);
  }
  void release_strip(WindowId w) override { d_.release_strip(w); }
  bool set_work_area(const Rect& area) override { return d_.set_work_area(area); }
  std::vector<TopLevelWindow> top_levels() override { return d_.top_levels(); }
  bool move_foreign(WindowId w, const Rect& rect) override { return d_.move_foreign(w, rect); }
  WindowId window_at(int x, int y) override { return d_.window_at(x, y); }
  bool bring_to_front(WindowId w) override { return d_.bring_to_front(w); }
  WindowId foreground() override { return d_.foreground(); }
  bool pointer_position(int& x, int& y) override {
    d_.pointer_position(x, y);
    return true;
  }

 private:
  VirtualDesktop& d_;
};

}  // namespace

std::unique_ptr<Desktop> make_desktop(VirtualDesktop& desktop) { return std::make_unique<HeadlessDesktop>(desktop); }

}  // namespace kivo::port::headless
