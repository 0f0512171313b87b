// Chooses the backend of the process (see backend.h for the rule).
#include "toolkit/port/backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <mutex>

#include "toolkit/port/backend_list.h"

namespace kivo::port {
namespace {

std::unique_ptr<Backend>& current() {
  static std::unique_ptr<Backend> instance;
  return instance;
}

const BackendEntry* find_entry(const std::string& name) {
  for (const BackendEntry* entry : backend_list())
    if (name == entry->name) return entry;
  return nullptr;
}

std::unique_ptr<Backend> choose() {
  const char* forced = std::getenv("KIVO_BACKEND");
  if (forced && *forced) {
    const BackendEntry* entry = find_entry(forced);
    if (!entry) {
      std::fprintf(stderr, "kivo: unknown backend \"%s\" in KIVO_BACKEND (compiled: %s)\n", forced,
                   compiled_backends().c_str());
      std::exit(2);
    }
    if (!entry->probe()) {
      std::fprintf(stderr, "kivo: backend \"%s\" named in KIVO_BACKEND cannot start here\n", forced);
      std::exit(2);
    }
    if (auto created = entry->create()) return created;
    std::fprintf(stderr, "kivo: backend \"%s\" named in KIVO_BACKEND failed to start\n", forced);
    std::exit(2);
  }
  const auto& list = backend_list();
  for (const BackendEntry* entry : list) {
    if (!entry->probe()) continue;
    auto created = entry->create();
    if (!created) continue;
    if (entry != list.front())
      std::fprintf(stderr, "kivo: no display answered, using the %s backend\n", entry->name);
    return created;
  }
  std::fprintf(stderr, "kivo: no backend can start\n");
  std::exit(2);
}

}  // namespace

// The first use may race between threads (a worker starting before the main
// thread touched the backend): the backend is created under a lock and
// published through an atomic pointer.
namespace {
std::mutex g_creating;
std::atomic<Backend*> g_ready{nullptr};
}  // namespace

Backend& backend() {
  if (Backend* b = g_ready.load(std::memory_order_acquire)) return *b;
  std::lock_guard lock(g_creating);
  auto& instance = current();
  if (!instance) instance = choose();
  g_ready.store(instance.get(), std::memory_order_release);
  return *instance;
}

bool use_backend(const std::string& name) {
  const BackendEntry* entry = find_entry(name);
  if (!entry || !entry->probe()) return false;
  auto fresh = entry->create();
  if (!fresh) return false;
  std::lock_guard lock(g_creating);
  g_ready.store(nullptr, std::memory_order_release);
  current() = std::move(fresh);
  g_ready.store(current().get(), std::memory_order_release);
  return true;
}

std::string compiled_backends() {
  std::string names;
  for (const BackendEntry* entry : backend_list()) {
    if (!names.empty()) names += ", ";
    names += entry->name;
  }
  return names;
}

}  // namespace kivo::port
