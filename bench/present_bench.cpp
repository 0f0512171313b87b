// Time to show one frame of the line: a 1920 × 64 surface presented in a
// window and waited for, on each backend that can start here.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "toolkit/port/backend.h"
#include "toolkit/port/display.h"
#include "toolkit/port/surfaces.h"
#include "toolkit/port/windows.h"

namespace {

void present_line(benchmark::State& state, const char* backend_name) {
  if (!kivo::port::use_backend(backend_name)) {
    state.SkipWithError("backend cannot start here");
    return;
  }
  auto& backend = kivo::port::backend();
  kivo::port::WindowSpec spec;
  spec.x = 0;
  spec.y = 0;
  spec.width = 1920;
  spec.height = 64;
  spec.caption = false;
  spec.sizing_frame = false;
  const kivo::port::WindowId window = backend.windows().create(spec);
  kivo::port::Surface* surface = backend.surfaces().create(1920, 64);
  if (!window || !surface) {
    state.SkipWithError("no window or surface");
    return;
  }
  uint32_t shift = 0;
  for (auto _ : state) {
    // A new picture each frame, as the scrolling line has.
    surface->pixels[shift % (1920 * 64)] = shift;
    ++shift;
    backend.windows().present(window, *surface, 0, 0, 1920, 64, 0, 0, true);
    while (backend.display().dispatch_one()) {
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 1920 * 64 * 4);
  state.SetLabel(backend.capabilities().shared_memory ? "shared memory" : "copied");
  backend.surfaces().destroy(surface);
  backend.windows().destroy(window);
}

void BM_PresentLineX11(benchmark::State& state) { present_line(state, "x11"); }
BENCHMARK(BM_PresentLineX11)->Unit(benchmark::kMicrosecond);

}  // namespace
