// Starting programs with posix_spawnp, the way every child of ours starts:
// an empty signal mask and default handling of every signal, whatever the
// parent blocked or ignored.
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace kivo::port {

// Starts args[0] (looked up in PATH) with args as its argument vector, the
// given file actions (nullptr: none) and, when own_session, in a session of
// its own. Returns posix_spawnp's result: 0 when it started, with pid set.
int spawn_program(const std::vector<std::string>& args, const posix_spawn_file_actions_t* actions,
                  bool own_session, pid_t& pid);

}  // namespace kivo::port
