// kvopenurl and kvshellrun over the port's Shell service.
#include "toolkit/core/shell.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "toolkit/core/process_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/shell.h"

namespace {

namespace fs = std::filesystem;

kivo::port::Shell& shell() { return kivo::port::backend().shell(); }

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

bool starts_with_nocase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i)
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool is_executable_file(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  auto perms = fs::status(path, ec).permissions();
  return (perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) != fs::perms::none;
}

std::string trim(const char* text) {
  std::string s(text ? text : "");
  size_t begin = s.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t\r\n");
  return s.substr(begin, end - begin + 1);
}

bool start(const std::string& program, const std::vector<std::string>& args) {
  return shell().start(kivo::core::resolve_program_name(program), args);
}

}  // namespace

int kvopenurl(const char* text) {
  std::string t = trim(text);
  if (t.empty()) return 0;
  std::string target;
  if (contains(t, "mailto:")) {
    target = t;
  } else if (contains(t, "http:") || contains(t, "https:") || contains(t, "ftp:")) {
    target = t;
  } else if (std::count(t.begin(), t.end(), '@') == 1) {
    target = "mailto:" + t;
  } else if (contains(t, "www")) {
    target = contains(t, "://") ? t : "http://" + t;
  } else {
    return kvshellrun(t.c_str()) ? 1 : 0;
  }
  return shell().open(target) ? 1 : 0;
}

bool kvshellrun(const char* command) {
  std::string text = trim(command);
  if (text.empty()) return false;

  size_t exe = text.find(".exe");
  if (exe == std::string::npos) exe = text.find(".EXE");
  if (exe != std::string::npos) {
    std::string program = text.substr(0, exe + 4);
    std::string params = exe + 5 < text.size() ? text.substr(exe + 5) : "";
    return start(program, kivo::core::split_command_line(params.c_str()));
  }

  std::error_code ec;
  if (fs::exists(text, ec)) {
    fs::path full = fs::absolute(text, ec);
    if (ec) return false;
    if (is_executable_file(full)) return shell().start(full.string(), {});
    return shell().open(full.string());
  }
  if (contains(text, "://") || starts_with_nocase(text, "mailto:")) return shell().open(text);

  std::vector<std::string> words = kivo::core::split_command_line(text.c_str());
  if (words.empty()) return false;
  std::string program = words.front();
  words.erase(words.begin());
  return start(program, words);
}
