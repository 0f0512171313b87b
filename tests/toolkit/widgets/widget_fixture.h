// Widgets on the headless desktop: a fresh framework per test and a probe
// control that records what its host tells it.
#pragma once

#include <vector>

#include "support/test_support.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/headless/control.h"
#include "toolkit/port/windows.h"
#include "toolkit/widgets/control.h"
#include "toolkit/widgets/hosts.h"

namespace kivo::test {

// A control that takes the focus when asked and records its messages.
class Probe : public kvControl {
 public:
  struct Got {
    int code;
    intptr_t a, b;
  };
  explicit Probe(int px, int py, int w, int h, int flags = KV_REGION_MOUSE | KV_REGION_FOCUSABLE | KV_REGION_HOVER) {
    self = &Probe::message;
    attach();
    x = px;
    y = py;
    width = w;
    height = h;
    registerRegion(flags);
    created = true;
  }
  ~Probe() { detach(); }
  static intptr_t message(intptr_t object, int code, intptr_t a, intptr_t b, intptr_t, intptr_t, intptr_t, intptr_t,
                          intptr_t, intptr_t) {
    auto* p = reinterpret_cast<Probe*>(object);
    p->got.push_back({code, a, b});
    if (code == KV_CHILD_DESTROY) p->forget_host();
    if (code == KV_CHILD_TAKEFOCUS) {
      if (p->refuse_focus) return 0;
      p->focused = true;
      return 1;
    }
    if (code == KV_CHILD_LOSEFOCUS) p->focused = false;
    if (code == KV_CHILD_HANDLESTAB) return 0;
    return 0;
  }
  int count(int code) const {
    int n = 0;
    for (const auto& g : got) n += g.code == code;
    return n;
  }
  const Got* last(int code) const {
    for (auto it = got.rbegin(); it != got.rend(); ++it)
      if (it->code == code) return &*it;
    return nullptr;
  }
  std::vector<Got> got;
  bool refuse_focus = false;
};

class WidgetTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    kivo::core::reset_llgui();
    kivo::widgets::reset_framework();
  }
  void TearDown() override {
    kivo::widgets::reset_framework();
    kivo::core::reset_llgui();
    HeadlessTest::TearDown();
  }
  port::headless::Control& ctl() { return *port::headless::control(); }
  // The application fetches events: from now on kvquit only clears the
  // running flag (it would end the process otherwise), and the display is live.
  void go_live() { kvpollevent(); }
  // Dispatches pending events and drains the application queue.
  std::vector<int> events() {
    // Ticks are delivered at most ten per pump: pump until none is left.
    do {
      kvpump();
    } while (kvtick_pending() > 0);
    std::vector<int> codes;
    while (kvqueued()) codes.push_back(kvpollevent());
    return codes;
  }
};

}  // namespace kivo::test
