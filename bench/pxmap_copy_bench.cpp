// Speed of the copies the ticker's frames are built from: an opaque and a
// colour-keyed copy of a 1920 x 64 truecolor area, a fill of that area, and
// converting a 16-glyph strip to directx; a plain memcpy of the same bytes
// is measured alongside as the yardstick for the opaque copy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "toolkit/core/pxmap.h"

namespace {

constexpr int kW = 1920, kH = 64;

kvpxmap make(uint32_t format, int w, int h) {
  kvpxmap p;
  p.width = w;
  p.height = h;
  p.format = format;
  kvpxmap_allocate(&p);
  return p;
}

void fill_pattern(kvpxmap& p) {
  auto* px = static_cast<uint32_t*>(p.data);
  for (int i = 0; i < p.width * p.height; ++i) px[i] = (i % 7 == 0) ? 0 : uint32_t(i * 2654435761u) & 0xFFFFFF;
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}

// Opaque copy onto a directx pixmap (the glyph copy of the frames).
void BM_OpaqueCopy(benchmark::State& state) {
  kvpxmap src = make(KVPX_DIRECTX, kW, kH), dst = make(KVPX_DIRECTX, kW, kH);
  kvpxmap_clear(&src, 0x123456);
  kvpxmap_setopaquecopy(true);
  for (auto _ : state) {
    kvllgui_copypxmap2directx(&dst, &src, 0, 0, kW, kH, 0, 0);
    benchmark::ClobberMemory();
  }
  kvpxmap_setopaquecopy(false);
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
  kvpxmap_free(&src);
  kvpxmap_free(&dst);
}

// Black-transparent copy (pictures and the frame image).
void BM_KeyedCopy(benchmark::State& state) {
  kvpxmap src = make(KVPX_TRUECOLOR, kW, kH), dst = make(KVPX_DIRECTX, kW, kH);
  fill_pattern(src);
  kvpxmap_convert2directx(&src);
  for (auto _ : state) {
    kvllgui_copypxmap2directx(&dst, &src, 0, 0, kW, kH, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
  kvpxmap_free(&src);
  kvpxmap_free(&dst);
}

void BM_TruecolorKeyedMerge(benchmark::State& state) {
  kvpxmap src = make(KVPX_TRUECOLOR, kW, kH), dst = make(KVPX_TRUECOLOR, kW, kH);
  fill_pattern(src);
  for (auto _ : state) {
    kvpxmap_merge4(&dst, &src, 0, 0, 0, 0, kW, kH, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
  kvpxmap_free(&src);
  kvpxmap_free(&dst);
}

void BM_Fill(benchmark::State& state) {
  kvpxmap dst = make(KVPX_DIRECTX, kW, kH);
  int colour = 0;
  for (auto _ : state) {
    kvpxmap_fillrect(&dst, 0, 0, kW, kH, colour++ & 0xFFFFFF);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
  kvpxmap_free(&dst);
}

// A strip of 16 glyphs of 24 x 32 pixels from truecolor to directx.
void BM_GlyphStripToDirectx(benchmark::State& state) {
  kvpxmap strip = make(KVPX_TRUECOLOR, 16 * 24, 32);
  fill_pattern(strip);
  for (auto _ : state) {
    state.PauseTiming();
    kvpxmap copy;
    kvpxmap_duplicate(&copy, &strip, -1, -1, -1, -1);
    state.ResumeTiming();
    kvpxmap_convert2directx(&copy);
    benchmark::DoNotOptimize(copy.data);
    state.PauseTiming();
    kvpxmap_free(&copy);
    state.ResumeTiming();
  }
  kvpxmap_free(&strip);
}

// Both copies alternately in one run; the counter "ratio" is the opaque
// copy's time over memcpy's (the target is at most 2).
void BM_OpaqueCopyOverMemcpy(benchmark::State& state) {
  kvpxmap src = make(KVPX_DIRECTX, kW, kH), dst = make(KVPX_DIRECTX, kW, kH);
  kvpxmap_clear(&src, 0x123456);
  std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH);
  double copy_ns = 0, memcpy_ns = 0;
  kvpxmap_setopaquecopy(true);
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::ClobberMemory();
    auto t1 = std::chrono::steady_clock::now();
    kvllgui_copypxmap2directx(&dst, &src, 0, 0, kW, kH, 0, 0);
    benchmark::ClobberMemory();
    auto t2 = std::chrono::steady_clock::now();
    memcpy_ns += std::chrono::duration<double, std::nano>(t1 - t0).count();
    copy_ns += std::chrono::duration<double, std::nano>(t2 - t1).count();
  }
  kvpxmap_setopaquecopy(false);
  state.counters["ratio"] = memcpy_ns > 0 ? copy_ns / memcpy_ns : 0;
  kvpxmap_free(&src);
  kvpxmap_free(&dst);
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_OpaqueCopyOverMemcpy);
BENCHMARK(BM_OpaqueCopy);
BENCHMARK(BM_KeyedCopy);
BENCHMARK(BM_TruecolorKeyedMerge);
BENCHMARK(BM_Fill);
BENCHMARK(BM_GlyphStripToDirectx);

}  // namespace
