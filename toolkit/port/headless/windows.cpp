// The headless Windows and Cursors services.
#include "toolkit/port/headless/services.h"
#include "toolkit/port/headless/virtual_desktop.h"

namespace kivo::port::headless {
namespace {

class HeadlessWindows : public Windows {
 public:
  explicit HeadlessWindows(VirtualDesktop& desktop) : d_(desktop) {}
  WindowId create(const WindowSpec& spec) override { return d_.create(spec); }
  void destroy(WindowId w) override { d_.destroy(w); }
  void set_title(WindowId w, const std::string& title) override { d_.set_title(w, title); }
  void move(WindowId w, int x, int y) override { d_.move(w, x, y, false); }
  void resize(WindowId w, int width, int height) override { d_.resize(w, width, height, false); }
  void show(WindowId w) override { d_.show(w); }
  void hide(WindowId w) override { d_.hide(w); }
  void minimise(WindowId w) override { d_.minimise(w); }
  void restore(WindowId w) override { d_.restore(w); }
  void raise(WindowId w) override { d_.raise(w); }
  void activate(WindowId w) override { d_.activate(w); }
  void set_layer(WindowId w, WindowLayer layer) override { d_.set_layer(w, layer); }
  Rect outer_rect(WindowId w) override { return d_.outer_rect(w); }
  Rect client_rect(WindowId w) override { return d_.client_rect(w); }
  void capture_pointer(WindowId w) override { d_.capture_pointer(w); }
  void release_pointer() override { d_.release_pointer(); }
  void present(WindowId w, const Surface& surface, int src_x, int src_y, int width, int height, int dst_x,
               int dst_y, bool) override {
    d_.present(w, surface, src_x, src_y, width, height, dst_x, dst_y);
  }
  void set_icon(WindowId w, const uint32_t* pixels, int width, int height) override {
    d_.set_icon(w, pixels, width, height);
  }

 private:
  VirtualDesktop& d_;
};

class HeadlessCursors : public Cursors {
 public:
  explicit HeadlessCursors(VirtualDesktop& desktop) : d_(desktop) {}
  void set(PointerShape shape) override { d_.set_pointer_shape(shape); }

 private:
  VirtualDesktop& d_;
};

class HeadlessSyntheticInput : public SyntheticInput {
 public:
  explicit HeadlessSyntheticInput(VirtualDesktop& desktop) : d_(desktop) {}
  bool button(int button, bool down) override {
    if (button < 1 || button > 3) return false;
    if (down)
      d_.press(button);
    else
      d_.release(button);
    return true;
  }
  bool move_pointer(int x, int y) override {
    d_.move_pointer(x, y);
    return true;
  }

 private:
  VirtualDesktop& d_;
};

}  // namespace

std::unique_ptr<Windows> make_windows(VirtualDesktop& desktop) { return std::make_unique<HeadlessWindows>(desktop); }
std::unique_ptr<Cursors> make_cursors(VirtualDesktop& desktop) { return std::make_unique<HeadlessCursors>(desktop); }
std::unique_ptr<SyntheticInput> make_synthetic_input(VirtualDesktop& desktop) {
  return std::make_unique<HeadlessSyntheticInput>(desktop);
}

}  // namespace kivo::port::headless
