// Handing targets to the desktop's opener and starting detached programs.
//
// The opener is KIVO_OPENER when set (a program and fixed arguments,
// separated by blanks), otherwise xdg-open; the target is its last
// argument. Programs are started with posix_spawnp in a session of their
// own, standard input from /dev/null, no descriptors of ours, and default
// signal handling; a small thread reaps each one so no zombie is left.
// Nothing is ever passed through a command shell.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "toolkit/port/posix/services.h"
#include "toolkit/port/posix/spawn.h"

namespace kivo::port {
namespace {

bool spawn_detached(const std::vector<std::string>& args) {
  if (args.empty() || args[0].empty()) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t pid = -1;
  const int rc = spawn_program(args, &actions, true, pid);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  std::thread([pid] {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

std::vector<std::string> opener() {
  std::vector<std::string> words;
  const char* configured = std::getenv("KIVO_OPENER");
  std::string text = configured && *configured ? configured : "xdg-open";
  size_t pos = 0;
  while (pos < text.size()) {
    size_t begin = text.find_first_not_of(" \t", pos);
    if (begin == std::string::npos) break;
    size_t end = text.find_first_of(" \t", begin);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(begin, end - begin));
    pos = end;
  }
  return words;
}

class PosixShell : public Shell {
 public:
  bool open(const std::string& target) override {
    if (target.empty()) return false;
    std::vector<std::string> args = opener();
    if (args.empty()) return false;
    args.push_back(target);
    return spawn_detached(args);
  }

  bool start(const std::string& program, const std::vector<std::string>& arguments) override {
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return spawn_detached(args);
  }
};

}  // namespace

std::unique_ptr<Shell> make_posix_shell() { return std::make_unique<PosixShell>(); }

}  // namespace kivo::port
