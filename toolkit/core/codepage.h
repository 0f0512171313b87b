// Code page 1252, the toolkit's 8-bit text encoding, and its way to and
// from Unicode and UTF-8.
#pragma once

#include <string>

namespace kivo::core {

// The Unicode character of a code: the codes 128 to 159 through the code
// page's table, every other code itself. The five codes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1 controls of the same
// number.
char32_t cp1252_to_unicode(unsigned char code);
// False for those five codes.
bool cp1252_defined(unsigned char code);
// The code of a Unicode character, or -1 when the code page has none. The
// C1 controls of the five undefined codes give those codes.
int unicode_to_cp1252(char32_t character);

// Appends the UTF-8 bytes of a character up to U+10FFFF.
void append_utf8(std::string& out, char32_t character);

}  // namespace kivo::core
