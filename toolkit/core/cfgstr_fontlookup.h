// The font look-up behind the font= keyword of configuration strings.
//
// The configuration-string parsers (cfgstr.h) turn the built-in short names
// ("6x13", "9x15b", "var13", ...) into registered names ("builtin 6x13",
// "builtin 9x15 bold", "builtin variable 13", ...) themselves; everything
// that needs the font table goes through this one function, which the font
// table provides. cfgstr_fontlookup_default.cpp holds a stand-in that knows
// only the two fonts that have fixed identifiers.
#pragma once

#include <string>

namespace kivo::core {

enum class CfgFontName {
  Registered,  // a registered name such as "builtin 6x13": exact comparison
  Alias,       // an alias such as "Arial12" or a system face: ASCII case ignored
};

// Finds a loaded font for a configuration string.
//   kind Registered: the font whose registered name equals `name` exactly
//     (kvfont_find). The eleven built-in fonts are registered by kvinit; an
//     implementation may register a missing built-in font on the spot, as
//     the font identifiers -1 and -2 do.
//   kind Alias: the first font in table order whose alias equals `name`
//     ignoring ASCII case (kvfont_findalias).
// On success stores the font's identifier in `id` (for a table record the
// value of kvfont_id, which is at least 1000000; any identifier that the text
// operations accept is allowed) and returns true. When no font matches it
// returns false and leaves `id` unchanged. It prints nothing: the caller
// prints "font not loaded/found: NAME". Called on the toolkit's thread only.
bool cfgstr_find_font(const std::string& name, CfgFontName kind, int& id);

}  // namespace kivo::core
