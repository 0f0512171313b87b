// Time to show the line's picture through the window layer: a 1920 × 64
// window whose backing pixmap is copied to the screen (kvllgui_redraw), and
// a directx pixmap of that size put on the window (kvllgui_showpxmap).
// show_line() takes the backend's name, so other backends register their
// case with one line.
#include <benchmark/benchmark.h>

#include "toolkit/core/llgui.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/display.h"

namespace {

intptr_t ignore(intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) {
  return 0;
}

void show_line(benchmark::State& state, const char* backend_name, bool directx) {
  if (!kivo::port::use_backend(backend_name)) {
    state.SkipWithError("backend cannot start here");
    return;
  }
  kvllgui_window window;
  if (!kvllgui_open(&window, ignore, 0, 0, 0, 1920, 64, "", false, false, false, false, true, false, true, false)) {
    state.SkipWithError("no window");
    return;
  }
  kvpxmap line;
  kvpxmap_init(&line);
  line.width = 1920;
  line.height = 64;
  line.format = KVPX_DIRECTX;
  if (directx && !kvpxmap_allocate(&line)) {
    state.SkipWithError("no directx pixmap");
    kvllgui_close(&window);
    return;
  }
  kvpxmap* picture = directx ? &line : &window.pxmap;
  int shift = 0;
  for (auto _ : state) {
    // A new picture each frame, as the scrolling line has.
    kvpxmap_setpixel(picture, shift % 1920, (shift / 1920) % 64, shift);
    ++shift;
    if (directx)
      kvllgui_showpxmap(&window, &line, true);
    else
      kvllgui_redraw(&window, 0, 0, 0, 0, 0, 0, true);
    kvpump();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 1920 * 64 * 4);
  kvpxmap_free(&line);
  kvllgui_close(&window);
}

void BM_RedrawBackingHeadless(benchmark::State& state) { show_line(state, "headless", false); }
BENCHMARK(BM_RedrawBackingHeadless)->Unit(benchmark::kMicrosecond);

void BM_ShowDirectxHeadless(benchmark::State& state) { show_line(state, "headless", true); }
BENCHMARK(BM_ShowDirectxHeadless)->Unit(benchmark::kMicrosecond);

}  // namespace
