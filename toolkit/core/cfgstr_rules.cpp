// Token matching shared by every keyword group.
#include "toolkit/core/cfgstr_rules.h"

#include <algorithm>

namespace kivo::cfgstr {

namespace {

// The keywords whose texts keep their blanks: file names, titles and lists
// are read from the token as written, everything after its first '='.
constexpr std::string_view kKeepBlanks[] = {
    "title=",     "caption=",  "filter=",     "dir=",  "directory=", "defaultext=",
    "defaultextension=", "extension=", "ext=", "suggestion=", "entries=", "contents=",
    "menus=",     "tabs=",     "tabulators=", "load=", "image=",     "img=",
};

bool keeps_blanks(std::string_view keyword) {
  return std::find(std::begin(kKeepBlanks), std::end(kKeepBlanks), keyword) !=
         std::end(kKeepBlanks);
}

}  // namespace

std::string without_blanks(std::string_view value) {
  std::string out;
  for (char c : value)
    if (c != ' ' && c != '\t') out.push_back(c);
  return out;
}

void prepare(std::string_view raw, Prepared& p) {
  p.text.clear();
  p.lower.clear();
  for (char c : raw) {
    if (c == ' ' || c == '\t') continue;
    if (p.text.size() >= kvcfgstr_max_text) break;
    p.text.push_back(c);
    p.lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
}

bool match(const char* keywords, bool all_prefix, std::string_view raw, const Prepared& p,
           std::string_view& value) {
  std::string_view rest = keywords;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view k = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (k.empty()) continue;
    bool prefix = all_prefix || k.back() == '=';
    if (prefix) {
      if (p.lower.compare(0, k.size(), k) != 0) continue;
      if (keeps_blanks(k)) {
        std::size_t eq = raw.find('=');
        value = eq == std::string_view::npos ? std::string_view{} : raw.substr(eq + 1);
      } else {
        value = std::string_view(p.text).substr(k.size());
      }
      return true;
    }
    if (p.lower == k) {
      value = {};
      return true;
    }
  }
  return false;
}

}  // namespace kivo::cfgstr
