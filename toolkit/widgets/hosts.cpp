#include "toolkit/widgets/hosts.h"

#include <algorithm>
#include <vector>

#include "toolkit/core/runtime.h"
#include "toolkit/widgets/protocol.h"

namespace {

struct Target {
  kvcallback callback;
  intptr_t object;
};

struct Registry {
  // The registry grows as needed: a host is never refused.
  std::vector<kvhost> hosts;
  int current = -1;
  std::vector<Target> marks;
};

Registry& registry() {
  static Registry r;
  return r;
}

int g_refresh_key;  // its address identifies the refresh timer

// When the display becomes live: hosts that asked for it draw everything.
void first_redraw() {
  // Copy first: a redraw may register or unregister hosts.
  const std::vector<kvhost> hosts = registry().hosts;
  for (const kvhost& h : hosts)
    if (h.in_use && h.redraw_first && h.callback) h.callback(h.object, KV_HOST_UPDATEALL, 0, 0, 0, 0, 0, 0, 0, 0);
}

intptr_t refresh_tick(intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                      intptr_t) {
  Registry& r = registry();
  const std::vector<Target> due = std::move(r.marks);
  r.marks.clear();
  kvtimer_remove(reinterpret_cast<intptr_t>(&g_refresh_key), 0);
  for (const Target& t : due) t.callback(t.object, KV_CHILD_REFRESH, 0, 0, 0, 0, 0, 0, 0, 0);
  return 0;
}

}  // namespace

void kvhost_register(kvpxmap* surface, kvcallback callback, intptr_t object, bool redraw_first, int bgcolor) {
  if (!callback) return;
  kvset_firstredraw_hook(first_redraw);
  Registry& r = registry();
  const kvhost entry{surface, callback, object, true, redraw_first, bgcolor};
  for (size_t i = 0; i < r.hosts.size(); ++i) {
    if (r.hosts[i].in_use && r.hosts[i].callback == callback && r.hosts[i].object == object) {
      r.hosts[i] = entry;
      r.current = int(i);
      return;
    }
  }
  for (size_t i = 0; i < r.hosts.size(); ++i) {
    if (!r.hosts[i].in_use) {
      r.hosts[i] = entry;
      r.current = int(i);
      return;
    }
  }
  r.hosts.push_back(entry);
  r.current = int(r.hosts.size()) - 1;
}

void kvhost_unregister(kvcallback callback, intptr_t object) {
  Registry& r = registry();
  for (size_t i = 0; i < r.hosts.size(); ++i) {
    kvhost& h = r.hosts[i];
    if (!h.in_use || h.callback != callback || h.object != object) continue;
    h = kvhost{};
    if (r.current == int(i)) {
      r.current = -1;
      for (int k = int(i) - 1; k >= 0; --k) {
        if (r.hosts[size_t(k)].in_use) {
          r.current = k;
          break;
        }
      }
    }
  }
}

const kvhost* kvhost_current() {
  Registry& r = registry();
  if (r.current < 0 || r.current >= int(r.hosts.size()) || !r.hosts[size_t(r.current)].in_use) return nullptr;
  return &r.hosts[size_t(r.current)];
}

int kvhost_count() {
  const auto& hosts = registry().hosts;
  return int(std::count_if(hosts.begin(), hosts.end(), [](const kvhost& h) { return h.in_use; }));
}

void kvrefresh_mark(kvcallback callback, intptr_t object) {
  if (!callback) return;
  Registry& r = registry();
  for (const Target& t : r.marks)
    if (t.callback == callback && t.object == object) return;
  if (int(r.marks.size()) >= kvrefresh_max_marks) {
    callback(object, KV_CHILD_REFRESH, 0, 0, 0, 0, 0, 0, 0, 0);
    return;
  }
  if (r.marks.empty())
    kvtimer_add(refresh_tick, reinterpret_cast<intptr_t>(&g_refresh_key), kvrefresh_interval_ms, 0);
  r.marks.push_back({callback, object});
}

void kvrefresh_unmark(kvcallback callback, intptr_t object) {
  std::erase_if(registry().marks, [&](const Target& t) { return t.callback == callback && t.object == object; });
}

int kvrefresh_marked() { return int(registry().marks.size()); }

namespace kivo::widgets {

void reset_hosts() { registry() = Registry{}; }

}  // namespace kivo::widgets
