// Folder listings with wildcards, and the listing cursor of kvdir_next.
#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <system_error>

#include "toolkit/core/files.h"
#include "toolkit/core/strformat.h"

namespace fs = std::filesystem;

namespace {

char lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

bool less_ignoring_case(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = lower(a[i]), y = lower(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // a stable order for names that differ only in case
}

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

struct Cursor {
  bool valid = false;
  std::string pattern;
  kivo::core::ListingOptions options;
  std::vector<std::string> paths;
  size_t next = 0;
};

Cursor& cursor() {
  static Cursor c;
  return c;
}

const char* next_entry(const char* text) {
  std::string pattern;
  kivo::core::ListingOptions options;
  kivo::core::parse_listing(text, pattern, options);
  Cursor& c = cursor();
  if (!c.valid || c.pattern != pattern || !(c.options == options)) {
    c.valid = true;
    c.pattern = pattern;
    c.options = options;
    c.paths = kivo::core::list_folder(pattern, options);
    c.next = 0;
  }
  if (c.next >= c.paths.size()) return nullptr;
  return c.paths[c.next++].c_str();
}

}  // namespace

namespace kivo::core {

void parse_listing(const std::string& text, std::string& pattern, ListingOptions& options) {
  options = ListingOptions{};
  size_t comma = text.find(',');
  pattern = trim(text.substr(0, comma));
  while (comma != std::string::npos) {
    size_t end = text.find(',', comma + 1);
    std::string keyword = trim(text.substr(comma + 1, end == std::string::npos ? std::string::npos : end - comma - 1));
    for (char& ch : keyword) ch = lower(ch);
    if (keyword == "recursive") options.recursive = true;
    else if (keyword == "dirs" || keyword == "showdirs") options.dirs = true;
    else if (keyword == "hidden" || keyword == "showhidden") options.hidden = true;
    else if (keyword == "casesensitive") options.case_sensitive = true;
    comma = end;
  }
  kvslashes(pattern);
}

std::vector<std::string> list_folder(const std::string& pattern, const ListingOptions& options,
                                     size_t max_entries, size_t max_bytes) {
  std::string folder, name;
  kvpath_dirname(pattern.c_str(), folder, name);
  if (folder.empty()) folder = "/";  // "/x" names the root folder
  if (name.empty()) name = "*";

  std::vector<std::string> folders{folder};
  if (options.recursive) {
    // Breadth first; folder links are not followed, so a loop cannot trap us.
    std::deque<std::string> pending{folder};
    while (!pending.empty() && folders.size() < max_entries) {
      std::string current = pending.front();
      pending.pop_front();
      std::error_code ec;
      std::vector<std::string> children;
      for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_directory(type_ec) && !it->is_symlink(type_ec))
          children.push_back(current + "/" + it->path().filename().string());
      }
      std::sort(children.begin(), children.end(), less_ignoring_case);
      for (auto& child : children) {
        folders.push_back(child);
        pending.push_back(child);
      }
    }
  }

  std::vector<std::string> paths;
  size_t bytes = 0;
  bool truncated = false;
  auto record = [&](const std::string& dir, const std::string& entry) {
    if (!kvwildcard(entry.c_str(), name.c_str(), options.case_sensitive)) return;
    if (paths.size() >= max_entries || bytes + dir.size() + entry.size() + 2 > max_bytes) {
      truncated = true;
      return;
    }
    paths.push_back(dir + "/" + entry);
    bytes += paths.back().size() + 1;
  };
  for (const std::string& dir : folders) {
    if (truncated) break;
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    if (ec) continue;
    if (options.dirs) {
      record(dir, ".");
      record(dir, "..");
    }
    for (; !ec && it != end && !truncated; it.increment(ec)) {
      std::error_code type_ec;
      if (!options.dirs && it->is_directory(type_ec)) continue;
      record(dir, it->path().filename().string());
    }
  }
  if (truncated)
    std::printf("kvdir_next: listing of %s stopped at %zu entries\n", pattern.c_str(), paths.size());
  std::sort(paths.begin(), paths.end(), less_ignoring_case);
  return paths;
}

}  // namespace kivo::core

const char* kvdir_next(const char* format, ...) {
  if (!format) return nullptr;
  va_list args;
  va_start(args, format);
  const std::string text = kivo::core::vformat(format, args, kivo::core::kMaxPattern);
  va_end(args);
  return next_entry(text.c_str());
}

bool kvdir_nextinto(std::string& buffer, const char* format, ...) {
  if (!format) return false;
  va_list args;
  va_start(args, format);
  const std::string text = kivo::core::vformat(format, args, kivo::core::kMaxPattern);
  va_end(args);
  const char* entry = next_entry(text.c_str());
  if (!entry) return false;
  buffer = entry;
  return true;
}

void kvdir_restart() { cursor().valid = false; }

bool kvwildcard(const char* name, const char* pattern, bool case_sensitive) {
  if (!name || !pattern) return false;
  auto same = [case_sensitive](char a, char b) { return case_sensitive ? a == b : lower(a) == lower(b); };
  // Greedy matching with one backtrack point: linear in practice, never exponential.
  const char *n = name, *p = pattern, *star = nullptr, *resume = nullptr;
  while (*n) {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p == '?' || (*p && same(*p, *n))) {
      ++p;
      ++n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}
