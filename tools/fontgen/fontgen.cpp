// Generates the built-in font descriptions of the toolkit from free fonts
// installed on a Debian machine (see data/fonts/SOURCES.md).
//
//   fontgen OUTDIR [PREVIEWDIR]
//
// writes OUTDIR/builtin_fonts_data_fixed.cpp (the eleven fixed-cell fonts),
// OUTDIR/builtin_fonts_data_arial.cpp and OUTDIR/builtin_fonts_data_crnew.cpp
// (the two on-demand families). Each font is its description header as text
// plus its glyph rows packed one bit per pixel (base64), in the order the
// description's data section lists them. With PREVIEWDIR, a PGM sheet of every
// font's glyphs is written there as well.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* kMisc = "/usr/share/fonts/X11/misc/";
const char* kLib2 = "/usr/share/fonts/truetype/liberation2/";

// Unicode character of a code 32..255: ASCII, the ANSI code page
// (Windows-1252) for 128..159, Latin-1 above. 0 where the code page has none.
char32_t unicode_of(int code) {
  static const char32_t cp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (code >= 128 && code < 160) return cp1252[code - 128];
  return static_cast<char32_t>(code);
}

struct Glyph {
  int width = 0;
  std::vector<uint8_t> pixels;  // width x height, 1 = ink
};

struct Font {
  std::string registered;  // registered name
  std::string alias;
  int xsize = 0, ysize = 0, ascent = 0, descent = 0, chars = 224, weight = 1, pts = 0;
  bool proportional = false;
  std::string foundry;
  std::vector<Glyph> glyphs;
};

FT_Library library;

FT_Face open_face(const std::string& path) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "fontgen: cannot open %s\n", path.c_str());
    std::exit(1);
  }
  if (!FT_IS_SCALABLE(face)) FT_Select_Size(face, 0);
  return face;
}

// Renders a character monochrome; false if the face lacks it.
bool render(FT_Face face, char32_t ch, FT_Bitmap*& bitmap, int& left, int& top, int& advance) {
  if (ch == 0) return false;
  FT_UInt index = FT_Get_Char_Index(face, ch);
  if (index == 0) return false;
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO &&
      FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
    return false;
  bitmap = &slot->bitmap;
  left = slot->bitmap_left;
  top = slot->bitmap_top;
  advance = static_cast<int>((slot->advance.x + 32) >> 6);
  return true;
}

bool ink_at(const FT_Bitmap& b, int x, int y) {
  return (b.buffer[y * b.pitch + (x >> 3)] >> (7 - (x & 7))) & 1;
}

// Copies a rendered glyph into a cell of the given width, baseline at row
// `baseline`, ink starting at column `x0` relative to the bitmap's origin.
void blit(const FT_Bitmap& b, int top, int baseline, int x0, Glyph& g, int height) {
  for (int y = 0; y < static_cast<int>(b.rows); ++y) {
    int ty = baseline - top + y;
    if (ty < 0 || ty >= height) continue;
    for (int x = 0; x < static_cast<int>(b.width); ++x) {
      int tx = x0 + x;
      if (tx < 0 || tx >= g.width) continue;
      if (ink_at(b, x, y)) g.pixels[ty * g.width + tx] = 1;
    }
  }
}

// A fixed-cell font from bitmap faces: `primary` for every code it has,
// `secondary` (may be null) for the rest, centred in the cell.
Font fixed_cell(const char* registered, const char* alias, int cell, int height, int ascent, int descent, int chars,
                FT_Face primary, FT_Face secondary, const char* foundry, bool smear_bold) {
  Font f;
  f.registered = registered;
  f.alias = alias;
  f.xsize = cell;
  f.ysize = height;
  f.ascent = ascent;
  f.descent = descent;
  f.chars = chars;
  f.foundry = foundry;
  f.weight = smear_bold || std::string(registered).find("bold") != std::string::npos ? 2 : 1;
  f.pts = height;
  int missing = 0;
  for (int i = 0; i < chars; ++i) {
    Glyph g;
    g.width = cell;
    g.pixels.assign(cell * height, 0);
    FT_Bitmap* b = nullptr;
    int left = 0, top = 0, adv = 0;
    char32_t ch = unicode_of(32 + i);
    if (render(primary, ch, b, left, top, adv)) {
      int src_ascent = static_cast<int>(primary->size->metrics.ascender >> 6);
      blit(*b, top, src_ascent, left, g, height);
    } else if (secondary && render(secondary, ch, b, left, top, adv)) {
      // Aligned on the primary face's baseline, centred in the cell.
      int src_ascent = static_cast<int>(primary->size->metrics.ascender >> 6);
      blit(*b, top, src_ascent, left + (cell - adv) / 2, g, height);
    } else if (ch != 32 && ch != 0xA0) {
      ++missing;
    }
    if (smear_bold) {
      // Classic bitmap emboldening: every ink pixel also inks its right neighbour.
      for (int y = 0; y < height; ++y)
        for (int x = cell - 1; x > 0; --x)
          if (g.pixels[y * cell + x - 1]) g.pixels[y * cell + x] = 1;
    }
    f.glyphs.push_back(std::move(g));
  }
  if (missing) std::fprintf(stderr, "fontgen: %s: %d codes without a glyph (left blank)\n", registered, missing);
  return f;
}

// Em size in pixels at which a scalable face is `height` rows high.
double em_for_height(FT_Face face, int height, double& win_ascent) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double a = os2->usWinAscent, d = os2->usWinDescent;
  win_ascent = a / face->units_per_EM;
  return height * face->units_per_EM / (a + d);
}

void set_em(FT_Face face, double em) {
  FT_Size_RequestRec req{};
  req.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
  req.width = req.height = static_cast<FT_Long>(std::lround(em * 64));
  FT_Request_Size(face, &req);
}

// A font rendered from a scalable face at the given height. Proportional
// fonts take each glyph's hinted advance (clamped to [min_w, max_w]);
// monospace fonts the advance of "0" for every glyph.
Font scalable(const std::string& registered, const std::string& alias, FT_Face face, int height, int chars,
              bool proportional, int weight, int pts, const char* foundry, int min_w, int max_w) {
  Font f;
  f.registered = registered;
  f.alias = alias;
  f.ysize = height;
  f.chars = chars;
  f.proportional = proportional;
  f.weight = weight;
  f.pts = pts;
  f.foundry = foundry;
  double win_ascent = 0;
  double em = em_for_height(face, height, win_ascent);
  set_em(face, em);
  f.ascent = std::min(height, static_cast<int>(std::lround(win_ascent * em_for_height(face, height, win_ascent))));
  f.descent = height - f.ascent;
  int baseline = f.ascent;
  FT_Bitmap* b = nullptr;
  int left = 0, top = 0, adv = 0;
  int mono_width = 0;
  if (render(face, U'0', b, left, top, adv)) mono_width = adv;
  f.xsize = 0;
  for (int i = 0; i < chars; ++i) {
    Glyph g;
    char32_t ch = unicode_of(32 + i);
    bool ok = render(face, ch, b, left, top, adv);
    if (!ok) {
      // The code page has no character here: a blank of the width of a space.
      render(face, U' ', b, left, top, adv);
      b = nullptr;
    }
    int width = proportional ? adv : mono_width;
    int ink_w = b ? static_cast<int>(b->width) : 0;
    if (proportional && ink_w > width && ink_w <= max_w) width = ink_w;
    width = std::clamp(width, min_w, max_w);
    g.width = width;
    g.pixels.assign(width * height, 0);
    if (b && ink_w > 0) {
      int x0 = left;
      if (ink_w <= width) x0 = std::clamp(left, 0, width - ink_w);
      else x0 = -(ink_w - width) / 2;
      blit(*b, top, baseline, x0, g, height);
    }
    f.xsize = std::max(f.xsize, width);
    f.glyphs.push_back(std::move(g));
  }
  if (!proportional) f.xsize = mono_width;
  return f;
}

std::string base64(const std::vector<uint8_t>& bytes) {
  static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = bytes[i] << 16;
    if (i + 1 < bytes.size()) v |= bytes[i + 1] << 8;
    if (i + 2 < bytes.size()) v |= bytes[i + 2];
    out += table[(v >> 18) & 63];
    out += table[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? table[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? table[v & 63] : '=';
  }
  return out;
}

std::string header_of(const Font& f) {
  std::ostringstream h;
  h << "header:\n"
    << "name=" << f.alias << "\n"
    << "xsize=" << f.xsize << "\n"
    << "ysize=" << f.ysize << "\n"
    << (f.proportional ? "proportional" : "monospace") << "\n"
    << "colors=1\n"
    << "chars=" << f.chars << "\n"
    << "ascent=" << f.ascent << "\n"
    << "descent=" << f.descent << "\n"
    << "slant=0\n"
    << "weight=" << f.weight << "\n"
    << "width=" << f.xsize << "\n"
    << "pts=" << f.pts << "\n"
    << "foundry=" << f.foundry << "\n";
  h << "propxs=";
  for (size_t i = 0; i < f.glyphs.size(); ++i) h << (i ? " " : "") << f.glyphs[i].width;
  h << "\npropdataoffset=";
  long offset = 0;
  for (size_t i = 0; i < f.glyphs.size(); ++i) {
    h << (i ? " " : "") << offset;
    offset += static_cast<long>(f.glyphs[i].width) * f.ysize;
  }
  h << "\n";
  return h.str();
}

std::vector<uint8_t> packed_bits(const Font& f) {
  std::vector<uint8_t> bytes;
  int bit = 0;
  uint8_t cur = 0;
  for (const Glyph& g : f.glyphs)
    for (uint8_t p : g.pixels) {
      cur = static_cast<uint8_t>(cur | (p << (7 - bit)));
      if (++bit == 8) {
        bytes.push_back(cur);
        cur = 0;
        bit = 0;
      }
    }
  if (bit) bytes.push_back(cur);
  return bytes;
}

// Writes a C++ string literal, cut into source lines.
void literal(std::ostream& out, const std::string& text, size_t line = 100) {
  for (size_t i = 0; i < text.size(); i += line) {
    out << "    \"";
    for (char c : text.substr(i, line)) {
      if (c == '\n') out << "\\n";
      else if (c == '"' || c == '\\') out << '\\' << c;
      else out << c;
    }
    out << "\"\n";
  }
  if (text.empty()) out << "    \"\"\n";
}

void write_source(const std::string& path, const char* array, const std::vector<Font>& fonts, const char* sources) {
  std::ofstream out(path);
  out << "// Generated by tools/fontgen from " << sources << ";\n"
      << "// see data/fonts/SOURCES.md. Do not edit by hand.\n"
      << "#include \"toolkit/core/builtin_fonts_data.h\"\n\n"
      << "namespace kivo::core {\n\n"
      << "const BuiltinFontData " << array << "[] = {\n";
  for (const Font& f : fonts) {
    out << "  {\"" << f.registered << "\",\n";
    literal(out, header_of(f));
    out << "    ,\n";
    literal(out, base64(packed_bits(f)));
    out << "  },\n";
  }
  out << "};\n\nconst int " << array << "_count = " << fonts.size() << ";\n\n}  // namespace kivo::core\n";
}

// A grey sheet of all glyphs of the fonts, 16 per row, for looking at.
void write_preview(const std::string& path, const std::vector<Font>& fonts) {
  int sheet_w = 0, sheet_h = 0;
  for (const Font& f : fonts) {
    sheet_w = std::max(sheet_w, 16 * (f.xsize + 2) + 4);
    sheet_h += ((f.chars + 15) / 16) * (f.ysize + 2) + 6;
  }
  std::vector<uint8_t> img(sheet_w * sheet_h, 255);
  int y0 = 2;
  for (const Font& f : fonts) {
    for (int i = 0; i < f.chars; ++i) {
      int cx = 2 + (i % 16) * (f.xsize + 2), cy = y0 + (i / 16) * (f.ysize + 2);
      const Glyph& g = f.glyphs[i];
      for (int y = 0; y < f.ysize; ++y)
        for (int x = 0; x < g.width; ++x)
          img[(cy + y) * sheet_w + cx + x] = g.pixels[y * g.width + x] ? 0 : 225;
    }
    y0 += ((f.chars + 15) / 16) * (f.ysize + 2) + 6;
  }
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << sheet_w << " " << sheet_h << "\n255\n";
  out.write(reinterpret_cast<const char*>(img.data()), static_cast<std::streamsize>(img.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fontgen OUTDIR [PREVIEWDIR]\n");
    return 2;
  }
  std::string outdir = argv[1];
  FT_Init_FreeType(&library);
  auto misc = [](const char* name) { return open_face(std::string(kMisc) + name); };

  // The eleven fixed-cell fonts, in the order they are registered.
  FT_Face f6x13 = misc("6x13.pcf.gz"), f6x13b = misc("6x13B.pcf.gz"), f12x24 = misc("12x24.pcf.gz");
  FT_Face f5x7 = misc("5x7.pcf.gz"), f5x8 = misc("5x8.pcf.gz"), c8x8 = misc("clR8x8.pcf.gz");
  FT_Face c6x8 = misc("clR6x8.pcf.gz"), f8x16 = misc("8x16.pcf.gz");
  FT_Face t16 = misc("ter-u16n_unicode.pcf.gz"), t24 = misc("ter-u24n_unicode.pcf.gz");
  FT_Face f9x15 = misc("9x15.pcf.gz"), f9x15b = misc("9x15B.pcf.gz");
  FT_Face sans = open_face(std::string(kLib2) + "LiberationSans-Regular.ttf");
  FT_Face sans_bold = open_face(std::string(kLib2) + "LiberationSans-Bold.ttf");
  FT_Face mono = open_face(std::string(kLib2) + "LiberationMono-Regular.ttf");
  FT_Face mono_bold = open_face(std::string(kLib2) + "LiberationMono-Bold.ttf");

  std::vector<Font> fixed;
  fixed.push_back(fixed_cell("builtin 6x13", "6x13", 6, 13, 11, 2, 224, f6x13, nullptr, "misc", false));
  fixed.push_back(fixed_cell("builtin 6x13 bold", "6x13b", 6, 13, 11, 2, 224, f6x13b, nullptr, "misc", false));
  fixed.push_back(fixed_cell("builtin 12x24", "12x24", 12, 24, 22, 2, 223, f12x24, t24, "sony", false));
  fixed.push_back(fixed_cell("builtin 5x7", "5x7", 5, 7, 6, 1, 224, f5x7, nullptr, "misc", false));
  fixed.push_back(fixed_cell("builtin 8x8", "8x8", 8, 8, 7, 1, 224, c8x8, f5x8, "schumacher", false));
  fixed.push_back(fixed_cell("builtin 6x8", "6x8", 6, 8, 7, 1, 224, c6x8, f5x8, "schumacher", false));
  fixed.push_back(fixed_cell("builtin 8x16", "8x16", 8, 16, 14, 2, 223, f8x16, t16, "sony", false));
  fixed.push_back(fixed_cell("builtin 8x16 bold", "8x16b", 8, 16, 14, 2, 223, f8x16, t16, "sony", true));
  fixed.push_back(fixed_cell("builtin 9x15", "9x15", 9, 15, 12, 3, 224, f9x15, nullptr, "misc", false));
  fixed.push_back(fixed_cell("builtin 9x15 bold", "9x15b", 9, 15, 12, 3, 224, f9x15b, nullptr, "misc", false));
  Font var13 = scalable("builtin variable 13", "var13", sans, 13, 223, true, 1, 10, "liberation", 2, 11);
  var13.xsize = 11;
  var13.ascent = 11;
  var13.descent = 2;
  fixed.push_back(var13);
  write_source(outdir + "/builtin_fonts_data_fixed.cpp", "kBuiltinFixedFonts", fixed,
               "the X11 misc-fixed, Sony and Schumacher bitmap fonts and Liberation Sans");

  // The on-demand families. ArialN is round(0.98 N) rows high; crnewN runs
  // linearly from 8 rows (crnew10) to 72 rows (crnew72).
  std::vector<Font> arial, crnew;
  for (int n : {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 40, 44, 48}) {
    int h = static_cast<int>(std::lround(0.98 * n));
    for (int bold = 0; bold < 2; ++bold) {
      std::string alias = "Arial" + std::to_string(n) + (bold ? "b" : "");
      arial.push_back(scalable("name=" + alias, alias, bold ? sans_bold : sans, h, 224, true, bold ? 2 : 1, n,
                               "liberation", 1, 4 * h));
    }
  }
  for (int n : {10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) {
    int h = static_cast<int>(std::lround(8 + (n - 10) * 64.0 / 62.0));
    if (h <= 8) {
      // Eight rows are too few for a rendered outline to stay readable: the
      // smallest size is the misc-fixed 5x8 bitmap font (bold by smearing).
      for (int bold = 0; bold < 2; ++bold) {
        std::string alias = "crnew" + std::to_string(n) + (bold ? "b" : "");
        Font f = fixed_cell(("name=" + alias).c_str(), alias.c_str(), 5, 8, 7, 1, 224, f5x8, nullptr, "misc",
                            bold != 0);
        f.pts = n;
        crnew.push_back(f);
      }
      continue;
    }
    for (int bold = 0; bold < 2; ++bold) {
      std::string alias = "crnew" + std::to_string(n) + (bold ? "b" : "");
      crnew.push_back(scalable("name=" + alias, alias, bold ? mono_bold : mono, h, 224, false, bold ? 2 : 1, n,
                               "liberation", 1, 4 * h));
    }
  }
  write_source(outdir + "/builtin_fonts_data_arial.cpp", "kBuiltinArialFonts", arial, "Liberation Sans 2");
  write_source(outdir + "/builtin_fonts_data_crnew.cpp", "kBuiltinCrnewFonts", crnew, "Liberation Mono 2");

  if (argc > 2) {
    std::string dir = argv[2];
    write_preview(dir + "/fixed.pgm", fixed);
    std::vector<Font> small(arial.begin(), arial.begin() + 12), big(arial.begin() + 12, arial.end());
    write_preview(dir + "/arial_small.pgm", small);
    write_preview(dir + "/arial_big.pgm", big);
    std::vector<Font> csmall(crnew.begin(), crnew.begin() + 12), cbig(crnew.begin() + 12, crnew.end());
    write_preview(dir + "/crnew_small.pgm", csmall);
    write_preview(dir + "/crnew_big.pgm", cbig);
  }
  return 0;
}
