// The periodic tick and the timer table on top of it.
//
// A port periodic timer (its own thread) only adds to an atomic counter of
// pending ticks; the entry thread delivers them in kvpump and kvidle, at
// most ten per pass, so late ticks are caught up gradually.
#include <atomic>
#include <cstdio>

#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"

namespace {

constexpr unsigned kMaxPending = 10000;
constexpr int kTicksPerDelivery = 10;
constexpr int kWindowTimerMs = 50;
constexpr int kTickMs = 10;  // worth of one tick of the timer table

struct Tick {
  void (*function)(int) = nullptr;
  int period_ms = 10;
  std::atomic<unsigned> per_firing{1};
  std::atomic<unsigned> pending{0};
  std::atomic<bool> enabled{false};
  int handle = 0;
  bool stop_hook = false;
  bool coarse = false;
  bool window_timer = false;
  int64_t window_timer_next = 0;
  int window_firings = 0;
};

struct TimerEntry {
  kvcallback callback = nullptr;
  intptr_t object = 0;  // 0 = free entry
  int interval = 0;
  int elapsed = 0;
  intptr_t key = 0;
};

struct Table {
  bool ready = false;
  TimerEntry entries[kvtimer_table_size];
  int high_water = 0;
};

Tick& tick() {
  static Tick state;
  return state;
}

Table& table() {
  static Table state;
  return state;
}

kivo::port::Clock& port_clock() { return kivo::port::backend().clock(); }

// Runs on the timer's thread: only atomics are touched.
void on_periodic(void* user) {
  Tick* t = static_cast<Tick*>(user);
  if (!t->enabled.load(std::memory_order_acquire)) return;
  // Keep the counter far from wrapping even if nobody delivers for days.
  if (t->pending.load(std::memory_order_relaxed) < 2 * kMaxPending)
    t->pending.fetch_add(t->per_firing.load(std::memory_order_relaxed), std::memory_order_acq_rel);
}

void stop_multimedia_timer() {
  Tick& t = tick();
  t.enabled.store(false, std::memory_order_release);
  if (t.handle) {
    port_clock().stop_periodic(t.handle);
    t.handle = 0;
  }
}

// The coarse-mode timer runs on the entry thread, like a window-system
// timer whose messages are handled in the pump.
void run_window_timer() {
  Tick& t = tick();
  if (!t.coarse || !t.window_timer || !t.enabled.load()) return;
  int64_t now = port_clock().now_ms();
  if (now < t.window_timer_next) return;
  t.window_timer_next = now + kWindowTimerMs;
  if (t.period_ms < kWindowTimerMs) {
    t.pending.fetch_add(unsigned(kWindowTimerMs / t.period_ms));
  } else if (++t.window_firings >= t.period_ms / kWindowTimerMs) {
    t.window_firings = 0;
    t.pending.fetch_add(1);
  }
}

void table_tick(int) {
  Table& tb = table();
  for (int i = 0; i < tb.high_water; ++i) {
    TimerEntry& e = tb.entries[i];
    if (!e.object) continue;
    e.elapsed += kTickMs;
    const intptr_t object = e.object, key = e.key;
    while (e.object && e.elapsed >= e.interval) {
      e.elapsed -= e.interval;
      e.callback(object, kvtimer_message, key, 0, 0, 0, 0, 0, 0, 0);
      // The callback may have freed its entry or handed it to another timer.
      if (e.object != object || e.key != key) break;
    }
  }
}

TimerEntry* find_entry(intptr_t object, intptr_t key) {
  Table& tb = table();
  if (!tb.ready || !object) return nullptr;
  for (int i = 0; i < tb.high_water; ++i)
    if (tb.entries[i].object == object && tb.entries[i].key == key) return &tb.entries[i];
  return nullptr;
}

}  // namespace

namespace kivo::core {

void deliver_ticks() {
  Tick& t = tick();
  if (!t.function) return;
  run_window_timer();
  unsigned pending = t.pending.load(std::memory_order_acquire);
  if (pending > kMaxPending) t.pending.fetch_sub(pending - kMaxPending, std::memory_order_acq_rel);
  for (int i = 0; i < kTicksPerDelivery; ++i) {
    unsigned current = t.pending.load(std::memory_order_acquire);
    if (current == 0) break;
    if (!t.pending.compare_exchange_strong(current, current - 1, std::memory_order_acq_rel)) {
      --i;  // the timer thread added meanwhile: try again
      continue;
    }
    t.function(1);
  }
}

void reset_timers() {
  stop_multimedia_timer();
  Tick& t = tick();
  t.function = nullptr;
  t.pending.store(0);
  t.stop_hook = false;
  t.coarse = false;
  t.window_timer = false;
  t.window_firings = 0;
  table() = Table{};
}

}  // namespace kivo::core

void kvtick_start(void (*function)(int), int rate) {
  Tick& t = tick();
  if (rate < 1) rate = 1;
  if (rate > 1000) rate = 1000;
  t.function = function;
  if (!t.stop_hook) {
    t.stop_hook = kvatexit(stop_multimedia_timer);
  }
  stop_multimedia_timer();

  const int min_period = port_clock().min_period_ms();
  t.period_ms = 1000 / rate;
  t.coarse = min_period > 40 || rate != 100;
  if (t.coarse) {
    if (!t.window_timer) {
      t.window_timer = true;
      t.window_timer_next = port_clock().now_ms() + kWindowTimerMs;
    }
  } else if (t.period_ms >= min_period) {
    t.per_firing.store(1);
    t.handle = port_clock().start_periodic(t.period_ms, on_periodic, &t);
  } else {
    t.per_firing.store(unsigned(20 / t.period_ms));
    t.handle = port_clock().start_periodic(20, on_periodic, &t);
  }
  t.pending.store(0);
  t.enabled.store(true, std::memory_order_release);
}

bool kvtick_coarse() { return tick().coarse; }
unsigned kvtick_pending() { return tick().pending.load(); }

int kvtimer_add(kvcallback callback, intptr_t object, int interval, intptr_t key) {
  Table& tb = table();
  if (!tb.ready) {
    tb = Table{};
    tb.ready = true;
    kvtick_start(table_tick, 100);
  }
  if (interval < 1) interval = 1;
  if (TimerEntry* e = find_entry(object, key)) {
    e->interval = interval;
    e->elapsed = 0;
    return int(e - tb.entries);
  }
  if (!object || !callback) return -1;
  for (int i = 0; i < kvtimer_table_size; ++i) {
    TimerEntry& e = tb.entries[i];
    if (e.object) continue;
    e = TimerEntry{callback, object, interval, 0, key};
    if (i + 1 > tb.high_water) tb.high_water = i + 1;
    return i;
  }
  std::printf("too many timers !\n");
  return -1;
}

void kvtimer_remove(intptr_t object, intptr_t key) {
  if (TimerEntry* e = find_entry(object, key)) *e = TimerEntry{};
}

void kvtimer_change(int interval, intptr_t object, intptr_t key) {
  if (TimerEntry* e = find_entry(object, key)) e->interval = interval < 1 ? 1 : interval;
}

// ---- kvTimer -----------------------------------------------------------------

static intptr_t kvtimer_fired(intptr_t object, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                              intptr_t, intptr_t, intptr_t) {
  const kvTimer* timer = reinterpret_cast<const kvTimer*>(object);
  if (!kvmodal_wait() && kvqueue_has_room()) kvpostevent(timer->code);
  return 0;
}

kvTimer::kvTimer() : code(kvnewid()) {}

kvTimer::kvTimer(int interval) : code(kvnewid()) { start(interval); }

kvTimer::~kvTimer() { kvtimer_remove(reinterpret_cast<intptr_t>(this), 0); }

void kvTimer::start(int new_interval) {
  interval = new_interval;
  kvtimer_add(kvtimer_fired, reinterpret_cast<intptr_t>(this), new_interval, 0);
}
