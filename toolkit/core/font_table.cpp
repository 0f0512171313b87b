// The font table: records, identifiers, look-up and glyph access.
#include <cstring>

#include "toolkit/core/font_internal.h"
#include "toolkit/core/runtime.h"

namespace kivo::core {
namespace {

std::vector<kvfont>& table() {
  static std::vector<kvfont> fonts;
  return fonts;
}

bool same_ignoring_case(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

int font_register(kvfont&& record) {
  auto& fonts = table();
  record.in_use = true;
  record.id = kvnewid();
  if (record.name.size() > static_cast<size_t>(kvfont_name_max)) record.name.resize(kvfont_name_max);
  if (record.alias.size() > static_cast<size_t>(kvfont_alias_max)) record.alias.resize(kvfont_alias_max);
  if (record.foundry.size() > static_cast<size_t>(kvfont_name_max)) record.foundry.resize(kvfont_name_max);
  for (auto& slot : fonts) {
    if (!slot.in_use) {
      slot = std::move(record);
      return slot.id;
    }
  }
  fonts.push_back(std::move(record));
  return fonts.back().id;
}

kvfont* font_at(int index) {
  auto& fonts = table();
  if (index < 0 || index >= static_cast<int>(fonts.size())) return nullptr;
  return &fonts[static_cast<size_t>(index)];
}

void fonts_release() {
  auto& fonts = table();
  fonts.clear();
  fonts.shrink_to_fit();
}

}  // namespace kivo::core

using kivo::core::font_at;

int kvfont_count() { return static_cast<int>(kivo::core::table().size()); }

int kvfont_find(const char* name) {
  if (!name) return -1;
  auto& fonts = kivo::core::table();
  for (size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i].in_use && fonts[i].name == name) return static_cast<int>(i);
  return -1;
}

int kvfont_findalias(const char* alias) {
  if (!alias) return -1;
  auto& fonts = kivo::core::table();
  for (size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i].in_use && kivo::core::same_ignoring_case(fonts[i].alias, alias)) return static_cast<int>(i);
  return -1;
}

int kvfont_id(int index) {
  kvfont* f = font_at(index);
  return f && f->in_use ? f->id : 0;
}

int kvfont_index(int font) {
  if (font == -1 || font == -3) return kivo::core::builtin_font_ensure("builtin 6x13");
  if (font == -2) return kivo::core::builtin_font_ensure("builtin variable 13");
  if (font < 0) return -1;
  auto& fonts = kivo::core::table();
  if (font < 1000000) {
    kvfont* f = font_at(font);
    return f && f->in_use ? font : -1;
  }
  for (size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i].in_use && fonts[i].id == font) return static_cast<int>(i);
  return -1;
}

const kvfont* kvfont_record(int font) {
  int index = kvfont_index(font);
  return index < 0 ? nullptr : font_at(index);
}

void kvfont_unload(int font) {
  int index = kvfont_index(font);
  if (index < 0) return;
  kvfont& f = *font_at(index);
  f = kvfont{};  // free; a new identifier is given on its next use
}

bool kvfont_glyph(int font, int code, const uint8_t** bitmap, int* width, int* height) {
  const kvfont* f = kvfont_record(font);
  if (!f || code < 32 || code >= 255) return false;
  int i = code - 32;
  if (i >= f->chars) return false;
  int w = f->widths[i], h = f->ysize;
  if (w <= 0 || h <= 0 || w > 10000 || h > 10000) return false;
  // The description parser guarantees this; checked again so that a glyph
  // can never be read outside the data.
  size_t end = static_cast<size_t>(f->offsets[i]) + static_cast<size_t>(w) * static_cast<size_t>(h);
  if (f->offsets[i] < 0 || end > f->data.size()) return false;
  if (bitmap) *bitmap = f->data.data() + f->offsets[i];
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

int kvfont_height(int font) {
  const kvfont* f = kvfont_record(font);
  return f ? f->ysize : 0;
}

int kvfont_charwidth(int font, int code) {
  const kvfont* f = kvfont_record(font);
  if (!f || code < 32 || code > 255) return 0;
  return f->widths[code - 32];
}

int kvfont_textwidth(int font, const char* text) {
  const kvfont* f = kvfont_record(font);
  if (!f || !text) return 0;
  int sum = 0;
  for (const unsigned char* s = reinterpret_cast<const unsigned char*>(text); *s; ++s)
    if (*s >= 32) sum += f->widths[*s - 32];
  return sum;
}
