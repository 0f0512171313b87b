// Binary PPM (P6) files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/core/imagefile_internal.h"

namespace kivo::imagefile {
namespace {

// The text of the line starting at `at` (without its line feed); moves `at`
// past it. False at the end of the file.
bool next_line(const std::vector<uint8_t>& f, size_t& at, std::string& line) {
  if (at >= f.size()) return false;
  line.clear();
  while (at < f.size() && f[at] != '\n') {
    if (line.size() < 256) line += char(f[at]);
    ++at;
  }
  if (at < f.size()) ++at;
  return true;
}

}  // namespace

bool size_ppm(const std::vector<uint8_t>& file, int& w, int& h, size_t* data_at) {
  size_t at = 0;
  std::string line;
  if (!next_line(file, at, line) || line.compare(0, 2, "P6") != 0) return false;
  do {
    if (!next_line(file, at, line)) return false;
  } while (!line.empty() && line[0] == '#');
  if (std::sscanf(line.c_str(), "%d %d", &w, &h) != 2) return false;
  if (!next_line(file, at, line)) return false;
  int maxval = std::atoi(line.c_str());
  if (maxval <= 0 || maxval > 255) return false;  // two-byte samples are not read
  if (data_at) *data_at = at;
  return true;
}

bool decode_ppm(const std::vector<uint8_t>& file, kvpxmap* out) {
  int w, h;
  size_t at;
  if (!size_ppm(file, w, h, &at) || !dimensions_allowed(w, h)) return false;
  size_t n = size_t(w) * size_t(h);
  if (file.size() - at < 3 * n) return false;
  out->width = w;
  out->height = h;
  out->format = KVPX_TRUECOLOR;
  if (!kvpxmap_allocate(out)) return false;
  auto* px = static_cast<uint32_t*>(out->data);
  const uint8_t* s = file.data() + at;
  for (size_t i = 0; i < n; ++i, s += 3) px[i] = uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
  return true;
}

std::vector<uint8_t> encode_ppm(const kvpxmap* p) {
  char header[64];
  int len = std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", p->width, p->height);
  size_t n = size_t(p->width) * size_t(p->height);
  std::vector<uint8_t> o(header, header + len);
  o.reserve(o.size() + 3 * n);
  const auto* px = static_cast<const uint32_t*>(p->data);
  for (size_t i = 0; i < n; ++i) {
    o.push_back(uint8_t(px[i] >> 16));
    o.push_back(uint8_t(px[i] >> 8));
    o.push_back(uint8_t(px[i]));
  }
  return o;
}

}  // namespace kivo::imagefile

using namespace kivo::imagefile;

bool kvpxmap_loadfromfile_ppm(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h) {
  kvpxmap picture;
  if (!read_picture(name, decode_ppm, &picture)) return false;
  return place_truecolor(p, &picture, x, y, w, h, tokens, "ppm", false, false);
}
