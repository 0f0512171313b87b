// The font group of configuration strings: font=NAME and fontid=N.
#include <cstdio>

#include "toolkit/core/cfgstr_fontlookup.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/cfgstr_rules.h"

namespace {

using namespace kivo::cfgstr;

// Short names of the built-in fonts and the names they are registered under.
struct BuiltinName {
  const char* names;  // synonyms separated by '/'
  const char* registered;
};
constexpr BuiltinName kBuiltins[] = {
    {"6x13", "builtin 6x13"},
    {"6x13b/6x13bold", "builtin 6x13 bold"},
    {"9x15", "builtin 9x15"},
    {"9x15b/9x15bold", "builtin 9x15 bold"},
    {"8x16", "builtin 8x16"},
    {"8x16b/8x16bold", "builtin 8x16 bold"},
    {"12x24", "builtin 12x24"},
    {"5x7", "builtin 5x7"},
    {"8x8", "builtin 8x8"},
    {"var13/variable13/13var/13variable", "builtin variable 13"},
};

const char* builtin_registered_name(std::string_view name) {
  Prepared p;
  prepare(name, p);
  for (const auto& b : kBuiltins) {
    std::string_view ignored;
    if (match(b.names, false, name, p, ignored)) return b.registered;
  }
  return nullptr;
}

using Font = One<int>;

void font_by_name(Font& f, std::string_view name) {
  std::string wanted(name);
  bool found;
  if (const char* registered = builtin_registered_name(name))
    found = kivo::core::cfgstr_find_font(registered, kivo::core::CfgFontName::Registered, f.value);
  else
    found = kivo::core::cfgstr_find_font(wanted, kivo::core::CfgFontName::Alias, f.value);
  if (!found) std::printf("font not loaded/found: %s\n", wanted.c_str());
}

constexpr Rule<Font> kFont[] = {
    custom("font=", font_by_name),
    integer("fontid=", &Font::value),
};

}  // namespace

void kvcfgstr_font(kvcfgstr_tokens& t, int start, int& font) {
  Font f{font};
  Walk how;
  how.first_match_only = true;
  walk(t, start, kFont, f, how);
  font = f.value;
}
