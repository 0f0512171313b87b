#include "toolkit/port/posix/spawn.h"

#include <signal.h>

extern char** environ;

namespace kivo::port {

int spawn_program(const std::vector<std::string>& args, const posix_spawn_file_actions_t* actions,
                  bool own_session, pid_t& pid) {
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t no_signals, default_signals;
  sigemptyset(&no_signals);
  sigfillset(&default_signals);
  sigdelset(&default_signals, SIGKILL);
  sigdelset(&default_signals, SIGSTOP);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (own_session) flags |= POSIX_SPAWN_SETSID;
  posix_spawnattr_setflags(&attr, flags);
  posix_spawnattr_setsigmask(&attr, &no_signals);
  posix_spawnattr_setsigdefault(&attr, &default_signals);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  return rc;
}

}  // namespace kivo::port
