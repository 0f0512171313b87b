// User, machine and program facts on Linux.
#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string home_dir() {
  std::string home = env("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

class PosixSystemInfo : public SystemInfo {
 public:
  std::string user_name() override {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
    std::string user = env("USER");
    return user.empty() ? "user" : user;
  }

  std::string computer_name() override {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
  }

  std::string program_path() override {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return "";
    path.resize(size_t(n));
    return path;
  }

  std::string locale_language() override {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
      std::string value = env(name);
      if (value.empty()) continue;
      if (value == "C" || value == "POSIX" || value.rfind("C.", 0) == 0) return "en";
      if (value.size() >= 2 && std::isalpha(static_cast<unsigned char>(value[0])) &&
          std::isalpha(static_cast<unsigned char>(value[1]))) {
        return {char(std::tolower(static_cast<unsigned char>(value[0]))),
                char(std::tolower(static_cast<unsigned char>(value[1])))};
      }
    }
    return "en";
  }

  std::string user_config_dir() override {
    std::string dir = env("XDG_CONFIG_HOME");
    if (!dir.empty() && dir[0] == '/') return dir;
    return home_dir() + "/.config";
  }

  std::string autostart_dir() override { return user_config_dir() + "/autostart"; }

  std::string temp_dir() override {
    std::string dir = env("TMPDIR");
    return dir.empty() ? "/tmp" : dir;
  }

  int ansi_code_page() override { return 1252; }
};

}  // namespace

std::unique_ptr<SystemInfo> make_posix_system_info() { return std::make_unique<PosixSystemInfo>(); }

}  // namespace kivo::port
