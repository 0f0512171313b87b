// Registry paths over the port's Registry service.
#include "toolkit/core/registry.h"

#include <cctype>
#include <cstring>

#include "toolkit/core/process_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/registry.h"

namespace {

struct RegPath {
  std::string root;
  std::string key;   // root + "\" + keys (or just the root)
  std::string name;  // the value's name
  bool autostart = false;
};

bool same(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool parse(const char* text, RegPath& path) {
  if (!text) return false;
  std::string p(text);
  for (char& c : p)
    if (c == '/') c = '\\';
  size_t first = p.find('\\');
  if (first == std::string::npos) return false;
  path.root = p.substr(0, first);
  bool known = false;
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                           "HKEY_CURRENT_CONFIG"})
    if (same(path.root, root)) {
      path.root = root;
      known = true;
    }
  if (!known) return false;
  size_t last = p.rfind('\\');
  std::string keys = last > first ? p.substr(first + 1, last - first - 1) : "";
  path.key = keys.empty() ? path.root : path.root + "\\" + keys;
  path.name = p.substr(last + 1);
  path.autostart = path.root == "HKEY_CURRENT_USER" && same(keys, "Software\\Microsoft\\Windows\\CurrentVersion\\Run") &&
                   !path.name.empty();
  return true;
}

kivo::port::Registry& registry() { return kivo::port::backend().registry(); }

}  // namespace

bool kvreg_read(const char* text, std::string& buffer) {
  RegPath path;
  if (!parse(text, path)) return false;
  if (path.autostart) return registry().read_autostart(path.name, buffer);
  return registry().read(path.key, path.name, buffer);
}

bool kvreg_write(const char* text, const char* value) {
  RegPath path;
  if (!parse(text, path) || !value) return false;
  if (std::strlen(value) > kvreg_value_max) return false;
  if (path.autostart) {
    std::vector<std::string> argv = kivo::core::split_command_line(value);
    if (argv.empty()) return false;
    return registry().write_autostart(path.name, argv, value);
  }
  return registry().write(path.key, path.name, value);
}

bool kvreg_delete(const char* text) {
  RegPath path;
  if (!parse(text, path)) return false;
  bool removed = !path.name.empty() && registry().remove_key(path.key + "\\" + path.name);
  if (path.autostart)
    removed = registry().remove_autostart(path.name) || removed;
  else
    removed = registry().remove_value(path.key, path.name) || removed;
  return removed;
}
