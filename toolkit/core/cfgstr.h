// Configuration strings: the one-line descriptions from which every window,
// control, image and font is created, such as
//   "OK,x=25%,y=80%,xs=40%,default"  or  "info,x=50%,y=50%,xs=%d,noquit".
//
// A creating function takes the string as a printf format with arguments and
// processes it in this order:
//   kvcfgstr_tokens t = kvcfgstr_process(format, ...);   // escape, format, split
//   kvgeometry g; kvgeometry_init(&g); kvgeometry_setparent(&g, w, h);
//   kvcfgstr_geometry(t, 1, &g);                          // geometry.h
//   kvcfgstr_border(t, 1, border); kvcfgstr_btnattr(t, 1, attr); ...   // cfgstr_groups.h
//   std::string rest = kvcfgstr_leftover(t, 1);           // optional
// Start index 1 skips the first token where it is the object's text (a caption
// or a title); 0 where there is no such text.
//
// Every parser walks the tokens from its start index, compares each token with
// its blanks and tabs removed and ignoring ASCII case, stores the value of a
// keyword it knows and consumes the token: the token becomes an empty string,
// so later parsers skip it and what stays non-empty is what nobody recognised.
// Unknown keywords are ignored silently.
//
// Limits (input is untrusted; longer input is cut, never refused):
//   a formatted string keeps its first kvcfgstr_max_text characters,
//   a token its first kvcfgstr_max_token characters,
//   a lookup or leftover text its first kvcfgstr_max_text characters.
//
// The format is program text. Never pass text from outside (files, markup,
// user input) as the format: give it as the argument of a "%s" instead, or
// split it with kvcfgstr_split directly.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---- Token lists -----------------------------------------------------------

// The tokens of one string; a consumed token is an empty string.
using kvcfgstr_tokens = std::vector<std::string>;

constexpr std::size_t kvcfgstr_max_text = 999;
constexpr std::size_t kvcfgstr_max_token = 499;

// Copies the format, doubling every percent sign that is followed by a byte
// whose signed value is below that of '0' (a comma, a blank, '%', the end of
// the text, any byte from 128 up), by '>' or by 'n', so that "50%," and a
// trailing "%" come out as literal percent signs while "%d", "%s" and "%06x"
// stay conversions. ("%n" would store into memory and is never a conversion.)
std::string kvcfgstr_escape(std::string_view format);
void kvcfgstr_escape(std::string& out, const char* format);

// Escapes the format, then formats it with the arguments (printf rules);
// the result is cut to kvcfgstr_max_text characters.
std::string kvcfgstr_vformat(const char* format, va_list args);
std::string kvcfgstr_format(const char* format, ...);

// Splits at every comma; tokens are copied verbatim, blanks included, each cut
// to kvcfgstr_max_token characters. An empty text gives an empty list. The text
// itself is first cut to kvcfgstr_max_text characters.
void kvcfgstr_split(std::string_view text, kvcfgstr_tokens& out);
// The same list on the heap; release it with kvcfgstr_free.
kvcfgstr_tokens* kvcfgstr_split_alloc(std::string_view text);
void kvcfgstr_free(kvcfgstr_tokens* list);

// kvcfgstr_format followed by kvcfgstr_split.
kvcfgstr_tokens kvcfgstr_process(const char* format, ...);
kvcfgstr_tokens kvcfgstr_vprocess(const char* format, va_list args);

// Every still non-empty token from index start on, each preceded by a comma
// (so the result begins with a comma or is empty).
std::string kvcfgstr_leftover(const kvcfgstr_tokens& list, int start);
void kvcfgstr_leftover(std::string& out, const kvcfgstr_tokens& list, int start);

// Consumes every token equal to name (ASCII case and blanks ignored) and sets
// flag when there was one. Used for markedlines, choosebox (list boxes),
// autofocus, nokeyscroll, scrollwheelalways and standardview (views).
void kvcfgstr_flag(kvcfgstr_tokens& list, int start, std::string_view name, bool& flag);

// ---- Lookups in a whole string ----------------------------------------------
// The name is searched as a substring of the text, ignoring ASCII case, first
// occurrence; so a lookup for "maxxs" also finds "maxxsize".

bool kvcfgstr_lookup_flag(std::string_view text, std::string_view name);
// The integer after the first "name=", or def when there is none.
int kvcfgstr_lookup_int(std::string_view text, std::string_view name, int def);
// The text after the name, skipping one "=" when present, up to the next comma
// or the end, with its case as written. False (out unchanged) when the name
// does not occur.
bool kvcfgstr_lookup_text(std::string_view text, std::string_view name, std::string& out);

// ---- Value grammars ---------------------------------------------------------

// Unit code of a position or size value.
constexpr int KVCFG_UNIT_NONE = 0;
constexpr int KVCFG_UNIT_PERCENT = 1;
constexpr int KVCFG_UNIT_PIXEL = 2;

// Optional sign and decimal digits; anything else ends the number; no digits
// gives 0. Values beyond the 32-bit range are clamped to it.
int kvcfgstr_int(std::string_view text);
// A decimal floating-point number; no number, infinities and NaN give 0.
double kvcfgstr_real(std::string_view text);

// Colours are 0xRRGGBB; -1 means no colour. The text after the first "="
// counts when there is one. "0x" and hexadecimal digits, a name of the colour
// table (ASCII case ignored), or hexadecimal digits alone ("ff8000" is
// orange). An empty or unusable text leaves colour unchanged. Returns whether
// the colour was set.
bool kvcfgstr_color(std::string_view text, int& colour);

// The colour-name table, in this order: none, off, black, blue, green, cyan,
// red, magenta, brown, lightgrey, darkgrey, lightblue, lightgreen, lightcyan,
// lightred, lightmagenta, yellow, white, transparent, grey. Entries 2 to 17
// are the sixteen standard colours in palette order.
struct kvcfgstr_colorname {
  const char* name;
  int colour;
};
const kvcfgstr_colorname* kvcfgstr_colornames(int* count);
// One of the sixteen standard colours by palette index 0..15 (black, blue,
// green, cyan, red, magenta, brown, lightgrey, darkgrey, lightblue,
// lightgreen, lightcyan, lightred, lightmagenta, yellow, white); -1 outside.
int kvcfgstr_standardcolor(int index);

// The text after the first "=" with blanks removed, read as a real; the
// characters after the number name the unit: "%" or "percent" gives
// KVCFG_UNIT_PERCENT, "pix" or "pixel" KVCFG_UNIT_PIXEL, anything else
// KVCFG_UNIT_NONE. The value is clamped to +-kvcfgstr_max_real.
double kvcfgstr_unitvalue(std::string_view text, int* unit);
// The same value truncated toward zero; the unit is ignored.
int kvcfgstr_intvalue(std::string_view text);
constexpr double kvcfgstr_max_real = 1.0e7;

// Hot keys: a single character gives its own code, "space" 32, "return" 10,
// "f1" to "f12" 305 to 316 (ASCII case ignored). Anything else prints
// "complex hotkey not fully supported yet ! (kvcfgstr_btnattr) "TEXT"" and
// gives 0 (no hot key).
int kvcfgstr_hotkey(std::string_view text);

// The text split at every "|" (an empty text gives no items). At most
// max_items are kept (0: no limit). Returns the number of items.
int kvcfgstr_list(std::string_view text, std::vector<std::string>& items, int max_items = 0);
