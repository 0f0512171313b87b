// Writing XPM pictures.
#include <cstdio>
#include <filesystem>
#include <string>
#include <unordered_set>

#include "toolkit/core/imagefile_internal.h"

namespace {

constexpr char kKeys[] =
    " .+@*-()[]!#$%&'_/:;<>=?,{}0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ|^";
static_assert(sizeof kKeys - 1 == 91);

std::string key(int n, int cpp) {
  if (cpp == 1) return std::string(1, kKeys[n]);
  return std::string{kKeys[n / 90], kKeys[n % 90]};
}

// The picture's name in the file: file name without folder and extension,
// dots turned into underscores.
std::string xpm_name(const char* file) {
  std::string stem = std::filesystem::path(file).stem().string();
  for (char& c : stem)
    if (c == '.') c = '_';
  return stem;
}

}  // namespace

bool kvpxmap_savetofile_xpm(kvpxmap* p, const char* name) {
  if (p->format != KVPX_PALETTE8 && p->format != KVPX_TRUECOLOR) {
    std::printf("kvpxmap_savetofile_xpm: unsupported format %d\n", int(p->format));
    return false;
  }
  if (!p->data || !p->palette) return false;
  if (p->format == KVPX_TRUECOLOR) {
    auto* px = static_cast<uint32_t*>(p->data);
    size_t n = size_t(p->width) * size_t(p->height);
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i < n && seen.size() < 256; ++i) seen.insert(px[i]);
    if (seen.size() >= 256) {
      std::printf("kvpxmap_savetofile_xpm warning: too many colors in truecolor-pixmap, reducing to 64\n");
      for (size_t i = 0; i < n; ++i) px[i] &= 0xC0C0C0;
    }
    if (!kvpxmap_convert2palette8(p, -1)) return false;
  }
  const auto* px = static_cast<const uint8_t*>(p->data);
  size_t n = size_t(p->width) * size_t(p->height);
  int colours = 0;  // highest index used (but 255) plus one
  for (size_t i = 0; i < n; ++i)
    if (px[i] != 255 && px[i] + 1 > colours) colours = px[i] + 1;
  int cpp = colours <= 90 ? 1 : 2;
  if (colours / 90 >= 91) {
    std::printf("xpm save: too many colors !\n");
    return false;
  }
  std::string out = "/* XPM */\nstatic char * " + xpm_name(name) + "[] = {\n";
  char line[64];
  std::snprintf(line, sizeof line, "\"%d %d %d %d\",\n", p->width, p->height, colours + 1, cpp);
  out += line;
  // The transparent key has the width of every other key.
  out += '"';
  out += key(0, cpp);
  out += "\tc None\",\n";
  for (int i = 0; i < colours; ++i) {
    std::snprintf(line, sizeof line, "\tc #%06X\",\n", unsigned(p->palette[i] & 0xFFFFFF));
    out += '"';
    out += key(i + 1, cpp);
    out += line;
  }
  std::string keys[256];
  for (int i = 0; i < 256; ++i) keys[i] = i == 255 ? key(0, cpp) : i < colours ? key(i + 1, cpp) : "";
  for (int y = 0; y < p->height; ++y) {
    out += '"';
    for (int x = 0; x < p->width; ++x) out += keys[px[size_t(y) * size_t(p->width) + size_t(x)]];
    out += y + 1 < p->height ? "\",\n" : "\"};\n";
  }
  return kivo::imagefile::write_file(name, std::vector<uint8_t>(out.begin(), out.end()));
}
