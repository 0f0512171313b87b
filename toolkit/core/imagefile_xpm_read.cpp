// Reading XPM pictures, from files and from line arrays in memory.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/core/imagefile_internal.h"

namespace kivo::imagefile {

std::vector<std::string> xpm_lines(const std::vector<uint8_t>& file) {
  std::vector<std::string> lines;
  std::string line;
  bool quoted = false, has_text = false;
  for (uint8_t c : file) {
    if (c == '"') {
      quoted = !quoted;
      has_text = true;
    } else if (quoted) {
      line += char(c);
    } else if (c == ',' && has_text) {
      lines.push_back(std::move(line));
      line.clear();
      has_text = false;
    }
  }
  if (has_text) lines.push_back(std::move(line));
  return lines;
}

}  // namespace kivo::imagefile

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = char(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The X11 names other programs write for exact colours; unknown names are
// black.
int named_colour(const char* v, size_t n) {
  std::string name;
  for (size_t i = 0; i < n; ++i)
    if (v[i] != ' ') name += char(std::tolower(static_cast<unsigned char>(v[i])));
  static const struct {
    const char* name;
    int colour;
  } table[] = {{"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000},    {"green", 0x00FF00},
               {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF},  {"magenta", 0xFF00FF},
               {"gray", 0xBEBEBE},  {"grey", 0xBEBEBE},  {"navy", 0x000080},  {"orange", 0xFFA500},
               {"purple", 0xA020F0}, {"brown", 0xA52A2A}, {"pink", 0xFFC0CB}};
  for (const auto& e : table)
    if (name == e.name) return e.colour;
  // gray0 ... gray100 and grey0 ... grey100
  if ((name.compare(0, 4, "gray") == 0 || name.compare(0, 4, "grey") == 0) && name.size() > 4 &&
      name.size() <= 7 && name.find_first_not_of("0123456789", 4) == std::string::npos) {
    int k = std::atoi(name.c_str() + 4);
    if (k <= 100) return ((k * 255 + 50) / 100) * 0x010101;
  }
  return 0;
}

// The colour of one colour line after its key: -1 for "none", else 0xRRGGBB.
int parse_colour(const char* s, size_t n) {
  // The first "c" followed by a blank or control character.
  size_t i = 0;
  for (; i + 1 < n; ++i)
    if (s[i] == 'c' && static_cast<unsigned char>(s[i + 1]) <= ' ') break;
  if (i + 1 >= n) return 0;
  i += 2;
  while (i < n && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  const char* v = s + i;
  size_t len = n - i;
  size_t word = 0;
  while (word < len && static_cast<unsigned char>(v[word]) > ' ') ++word;
  if (word == 4) {
    bool none = true;
    for (int k = 0; k < 4; ++k) none = none && std::tolower(static_cast<unsigned char>(v[k])) == "none"[k];
    if (none) return -1;
  }
  if (word > 0 && v[0] != '#') return named_colour(v, word);
  if (word == 0) return 0;
  if (word == 13) {  // #RRRRGGGGBBBB: the high two digits of each group
    int c = 0;
    for (int g = 0; g < 3; ++g) {
      int hi = hex_digit(v[1 + 4 * g]), lo = hex_digit(v[2 + 4 * g]);
      if (hi < 0 || lo < 0) return 0;
      c = c << 8 | hi << 4 | lo;
    }
    return c;
  }
  unsigned long c = 0;
  for (size_t k = 1; k < word && k <= 8; ++k) {
    int d = hex_digit(v[k]);
    if (d < 0) break;
    c = c << 4 | unsigned(d);
  }
  return int(c & 0xFFFFFF);
}

}  // namespace

bool kvpxmap_createfrommem_xpm_n(kvpxmap* p, const char* const* lines, int count) {
  if (!lines || count < 1 || !lines[0]) return false;
  int w = 0, h = 0, colours = 0, cpp = 0;
  if (std::sscanf(lines[0], "%d %d %d %d", &w, &h, &colours, &cpp) != 4) return false;
  if (colours > 255) {
    std::printf("kvpxmap_createfrommem_xpm: too many colors (%d)\n", colours);
    return false;
  }
  if (colours < 0 || (cpp != 1 && cpp != 2) || !kivo::imagefile::dimensions_allowed(w, h)) return false;
  if (int64_t(count) < 1 + int64_t(colours) + h) return false;
  // Every pixel line must be long enough before anything is allocated.
  size_t row_chars = size_t(w) * size_t(cpp);
  for (int r = 0; r < h; ++r) {
    const char* line = lines[1 + colours + r];
    if (!line || strnlen(line, row_chars) < row_chars) return false;
  }
  // Key -> index; -2 marks unknown keys.
  std::vector<int16_t> index(cpp == 1 ? 256 : 65536, -2);
  kvpxmap out;
  out.width = w;
  out.height = h;
  out.format = KVPX_PALETTE8;
  if (!kvpxmap_allocate(&out)) {
    kvpxmap_free(&out);
    return false;
  }
  for (int i = 0; i < colours; ++i) {
    const char* line = lines[1 + i];
    size_t n = line ? std::strlen(line) : 0;
    if (n < size_t(cpp)) {
      kvpxmap_free(&out);
      return false;
    }
    unsigned key = cpp == 1 ? uint8_t(line[0]) : unsigned(uint8_t(line[0])) << 8 | uint8_t(line[1]);
    int colour = parse_colour(line + cpp, n - size_t(cpp));
    if (colour == -1) {
      index[key] = 255;
    } else {
      index[key] = int16_t(i);
      out.palette[i] = uint32_t(colour);
    }
  }
  auto* px = static_cast<uint8_t*>(out.data);
  for (int r = 0; r < h; ++r) {
    const uint8_t* s = reinterpret_cast<const uint8_t*>(lines[1 + colours + r]);
    for (int x = 0; x < w; ++x, s += cpp) {
      unsigned key = cpp == 1 ? s[0] : unsigned(s[0]) << 8 | s[1];
      int16_t i = index[key];
      if (i < 0) {  // a key no colour line declared
        kvpxmap_free(&out);
        return false;
      }
      px[size_t(r) * size_t(w) + size_t(x)] = uint8_t(i);
    }
  }
  kvpxmap_free(p);
  *p = out;
  return true;
}

bool kvpxmap_createfrommem_xpm(kvpxmap* p, const char* const* lines) {
  if (!lines || !lines[0]) return false;
  int w = 0, h = 0, colours = 0;
  if (std::sscanf(lines[0], "%d %d %d", &w, &h, &colours) != 3) return false;
  if (colours > 255) {
    std::printf("kvpxmap_createfrommem_xpm: too many colors (%d)\n", colours);
    return false;
  }
  if (colours < 0 || h < 0 || h > kvpicture_max_dimension) return false;
  return kvpxmap_createfrommem_xpm_n(p, lines, 1 + colours + h);
}

bool kvpxmap_loadfromfile_xpm(kvpxmap* p, const char* name, const char* const*, int x, int y, int w,
                              int h) {
  std::vector<uint8_t> file;
  if (!kivo::imagefile::read_file(name, file)) return false;
  std::vector<std::string> text = kivo::imagefile::xpm_lines(file);
  std::vector<const char*> lines;
  for (const auto& l : text) lines.push_back(l.c_str());
  kvpxmap picture;
  if (!kvpxmap_createfrommem_xpm_n(&picture, lines.data(), int(lines.size()))) {
    kvpxmap_free(&picture);
    return false;
  }
  kvpxmap_merge4(p, &picture, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, w, h, 0);
  kvpxmap_free(&picture);
  return true;
}
