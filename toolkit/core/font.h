// Bitmap fonts: the font table, font descriptions, system fonts, measuring
// and drawing text into pixmaps.
//
// Every font is a set of glyph bitmaps, one byte per pixel (1 ink, 0 none),
// for the character codes 32 to 255. Fonts come from text descriptions (the
// built-in fonts are such descriptions) or are rendered once from the
// desktop's fonts (kvfont_loadsystem).
//
// Font identifiers taken by every text operation:
//   -1 and -3   "builtin 6x13"         (registered on first use if missing)
//   -2          "builtin variable 13"  (likewise)
//   0 .. 999999 a table index
//   >= 1000000  the identifier stored in a record
// Anything else, or a free record, is no font: drawing does nothing and
// measuring gives 0.
//
// Text is a byte string; each byte is a character code 0 to 255.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct kvpxmap;

constexpr int kvfont_charcount = 224;        // codes 32 to 255
constexpr int kvfont_name_max = 63;          // longer registered names are cut
constexpr int kvfont_alias_max = 66;         // longer aliases are cut
constexpr int kvfont_max_height = 1000;      // largest glyph height a font may have
constexpr int kvfont_max_request = 500;      // largest size a system font may ask for (pixels)
constexpr int kvfont_max_glyph_width = 2000; // largest glyph width in a description
constexpr int kvfont_max_points = 375;       // 500 pixels at 96 dpi

// One record of the font table.
struct kvfont {
  bool in_use = false;
  std::string name;   // registered name
  std::string alias;  // what font= lookups compare against
  int32_t xsize = 0;  // cell width
  int32_t ysize = 0;  // height of every glyph
  int32_t widths[kvfont_charcount] = {};
  int32_t ascent = 0, descent = 0, slant = 0, weight = 0, width = 0, points = 0;
  std::string foundry;
  int32_t id = 0;
  int32_t spacing = 1;  // 1 monospace, 2 proportional
  std::vector<uint8_t> data;
  int32_t offsets[kvfont_charcount] = {};
  int32_t chars = 0;  // glyphs for the codes 32 to 31 + chars
};

// ---- Registration -------------------------------------------------------------

// Registers a font from its description lines (a null-terminated array).
// Returns the identifier, the existing font's identifier when one with that
// registered name exists, or 0 when the description is malformed.
int kvfont_load(const char* const* lines, const char* name);
int kvfont_load(const std::vector<std::string>& lines, const char* name);
// The same from one text whose lines are separated by line feeds.
int kvfont_load_text(const char* text, const char* name);

// Renders a system font from a configuration string: the face name, then
// bold, italic, underlined/understriked, xs=/width=, ys=/height=, ascent=,
// descent=, points= and xsextra=. Returns the identifier, or 0 when no font
// can be created; heights and widths above kvfont_max_request pixels and
// sizes above kvfont_max_points points (500-pixel characters) are refused.
int kvfont_loadsystem(const char* format, ...) __attribute__((format(printf, 1, 2)));
// While on, kvfont_loadsystem renders again even if the font exists.
void kvfont_reload(bool on);
// Character code map of system fonts: code 128..255 is drawn as `value`
// (255 or less: that code of the ANSI code page; above: that Unicode character).
void kvfont_setcharmap(int code, int value);
void kvfont_unload(int font);

// Registers the two families Arial10 ... Arial48b and crnew10 ... crnew72b
// (once; later calls do nothing).
void kvfont_loadfamilies();

// ---- Look-up ------------------------------------------------------------------

int kvfont_index(int font);               // table index or -1
int kvfont_find(const char* name);        // exact registered name, index or -1
int kvfont_findalias(const char* alias);  // alias ignoring case, index or -1
int kvfont_id(int index);                 // identifier of a record, 0 if none
int kvfont_count();                       // records in the table (free ones too)
const kvfont* kvfont_record(int font);    // the record of a font, or null

// ---- Glyphs and measuring -----------------------------------------------------

bool kvfont_glyph(int font, int code, const uint8_t** bitmap, int* width, int* height);
int kvfont_height(int font);
int kvfont_charwidth(int font, int code);
int kvfont_textwidth(int font, const char* text);

// ---- Drawing ------------------------------------------------------------------

// Colours are 0xRRGGBB (palette indexes on palette pixmaps); -1 as background
// means none, -1 as light or dark colour the scheme's white and dark roles.
void kvfont_drawchar(kvpxmap* p, int font, int x, int y, int colour, bool raised, bool underline,
                     int background, int code, int light = -1, int dark = -1);
void kvfont_drawtext(kvpxmap* p, int font, int x, int y, int colour, bool raised, bool underline_all,
                     int background, int max_width, int underline_index, const char* text,
                     int light = -1, int dark = -1);
// Word-wrapped text; returns the height used. With measure_only nothing is drawn.
int kvfont_wraptext(kvpxmap* p, int font, int x, int y, int width, int height_limit, int colour,
                    const char* text, bool measure_only);
int kvfont_textheight(int width, const char* text, int font);
