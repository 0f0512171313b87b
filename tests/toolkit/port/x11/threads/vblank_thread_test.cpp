// The frame clock asks for the vertical blank from its own thread while the
// main thread uses the backend: no races (this folder also runs under TSan).
#include "support/test_support.h"

#include <atomic>
#include <thread>

#include "toolkit/port/backend.h"
#include "toolkit/port/display.h"
#include "toolkit/port/monitors.h"

namespace kivo::test {
namespace {

TEST(VblankThread, FrameClockThreadAndMainThreadTogether) {
  if (!use_x11_or_skip()) GTEST_SKIP() << "no X server";
  auto& backend = port::backend();
  auto& monitors = backend.monitors();
  std::atomic<bool> stop{false};
  std::atomic<int> answered{0};
  std::thread frame_clock([&] {
    while (!stop.load()) {
      port::VblankTiming timing;
      const bool timed = monitors.vblank_timing(0, timing);
      const int line = monitors.scan_line(0);
      if (timed && line >= 0) answered.fetch_add(1);
      if (!timed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      monitors.wait_vblank(0);
    }
  });
  for (int i = 0; i < 40; ++i) {
    EXPECT_FALSE(monitors.list().empty());
    backend.display().wait_pending(5);
    while (backend.display().dispatch_one()) {
    }
  }
  stop.store(true);
  frame_clock.join();
  if (backend.capabilities().vertical_blank) {
    EXPECT_GT(answered.load(), 0);
  }
}

}  // namespace
}  // namespace kivo::test
