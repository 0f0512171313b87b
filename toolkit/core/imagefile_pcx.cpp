// 24-bit PCX files with run-length coded planes (the glyph cache format).
#include <algorithm>

#include "toolkit/core/imagefile_internal.h"

namespace kivo::imagefile {
namespace {

unsigned u16(const std::vector<uint8_t>& f, size_t at) { return f[at] | unsigned(f[at + 1]) << 8; }

// Codes one plane line: runs of at most 63; a single byte below 192 goes
// alone; the run pending at the end of the line is always written as count
// and value.
void code_plane(std::vector<uint8_t>& o, const uint8_t* line, size_t n) {
  size_t i = 0;
  while (i < n) {
    uint8_t v = line[i];
    size_t run = 1;
    while (i + run < n && run < 63 && line[i + run] == v) ++run;
    bool last = i + run == n;
    if (run == 1 && v < 192 && !last) {
      o.push_back(v);
    } else {
      o.push_back(uint8_t(192 + run));
      o.push_back(v);
    }
    i += run;
  }
}

}  // namespace

bool size_pcx(const std::vector<uint8_t>& file, int& w, int& h) {
  if (file.size() < 12) return false;
  w = int(u16(file, 8)) + 1;
  h = int(u16(file, 10)) + 1;
  return true;
}

bool decode_pcx(const std::vector<uint8_t>& file, kvpxmap* out) {
  int w, h;
  if (file.size() < 128 || !size_pcx(file, w, h) || !dimensions_allowed(w, h)) return false;
  // Three planes of 8 bits; other layouts are not ours.
  if (file[3] != 8 || file[65] != 3) return false;
  // Plane lines are as long as the header says when that holds padding.
  size_t line = std::max<size_t>(size_t(w), u16(file, 66));
  size_t total = line * 3 * size_t(h);
  // Each two bytes of the file make at most 63 bytes: refuse files too short
  // for their header before allocating.
  if ((file.size() - 128) / 2 * 63 + 63 < total) return false;
  out->width = w;
  out->height = h;
  out->format = KVPX_TRUECOLOR;
  if (!kvpxmap_allocate(out)) return false;
  auto* px = static_cast<uint32_t*>(out->data);
  size_t row_bytes = 3 * line;
  size_t k = 0, at = 128;
  auto put = [&](uint8_t v) {
    size_t row = k / row_bytes, in_row = k % row_bytes;
    size_t plane = in_row / line, col = in_row % line;
    if (col < size_t(w)) {
      uint32_t& d = px[row * size_t(w) + col];
      d |= uint32_t(v) << (16 - 8 * plane);
    }
    ++k;
  };
  while (k < total && at < file.size()) {
    uint8_t b = file[at++];
    if (b >= 192) {
      if (at >= file.size()) break;
      uint8_t v = file[at++];
      // A run may reach past a line (other writers do that) but not past the picture.
      for (unsigned n = b & 63; n > 0 && k < total; --n) put(v);
    } else {
      put(b);
    }
  }
  return k == total;
}

std::vector<uint8_t> encode_pcx(const kvpxmap* p) {
  size_t w = size_t(p->width), h = size_t(p->height);
  std::vector<uint8_t> o(128, 0);
  o[0] = 10;
  o[1] = 5;
  o[2] = 1;
  o[3] = 8;
  auto put16 = [&](size_t at, unsigned v) {
    o[at] = uint8_t(v);
    o[at + 1] = uint8_t(v >> 8);
  };
  put16(8, unsigned(w - 1));
  put16(10, unsigned(h - 1));
  put16(12, 300);
  put16(14, 300);
  o[65] = 3;
  put16(66, unsigned(w));
  put16(68, 1);
  const auto* px = static_cast<const uint32_t*>(p->data);
  std::vector<uint8_t> line(w);
  for (size_t r = 0; r < h; ++r) {
    for (int shift : {16, 8, 0}) {
      for (size_t x = 0; x < w; ++x) line[x] = uint8_t(px[r * w + x] >> shift);
      code_plane(o, line.data(), w);
    }
  }
  return o;
}

}  // namespace kivo::imagefile

using namespace kivo::imagefile;

bool kvpxmap_loadfromfile_pcx(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h) {
  kvpxmap picture;
  if (!read_picture(name, decode_pcx, &picture)) return false;
  return place_truecolor(p, &picture, x, y, w, h, tokens, "pcx", true, false);
}
