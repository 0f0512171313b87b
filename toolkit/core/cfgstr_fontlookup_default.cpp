// Stand-in for the font look-up of configuration strings, used until the font
// table answers it: only the two fonts with fixed identifiers are known.
#include "toolkit/core/cfgstr_fontlookup.h"

namespace kivo::core {

bool cfgstr_find_font(const std::string& name, CfgFontName kind, int& id) {
  if (kind != CfgFontName::Registered) return false;
  if (name == "builtin 6x13") {
    id = -1;
    return true;
  }
  if (name == "builtin variable 13") {
    id = -2;
    return true;
  }
  return false;
}

}  // namespace kivo::core
