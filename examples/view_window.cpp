// A window with a view: text and shapes drawn on the page, every click
// reported on standard output, marked on the page and shown in the status
// bar. Runs on any backend (KIVO_BACKEND=x11 or headless).
//
//   view_window [-seconds=N] [-shot=FILE.png]
//
// -seconds ends the program after N seconds; -shot saves what the screen
// shows of the window as a picture once it is drawn.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/core/draw.h"
#include "toolkit/core/imagefile.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/stdout.h"
#include "toolkit/widgets/window.h"

namespace {

void draw_page(kvWindow& window) {
  kvView& view = window.standardView();
  kvpxmap* page = view.page();
  window.clear(0xFFFFFF);
  kvgtext(20, 16, 0x000080, "kivo: a window with a view");
  kvgtext(20, 36, 0x404040, "Click anywhere on the page.");
  kvgbox(20, 70, 120, 70, 0xC0D8FF);
  kvdraw_rect(page, 20, 70, 120, 70, 0x000080);
  kvdraw_fillcircle(page, 220, 105, 35, 0xFF8000);
  kvdraw_circle(page, 220, 105, 35, 0x000000);
  kvdraw_box3d(page, 290, 75, 150, 60, 0xD0D0D0, 0xFFFFFF, 0x808080);
  kvgtext(312, 98, 0x000000, "a raised box");
  for (int i = 0; i < 8; ++i) kvgline(20 + i * 55, 170, 60 + i * 55, 210, 0x008000 + i * 0x100010);
  kvdraw_fillellipse(page, 380, 240, 50, 20, 0x800080);
  view.redraw();
}

void mark_click(kvWindow& window, int x, int y) {
  kvpxmap* page = window.standardView().page();
  kvdraw_fillcircle(page, x, y, 4, 0xFF0000);
  window.standardView().redraw();
  window.setStatusText(0, "Click at %d, %d", x, y);
  std::printf("click at %d, %d\n", x, y);
  std::fflush(stdout);
}

void example_main() {
  std::string value;
  const int seconds = kvopt_value("seconds", value) ? std::atoi(value.c_str()) : 0;
  std::string shot;
  kvopt_value("shot", shot);

  kvWindow window;
  if (!window.create("kivo example,x=100,y=80,xs=480,ys=300,statusbar=20,bgcolor=ffffff")) {
    std::printf("view_window: the window could not be opened\n");
    return;
  }
  window.setStatusLayout("70,30");
  window.setStatusText(0, "Ready");
  window.setStatusText(1, "kivo");
  draw_page(window);

  kvTimer quit_timer;
  if (seconds > 0) quit_timer.start(seconds * 1000);
  bool shot_taken = shot.empty();
  kvTimer shot_timer(500);
  while (kvrunning()) {
    const int code = kvgetevent();
    if (code == 0) break;
    if (code == window.codes[1]) {
      mark_click(window, int(window.standardView().lastevent[0]), int(window.standardView().lastevent[1]));
    } else if (code == quit_timer.code) {
      kvquit();
    } else if (code == shot_timer.code && !shot_taken) {
      shot_taken = true;
      kvpxmap grab;
      kvpxmap_init(&grab);
      grab.width = kvllgui_width(&window.llwin);
      grab.height = kvllgui_height(&window.llwin);
      grab.format = KVPX_TRUECOLOR;
      if (kvpxmap_allocate(&grab)) {
        kvllgui_grabscreen(&grab, 0, 0, window.llwin.x, window.llwin.y, grab.width, grab.height);
        std::printf("%s %s\n", kvpxmap_savetofile(&grab, "%s", shot.c_str()) ? "saved" : "could not save",
                    shot.c_str());
      }
      kvpxmap_free(&grab);
    }
  }
  window.close();
}

}  // namespace

int main(int argc, char** argv) { return kventry(argc, argv, example_main); }
