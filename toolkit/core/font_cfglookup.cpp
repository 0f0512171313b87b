// The font look-up behind the font= keyword of configuration strings,
// answered by the font table.
#include "toolkit/core/cfgstr_fontlookup.h"
#include "toolkit/core/font_internal.h"

namespace kivo::core {

bool cfgstr_find_font(const std::string& name, CfgFontName kind, int& id) {
  int index = -1;
  if (kind == CfgFontName::Registered) {
    index = kvfont_find(name.c_str());
    // The built-in fixed-cell fonts are registered on the spot when missing.
    if (index < 0 && name.rfind("builtin ", 0) == 0) index = builtin_font_ensure(name.c_str());
  } else {
    index = kvfont_findalias(name.c_str());
  }
  if (index < 0) return false;
  id = kvfont_id(index);
  return true;
}

}  // namespace kivo::core
