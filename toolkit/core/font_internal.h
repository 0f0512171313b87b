// Connections between the font modules. Not for applications.
#pragma once

#include <vector>

#include "toolkit/core/font.h"

namespace kivo::core {

// Stores a complete record in the table (a free record first) with a new
// identifier and returns that identifier.
int font_register(kvfont&& record);
// The record at a table index, or null for an index outside the table.
kvfont* font_at(int index);
// Registers the fixed-cell built-in font with this registered name if it is
// missing; returns its index or -1.
int builtin_font_ensure(const char* registered_name);
// Releases every font (the exit hook); the table starts afresh afterwards.
void fonts_release();

}  // namespace kivo::core

namespace kivo::core {

// Parses description lines into a record (everything but name and
// identifier); false, with `out` untouched, if the description is malformed.
bool parse_font_description(const char* const* lines, size_t count, kvfont& out);
// The description lines of a built-in font (header, "data:", glyph rows).
struct BuiltinFontData;
std::vector<std::string> builtin_font_lines(const BuiltinFontData& data);

}  // namespace kivo::core
