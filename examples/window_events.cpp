// Opens one window on the running backend, shows a surface with coloured
// stripes and prints every event the window receives.
//
//   window_events [seconds]      (default 10; 0 runs until the window is closed)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/display.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/windows.h"

namespace {

using kivo::port::Key;
using kivo::port::WindowEvent;

const char* type_name(WindowEvent::Type t) {
  static const char* names[] = {"CloseRequest", "Paint", "Resized", "Minimised", "Maximised", "Moved",
                                "Activated", "Deactivated", "FocusGained", "FocusLost", "ButtonDown",
                                "ButtonUp", "DoubleClick", "Wheel", "PointerMove", "KeyDown", "KeyUp",
                                "Character", "FilesDropped", "TrayClick"};
  return names[int(t)];
}

struct Demo {
  kivo::port::Surface* surface = nullptr;
  bool closed = false;
};

void fill_stripes(kivo::port::Surface& s) {
  static const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000};
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) s.pixels[y * s.stride + x] = colours[(x * 8 / s.width) % 8];
}

void on_event(void* user, kivo::port::WindowId window, const WindowEvent& e) {
  auto* demo = static_cast<Demo*>(user);
  std::printf("%-12s x=%d y=%d w=%d h=%d button=%d wheel=%d key=%d char=U+%04X mods=%u", type_name(e.type), e.x,
              e.y, e.width, e.height, e.button, e.wheel_delta, int(e.key), unsigned(e.character), e.modifiers);
  for (const std::string& f : e.files) std::printf(" file=%s", f.c_str());
  std::printf("\n");
  std::fflush(stdout);
  auto& windows = kivo::port::backend().windows();
  if (e.type == WindowEvent::Paint && demo->surface)
    windows.present(window, *demo->surface, 0, 0, demo->surface->width, demo->surface->height, 0, 0, false);
  if (e.type == WindowEvent::CloseRequest) demo->closed = true;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  auto& backend = kivo::port::backend();
  std::printf("backend %s\n", backend.name());
  Demo demo;
  demo.surface = backend.surfaces().create(640, 120);
  if (!demo.surface) return 1;
  fill_stripes(*demo.surface);
  kivo::port::WindowSpec spec;
  spec.x = 100;
  spec.y = 100;
  spec.width = 640;
  spec.height = 120;
  spec.title = "Stripes \xE2\x80\x94 window events";
  spec.handler = on_event;
  spec.user = &demo;
  const kivo::port::WindowId window = backend.windows().create(spec);
  if (!window) return 1;
  backend.windows().present(window, *demo.surface, 0, 0, 640, 120, 0, 0, true);
  auto& clock = backend.clock();
  const int64_t end = clock.now_ms() + int64_t(seconds) * 1000;
  while (!demo.closed && (seconds == 0 || clock.now_ms() < end)) {
    auto& display = backend.display();
    if (display.wait_pending(50))
      while (display.dispatch_one()) {
      }
  }
  backend.windows().destroy(window);
  backend.surfaces().destroy(demo.surface);
  return 0;
}
