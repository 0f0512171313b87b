// Rendering a system font once, and drawing a 200-character line.
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/core/font.h"
#include "toolkit/core/pxmap.h"

namespace {

void BM_LoadSystemArial24Bold(benchmark::State& state) {
  kvfont_reload(true);  // render every time instead of finding the font again
  for (auto _ : state) {
    int id = kvfont_loadsystem("Arial,points=24,bold");
    if (id == 0) state.SkipWithError("no font");
    benchmark::DoNotOptimize(id);
    state.PauseTiming();
    kvfont_unload(id);
    state.ResumeTiming();
  }
  kvfont_reload(false);
}
BENCHMARK(BM_LoadSystemArial24Bold)->Unit(benchmark::kMillisecond);

std::string line200() {
  std::string s;
  const std::string words = "The quick brown fox jumps over the lazy dog. ";
  while (s.size() < 200) s += words;
  s.resize(200);
  return s;
}

void draw_line(benchmark::State& state, int font, int background) {
  kvpxmap p;
  kvpxmap_init(&p);
  p.width = 4000, p.height = 60, p.format = KVPX_TRUECOLOR;
  if (!kvpxmap_allocate(&p)) state.SkipWithError("no pixmap");
  const std::string text = line200();
  for (auto _ : state) kvfont_drawtext(&p, font, 0, 0, 0xFFFFFF, false, false, background, 0, -1, text.c_str());
  state.SetItemsProcessed(state.iterations() * 200);
  kvpxmap_free(&p);
}

void BM_DrawText200Builtin6x13(benchmark::State& state) { draw_line(state, -1, -1); }
BENCHMARK(BM_DrawText200Builtin6x13)->Unit(benchmark::kMicrosecond);

void BM_DrawText200Arial24Bold(benchmark::State& state) {
  draw_line(state, kvfont_loadsystem("Arial,points=24,bold"), -1);
}
BENCHMARK(BM_DrawText200Arial24Bold)->Unit(benchmark::kMicrosecond);

void BM_DrawText200Arial24BoldWithBackground(benchmark::State& state) {
  draw_line(state, kvfont_loadsystem("Arial,points=24,bold"), 0x000080);
}
BENCHMARK(BM_DrawText200Arial24BoldWithBackground)->Unit(benchmark::kMicrosecond);

}  // namespace
