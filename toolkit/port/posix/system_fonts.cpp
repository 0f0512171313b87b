// System fonts through fontconfig and FreeType: a face name is resolved the
// way the desktop resolves it (so "Arial" gives a metric-compatible face),
// glyphs are rendered monochrome with the face's hinting.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <mutex>
#include <string>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

// One opened FreeType face at the requested size, with the synthetic styles
// fontconfig asked for.
struct SizedFace {
  FT_Face face = nullptr;
  bool embolden = false;
  bool oblique = false;
};

struct OpenFont {
  SystemFontRequest request;
  SizedFace main;
  double em_x = 0, em_y = 0;  // requested em size in pixels
  SystemFontMetrics metrics;
  // Faces used for characters the main face lacks, by file and index.
  std::map<std::string, SizedFace> fallbacks;
  std::map<char32_t, std::string> fallback_of;  // "" = no face has it
};

class PosixSystemFonts : public SystemFonts {
 public:
  ~PosixSystemFonts() override {
    for (auto& [handle, font] : fonts_) release(font);
    if (library_) FT_Done_FreeType(library_);
    // This service is the process's only fontconfig user; finishing it frees
    // what the library keeps for itself.
    if (fc_initialised_) FcFini();
  }

  int open(const SystemFontRequest& request) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (request.face.empty() || request.pixel_height == 0) return 0;
    if (std::abs(request.pixel_height) > kSystemFontMaxPixels || request.pixel_width < 0 ||
        request.pixel_width > kSystemFontMaxPixels)
      return 0;
    if (!library_ && FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      return 0;
    }
    if (!fc_initialised_) {
      if (!FcInit()) return 0;
      fc_initialised_ = true;
    }

    FcPattern* pattern = make_pattern(request, 0);
    if (!pattern) return 0;
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return 0;

    OpenFont font;
    font.request = request;
    std::string key;
    bool ok = open_match(match, request, font.main, key);
    if (ok) font.metrics.resolved = describe(match);
    FcPatternDestroy(match);
    if (!ok) return 0;
    if (!size_main(font)) {
      release_face(font.main);
      return 0;
    }
    int handle = next_handle_++;
    fonts_.emplace(handle, std::move(font));
    return handle;
  }

  void close(int handle) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) return;
    release(it->second);
    fonts_.erase(it);
  }

  SystemFontMetrics metrics(int handle) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = fonts_.find(handle);
    return it == fonts_.end() ? SystemFontMetrics{} : it->second.metrics;
  }

  bool glyph(int handle, char32_t character, SystemGlyph& out) override {
    std::lock_guard<std::mutex> lock(mutex_);
    out = SystemGlyph{};
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) return false;
    OpenFont& font = it->second;
    FT_UInt index = FT_Get_Char_Index(font.main.face, character);
    if (index != 0) return render(font.main, index, out);
    SizedFace* fallback = fallback_face(font, character);
    if (!fallback) return false;
    index = FT_Get_Char_Index(fallback->face, character);
    return index != 0 && render(*fallback, index, out);
  }

 private:
  // The fontconfig pattern for a request; with a character, one that asks
  // for a face covering it.
  static FcPattern* make_pattern(const SystemFontRequest& request, char32_t character) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, std::abs(request.pixel_height));
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcFalse);
    if (character != 0) {
      FcCharSet* set = FcCharSetCreate();
      FcCharSetAddChar(set, character);
      FcPatternAddCharSet(pattern, FC_CHARSET, set);
      FcCharSetDestroy(set);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
  }

  static std::string describe(FcPattern* match) {
    FcChar8* family = nullptr;
    FcChar8* style = nullptr;
    std::string text;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) text = reinterpret_cast<char*>(family);
    if (FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch) {
      text += " ";
      text += reinterpret_cast<char*>(style);
    }
    return text;
  }

  // Opens the face file of a fontconfig match and decides which styles must
  // be synthesised.
  bool open_match(FcPattern* match, const SystemFontRequest& request, SizedFace& out, std::string& key) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return false;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    key = std::string(reinterpret_cast<char*>(file)) + "#" + std::to_string(index);
    if (FT_New_Face(library_, reinterpret_cast<char*>(file), index, &out.face) != 0) {
      out.face = nullptr;
      return false;
    }
    FcBool embolden = FcFalse;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    out.embolden = embolden || (request.bold && weight < FC_WEIGHT_DEMIBOLD);
    out.oblique = request.italic && slant == FC_SLANT_ROMAN;
    return true;
  }

  static void release_face(SizedFace& face) {
    if (face.face) FT_Done_Face(face.face);
    face.face = nullptr;
  }

  static void release(OpenFont& font) {
    release_face(font.main);
    for (auto& [key, face] : font.fallbacks) release_face(face);
    font.fallbacks.clear();
  }

  // Sets the pixel size of a face: em_x by em_y pixels.
  static bool set_size(SizedFace& face, double em_x, double em_y) {
    FT_Face f = face.face;
    if (FT_IS_SCALABLE(f)) {
      FT_Size_RequestRec req{};
      req.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
      req.width = static_cast<FT_Long>(std::lround(em_x * 64));
      req.height = static_cast<FT_Long>(std::lround(em_y * 64));
      if (FT_Request_Size(f, &req) != 0) return false;
    } else {
      if (f->num_fixed_sizes <= 0) return false;
      int best = 0;
      for (int i = 1; i < f->num_fixed_sizes; ++i)
        if (std::abs(f->available_sizes[i].height - em_y) < std::abs(f->available_sizes[best].height - em_y))
          best = i;
      if (FT_Select_Size(f, best) != 0) return false;
    }
    if (face.oblique) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Set_Transform(f, &shear, nullptr);
    }
    return true;
  }

  // Works out the em size of the main face from the request and fills the
  // metrics the way the desktop's text metrics report them.
  static bool size_main(OpenFont& font) {
    FT_Face f = font.main.face;
    const SystemFontRequest& r = font.request;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    double upem = f->units_per_EM > 0 ? f->units_per_EM : 1000;
    double win_ascent = 0, win_descent = 0;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      win_ascent = os2->usWinAscent;
      win_descent = os2->usWinDescent;
    } else if (FT_IS_SCALABLE(f)) {
      win_ascent = f->ascender;
      win_descent = -f->descender;
    }
    double em_y;
    if (r.pixel_height < 0 || win_ascent + win_descent <= 0)
      em_y = std::abs(r.pixel_height);
    else
      em_y = r.pixel_height * upem / (win_ascent + win_descent);
    double em_x = em_y;
    if (r.pixel_width > 0 && os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
      em_x = r.pixel_width * upem / os2->xAvgCharWidth;
    if (em_y < 1 || em_x < 1 || em_y > kSystemFontMaxPixels || em_x > 4 * kSystemFontMaxPixels) return false;
    font.em_x = em_x;
    font.em_y = em_y;
    if (!set_size(font.main, em_x, em_y)) return false;

    SystemFontMetrics& m = font.metrics;
    if (FT_IS_SCALABLE(f) && win_ascent + win_descent > 0) {
      double scale = em_y / upem;
      m.ascent = static_cast<int>(std::lround(win_ascent * scale));
      m.descent = static_cast<int>(std::lround(win_descent * scale));
      if (r.pixel_height > 0) m.descent = r.pixel_height - m.ascent;
      m.max_advance = static_cast<int>(std::ceil(f->max_advance_width * em_x / upem));
      int position = static_cast<int>(std::lround(-f->underline_position * scale));
      m.underline_thickness = std::max(1, static_cast<int>(std::lround(f->underline_thickness * scale)));
      m.underline_position = std::max(1, position - m.underline_thickness / 2);
    } else {
      m.ascent = static_cast<int>((f->size->metrics.ascender + 32) >> 6);
      m.descent = static_cast<int>((-f->size->metrics.descender + 32) >> 6);
      m.max_advance = static_cast<int>((f->size->metrics.max_advance + 63) >> 6);
      m.underline_position = 1;
      m.underline_thickness = 1;
    }
    if (m.descent < 0) m.descent = 0;
    m.height = m.ascent + m.descent;
    if (m.underline_position >= m.descent) m.underline_position = std::max(0, m.descent - 1);
    if (m.max_advance <= 0) m.max_advance = static_cast<int>(std::ceil(em_x));
    if (font.main.embolden) m.max_advance += 1;
    return m.height > 0;
  }

  // The face the desktop would use for a character the main face lacks.
  SizedFace* fallback_face(OpenFont& font, char32_t character) {
    auto known = font.fallback_of.find(character);
    if (known != font.fallback_of.end()) {
      if (known->second.empty()) return nullptr;
      return &font.fallbacks[known->second];
    }
    if (font.fallback_of.size() > 4096) font.fallback_of.clear();
    font.fallback_of[character] = "";
    FcPattern* pattern = make_pattern(font.request, character);
    if (!pattern) return nullptr;
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    SizedFace* chosen = nullptr;
    for (int i = 0; set && i < set->nfont && i < 64 && !chosen; ++i) {
      FcCharSet* chars = nullptr;
      if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch ||
          !FcCharSetHasChar(chars, character))
        continue;
      FcPattern* match = FcFontRenderPrepare(nullptr, pattern, set->fonts[i]);
      if (!match) continue;
      SizedFace face;
      std::string key;
      if (open_match(match, font.request, face, key)) {
        auto existing = font.fallbacks.find(key);
        if (existing != font.fallbacks.end()) {
          release_face(face);
          chosen = &existing->second;
        } else if (set_size(face, font.em_x, font.em_y)) {
          chosen = &(font.fallbacks[key] = face);
        } else {
          release_face(face);
        }
        if (chosen) font.fallback_of[character] = key;
      }
      FcPatternDestroy(match);
    }
    if (set) FcFontSetDestroy(set);
    FcPatternDestroy(pattern);
    return chosen;
  }

  static bool render(SizedFace& face, FT_UInt index, SystemGlyph& out) {
    FT_Face f = face.face;
    if (FT_Load_Glyph(f, index, FT_LOAD_TARGET_MONO) != 0) return false;
    FT_GlyphSlot slot = f->glyph;
    if (face.embolden) {
      if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // Strong enough to read as bold at small sizes, one pixel at least.
        FT_Pos strength = std::max<FT_Pos>(64, FT_MulFix(f->units_per_EM, f->size->metrics.y_scale) / 24);
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
        slot->metrics.horiAdvance += strength;
      } else {
        FT_GlyphSlot_Embolden(slot);
      }
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (out.width > 4 * kSystemFontMaxPixels || out.height > 4 * kSystemFontMaxPixels) return false;
    out.mask.assign(static_cast<size_t>(out.width) * out.height, 0);
    for (int y = 0; y < out.height; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int x = 0; x < out.width; ++x) {
        bool ink = false;
        switch (bitmap.pixel_mode) {
          case FT_PIXEL_MODE_MONO: ink = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
          case FT_PIXEL_MODE_GRAY: ink = row[x] >= 128; break;
          case FT_PIXEL_MODE_BGRA: ink = row[4 * x + 3] >= 128; break;
          default: ink = false;
        }
        out.mask[static_cast<size_t>(y) * out.width + x] = ink ? 1 : 0;
      }
    }
    return true;
  }

  std::mutex mutex_;
  FT_Library library_ = nullptr;
  std::map<int, OpenFont> fonts_;
  int next_handle_ = 1;
  bool fc_initialised_ = false;
};

}  // namespace

std::unique_ptr<SystemFonts> make_posix_system_fonts() { return std::make_unique<PosixSystemFonts>(); }

}  // namespace kivo::port
