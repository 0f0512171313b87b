// Helpers the process and shell services share. Not for applications.
#pragma once

#include <string>
#include <vector>

namespace kivo::core {

// Splits a command line into words with the rules of the program's own
// command line (kvsplit_commandline).
std::vector<std::string> split_command_line(const char* command_line);

// The program to start for a program name: a name without "/" that exists
// as an executable in the current folder (as is, or without a trailing
// ".exe") becomes that file's full path; otherwise the name is returned as
// it is (then looked for in PATH).
std::string resolve_program_name(const std::string& name);

}  // namespace kivo::core
