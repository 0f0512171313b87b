// The event queue, the F12 rule, loops and the exit sequence.
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/headless/control.h"

namespace {

class EventQueue : public kivo::test::HeadlessTest {};

TEST_F(EventQueue, KeepsTheFirst64CodesAndDropsTheRest) {
  for (int i = 0; i < 65; ++i) kvpostevent(1000 + i);
  EXPECT_EQ(kvqueued(), 64);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(kvpollevent(), 1000 + i);
  EXPECT_EQ(kvpollevent(), 0) << "the 65th code was lost";
}

TEST_F(EventQueue, WrapsAroundItsRing) {
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 40; ++i) kvpostevent(round * 100 + i);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(kvpollevent(), round * 100 + i);
  }
}

TEST_F(EventQueue, IdentifiersStartAtOneMillionAndAreNeverReused) {
  int first = kvnewid();
  EXPECT_GE(first, 1000000);
  EXPECT_EQ(kvnewid(), first + 1);
}

int g_about_shown = 0;
void count_about(const char* text) {
  ++g_about_shown;
  EXPECT_NE(std::string(text).find("kivo version: 2.40.906.27"), std::string::npos);
}

struct F12Case {
  std::vector<int> codes;
  int shown;
};

TEST_F(EventQueue, FiveF12InARowShowTheAboutText) {
  const F12Case cases[] = {
      {{316, 316, 316, 316, 316}, 1},
      {{316, 316, 'a', 316, 316, 316}, 0},
      {{316, 319, 316, 325, 316, 316, 319, 316}, 1},  // codes above 316 do not break the run
      {{316, 316, 316, 316, 316, 316, 316, 316, 316, 316}, 2},
      {{316, 316, 316, 316, 315, 316}, 0},
  };
  kvset_about_hook(count_about);
  for (const auto& c : cases) {
    g_about_shown = 0;
    kvpostevent(27);  // any key below F12 resets the count between cases
    for (int code : c.codes) kvpostevent(code);
    EXPECT_EQ(g_about_shown, c.shown);
    while (kvpollevent()) {
    }
  }
}

TEST_F(EventQueue, AboutTextGoesToStandardOutputWithoutMessageBoxes) {
  ::testing::internal::CaptureStdout();
  for (int i = 0; i < 5; ++i) kvpostevent(316);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Linux, MacOS X, FreeBSD, MS-Windows, QNX"), std::string::npos);
  EXPECT_NE(out.find("kivo version: 2.40.906.27"), std::string::npos);
}

TEST_F(EventQueue, WaitForDiscardsOtherCodesAndReturnsTheAwaitedOne) {
  kvpostevent(5);
  kvpostevent(1000007);
  kvpostevent(1000009);
  kvpostevent(6);
  EXPECT_EQ(kvwaitfor(2, 1000009, 1000010), 1000009);
  EXPECT_FALSE(kvmodal_wait());
  EXPECT_EQ(kvpollevent(), 6) << "codes after the awaited one stay queued";
}

TEST_F(EventQueue, GetEventDispatchesWindowSystemEventsWhileWaiting) {
  auto* control = kivo::port::headless::control();
  control->post([] { kvpostevent(4242); });
  EXPECT_EQ(kvgetevent(), 4242);
  EXPECT_TRUE(kvevents_fetched());
}

int g_redraws = 0;
TEST_F(EventQueue, FirstUseMakesTheDisplayLiveAndBroadcastsTheRedrawOnce) {
  g_redraws = 0;
  kvset_firstredraw_hook([] { ++g_redraws; });
  EXPECT_FALSE(kvdisplay_live());
  kvpostevent(1);  // the first use of the queue
  EXPECT_TRUE(kvdisplay_live());
  kvgetevent();
  kvwait_ms(20);
  EXPECT_EQ(g_redraws, 1);
}

std::vector<int> g_hooks_ran;

TEST_F(EventQueue, ExitHooksRunInOrderOnEveryExitSequence) {
  g_hooks_ran.clear();
  kvatexit([] { g_hooks_ran.push_back(1); });
  kvatexit([] { g_hooks_ran.push_back(2); });
  kvcleanup(3);
  EXPECT_EQ(kvexitcode(), 3);
  EXPECT_FALSE(kvrunning());
  kvcleanup(0);
  EXPECT_EQ(g_hooks_ran, (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(EventQueue, ExitHookTableHoldsAHundred) {
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(kvatexit([] {}));
  EXPECT_FALSE(kvatexit([] {}));
}

TEST_F(EventQueue, QuitBeforeFetchingEventsEndsTheProcessWithCodeZero) {
  EXPECT_EXIT(
      {
        kvwindows_opened();
        kvquit();  // the last quitting window closed while main still runs its own code
        std::exit(7);
      },
      ::testing::ExitedWithCode(0), "");
}

intptr_t quit_on_timer(intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                       intptr_t) {
  kvquit();
  return 0;
}

TEST_F(EventQueue, GetEventReturnsZeroWhenATimerQuits) {
  kvpostevent(9);
  EXPECT_EQ(kvgetevent(), 9);  // events fetched: quitting no longer ends the process
  static int object;
  kvtimer_add(quit_on_timer, reinterpret_cast<intptr_t>(&object), 50, 0);
  EXPECT_EQ(kvgetevent(), 0);
  EXPECT_FALSE(kvrunning());
}

TEST_F(EventQueue, LibraryLoopAfterMainEndsTheProcessOnQuit) {
  // The library's own loop runs when the application never fetched events;
  // a quit there ends the process at once with code 0.
  EXPECT_EXIT(
      {
        static int object;
        kvtimer_add(quit_on_timer, reinterpret_cast<intptr_t>(&object), 30, 0);
        kvmainloop();
        std::exit(7);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
