// Font descriptions: header lines up to "data:", then the glyph rows.
//
// Descriptions may come from files, so every count, width and offset is
// checked before it is used: a description whose numbers do not agree with
// each other or with its rows is refused and nothing is registered.
#include <cstring>
#include <string_view>

#include "toolkit/core/font_internal.h"

namespace kivo::core {
namespace {

// Largest glyph data a description may declare (pixels).
constexpr long long kMaxDataPixels = 64ll * 1024 * 1024;

bool starts_with(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// A whole decimal integer of at most 9 digits, optionally signed.
bool parse_int(std::string_view text, int& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || text.size() - i > 9) return false;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  out = static_cast<int>(negative ? -value : value);
  return true;
}

std::string_view trim_end(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

// Numbers separated by blanks; false if any is not a number or if there are
// not exactly `count` of them.
bool parse_list(std::string_view text, int count, int32_t* out) {
  int n = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size()) break;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    int value = 0;
    if (n >= count || !parse_int(text.substr(i, j - i), value)) return false;
    out[n++] = value;
    i = j;
  }
  return n == count;
}

struct Header {
  kvfont font;
  bool have_widths = false;
  bool have_offsets = false;
  std::string_view widths_text, offsets_text;
};

bool parse_header_line(std::string_view line, Header& h) {
  kvfont& f = h.font;
  auto value = [&](std::string_view key, int32_t& field) {
    int v = 0;
    if (!parse_int(trim_end(line.substr(key.size())), v)) return false;
    field = v;
    return true;
  };
  if (starts_with(line, "name=")) f.alias = std::string(trim_end(line.substr(5)));
  else if (starts_with(line, "xsize=")) return value("xsize=", f.xsize);
  else if (starts_with(line, "ysize=")) return value("ysize=", f.ysize);
  else if (starts_with(line, "monospace")) f.spacing = 1;
  else if (starts_with(line, "proportional")) f.spacing = 2;
  else if (starts_with(line, "chars=")) return value("chars=", f.chars);
  else if (starts_with(line, "ascent=")) return value("ascent=", f.ascent);
  else if (starts_with(line, "descent=")) return value("descent=", f.descent);
  else if (starts_with(line, "slant=")) return value("slant=", f.slant);
  else if (starts_with(line, "weight=")) return value("weight=", f.weight);
  else if (starts_with(line, "width=")) return value("width=", f.width);
  else if (starts_with(line, "pts=")) return value("pts=", f.points);
  else if (starts_with(line, "foundry=")) f.foundry = std::string(trim_end(line.substr(8)));
  else if (starts_with(line, "propxs=")) {
    h.have_widths = true;
    h.widths_text = trim_end(line.substr(7));
  } else if (starts_with(line, "propdataoffset=")) {
    h.have_offsets = true;
    h.offsets_text = trim_end(line.substr(15));
  }
  // Anything else ("header:", "colors=1", "desiredxs=", ...) is ignored.
  return true;
}

}  // namespace

// Parses a description into a record; false if it is malformed.
bool parse_font_description(const char* const* lines, size_t count, kvfont& out) {
  Header h;
  size_t i = 0;
  for (; i < count; ++i) {
    std::string_view line = lines[i] ? lines[i] : "";
    if (starts_with(line, "data:")) break;
    if (!parse_header_line(line, h)) return false;
  }
  if (i >= count) return false;  // no data section
  ++i;
  kvfont& f = h.font;
  if (f.chars <= 0 || f.chars > kvfont_charcount) return false;
  if (f.ysize <= 0 || f.ysize > kvfont_max_height) return false;
  if (h.have_widths) {
    if (!parse_list(h.widths_text, f.chars, f.widths)) return false;
  } else {
    for (int c = 0; c < f.chars; ++c) f.widths[c] = f.xsize;
  }
  long long pixels = 0;
  for (int c = 0; c < f.chars; ++c) {
    if (f.widths[c] < 0 || f.widths[c] > kvfont_max_glyph_width) return false;
    pixels += static_cast<long long>(f.widths[c]) * f.ysize;
  }
  if (pixels > kMaxDataPixels) return false;
  if (h.have_offsets) {
    if (!parse_list(h.offsets_text, f.chars, f.offsets)) return false;
    for (int c = 0; c < f.chars; ++c)
      if (f.offsets[c] < 0 || f.offsets[c] + static_cast<long long>(f.widths[c]) * f.ysize > pixels) return false;
  } else {
    long long offset = 0;
    for (int c = 0; c < f.chars; ++c) {
      f.offsets[c] = static_cast<int32_t>(offset);
      offset += static_cast<long long>(f.widths[c]) * f.ysize;
    }
  }
  if (f.xsize < 0 || f.xsize > kvfont_max_glyph_width) return false;

  // The rows, glyph after glyph in code order, each stored at its offset.
  f.data.assign(static_cast<size_t>(pixels), 0);
  for (int c = 0; c < f.chars; ++c) {
    const int w = f.widths[c];
    uint8_t* glyph = f.data.data() + f.offsets[c];
    for (int row = 0; row < f.ysize; ++row, ++i) {
      if (i >= count || !lines[i]) return false;
      const char* text = lines[i];
      size_t len = std::strlen(text);
      while (len > 0 && text[len - 1] == '\r') --len;
      if (len < static_cast<size_t>(w)) return false;
      for (int x = 0; x < w; ++x) glyph[row * w + x] = text[x] == '*' ? 1 : 0;
    }
  }
  for (int c = f.chars; c < kvfont_charcount; ++c) {
    f.widths[c] = 0;
    f.offsets[c] = 0;
  }
  out = std::move(f);
  return true;
}

}  // namespace kivo::core

int kvfont_load(const char* const* lines, const char* name) {
  if (!lines || !name) return 0;
  int existing = kvfont_find(name);
  if (existing >= 0) return kvfont_id(existing);
  size_t count = 0;
  while (lines[count]) ++count;
  kvfont record;
  if (!kivo::core::parse_font_description(lines, count, record)) return 0;
  record.name = name;
  return kivo::core::font_register(std::move(record));
}

int kvfont_load(const std::vector<std::string>& lines, const char* name) {
  std::vector<const char*> pointers;
  pointers.reserve(lines.size() + 1);
  for (const auto& line : lines) pointers.push_back(line.c_str());
  pointers.push_back(nullptr);
  return kvfont_load(pointers.data(), name);
}

int kvfont_load_text(const char* text, const char* name) {
  if (!text) return 0;
  std::vector<std::string> lines;
  const char* start = text;
  for (const char* s = text;; ++s) {
    if (*s == '\n' || *s == '\0') {
      lines.emplace_back(start, s);
      if (*s == '\0') break;
      start = s + 1;
    }
  }
  return kvfont_load(lines, name);
}
