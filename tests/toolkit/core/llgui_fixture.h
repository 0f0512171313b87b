// A window of the window layer on the headless desktop whose owner records
// every message it receives.
#pragma once

#include <vector>

#include "support/test_support.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/headless/control.h"

namespace kivo::test {

struct Message {
  int code;
  intptr_t a, b;
  bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Message& m) {
  return os << "{" << m.code << ", " << m.a << ", " << m.b << "}";
}

class LlguiTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    kivo::core::reset_llgui();
  }
  void TearDown() override {
    kvllgui_close(&window);
    kivo::core::reset_llgui();
    HeadlessTest::TearDown();
  }

  port::headless::Control& ctl() { return *port::headless::control(); }

  static intptr_t record(intptr_t object, int code, intptr_t a, intptr_t b, intptr_t, intptr_t, intptr_t,
                         intptr_t, intptr_t, intptr_t) {
    reinterpret_cast<LlguiTest*>(object)->messages.push_back({code, a, b});
    return 0;
  }

  // A window with a caption and a fixed frame: open(x, y, w, h, title).
  bool open(int x, int y, int w, int h, const char* title = "Window", bool notitle = false) {
    return kvllgui_open(&window, record, reinterpret_cast<intptr_t>(this), x, y, w, h, title, true, false,
                        false, false, true, false, notitle, false);
  }

  // Dispatches every pending event and returns what the owner received.
  std::vector<Message> pump() {
    messages.clear();
    kvpump();
    return messages;
  }

  // Messages of one code family only (window events without focus noise).
  static std::vector<Message> without_focus(const std::vector<Message>& list) {
    std::vector<Message> out;
    for (const auto& m : list)
      if (m.code != KV_MSG_FOCUS && m.code != KV_MSG_UNFOCUS && m.code != KV_MSG_ACTIVATED &&
          m.code != KV_MSG_DEACTIVATED && m.code != KV_MSG_POINTERMOVE)
        out.push_back(m);
    return out;
  }

  port::Rect client() { return port::backend().windows().client_rect(window.handle); }

  kvllgui_window window;
  std::vector<Message> messages;
};

}  // namespace kivo::test
