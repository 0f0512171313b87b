// Monitors from XRandR and the vertical blank from the Present extension.
// On Xvfb the Present timing comes from the server's own clock; the
// answers must agree with each other whichever way the server goes.
#include "x11_fixture.h"

namespace kivo::test {
namespace {

using Monitors = X11Test;

TEST_F(Monitors, ListComesFromRandrPrimaryFirst) {
  const auto monitors = backend().monitors().list();
  ASSERT_FALSE(monitors.empty());
  const port::MonitorInfo& m = monitors.front();
  EXPECT_TRUE(m.primary);
  EXPECT_FALSE(m.name.empty());
  EXPECT_EQ(m.bounds, (port::Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(m.visible_lines, 1080);
  EXPECT_GE(m.refresh_hz, 0);
  if (m.total_lines) {
    EXPECT_GT(m.total_lines, m.visible_lines);
  }
  for (size_t i = 1; i < monitors.size(); ++i) EXPECT_FALSE(monitors[i].primary);
}

TEST_F(Monitors, VerticalBlankAnswersAgree) {
  auto& monitors = backend().monitors();
  auto& clock = backend().clock();
  const bool source = backend().capabilities().vertical_blank;
  const bool waited = monitors.wait_vblank(0);
  port::VblankTiming timing;
  const bool timed = monitors.vblank_timing(0, timing);
  const int line = monitors.scan_line(0);
  EXPECT_EQ(waited, source);
  EXPECT_EQ(timed, source);
  EXPECT_EQ(line >= 0, source);
  EXPECT_EQ(backend().capabilities().scan_line, source);
  if (!source) return;
  // The last retrace lies in the past, less than a period or two ago.
  EXPECT_GT(timing.period_us, 2000);
  EXPECT_LT(timing.period_us, 100000);
  const int64_t now = clock.now_us();
  EXPECT_LE(timing.last_vblank_us, now);
  EXPECT_LT(now - timing.last_vblank_us, 2 * timing.period_us + 5000);
  const auto info = monitors.list().front();
  const int total = info.total_lines ? info.total_lines : info.visible_lines + info.visible_lines / 24;
  EXPECT_LT(line, total);
  // Waiting really waits for the next one: ten of them take about ten periods.
  const int64_t start = clock.now_us();
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(monitors.wait_vblank(0));
  const int64_t took = clock.now_us() - start;
  EXPECT_GT(took, 8 * timing.period_us);
  EXPECT_LT(took, 20 * timing.period_us);
  // Retrace times move on by whole periods.
  port::VblankTiming later;
  ASSERT_TRUE(monitors.vblank_timing(0, later));
  EXPECT_GE(later.last_vblank_us, timing.last_vblank_us + 8 * timing.period_us);
}

TEST_F(Monitors, UnknownMonitorHasNoVerticalBlank) {
  auto& monitors = backend().monitors();
  port::VblankTiming timing;
  EXPECT_FALSE(monitors.wait_vblank(7));
  EXPECT_FALSE(monitors.vblank_timing(-1, timing));
  EXPECT_EQ(monitors.scan_line(7), -1);
}

}  // namespace
}  // namespace kivo::test
