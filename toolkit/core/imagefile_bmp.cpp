// 24-bit BMP files: reading, writing and the size query.

#include "toolkit/core/imagefile_internal.h"
#include "toolkit/core/pxmap_internal.h"

namespace kivo::imagefile {
namespace {

unsigned u16(const std::vector<uint8_t>& f, size_t at) { return f[at] | unsigned(f[at + 1]) << 8; }
uint32_t u32(const std::vector<uint8_t>& f, size_t at) {
  return u16(f, at) | uint32_t(u16(f, at + 2)) << 16;
}
void put16(std::vector<uint8_t>& o, size_t at, unsigned v) {
  o[at] = uint8_t(v);
  o[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& o, size_t at, uint32_t v) {
  put16(o, at, v & 0xFFFF);
  put16(o, at + 2, v >> 16);
}

}  // namespace

bool size_bmp(const std::vector<uint8_t>& file, int& w, int& h) {
  if (file.size() < 26) return false;
  w = int(u16(file, 18));
  h = int(u16(file, 22));
  return true;
}

bool decode_bmp(const std::vector<uint8_t>& file, kvpxmap* out) {
  int w, h;
  if (file.size() < 54 || !size_bmp(file, w, h) || !dimensions_allowed(w, h)) return false;
  // Only uncompressed 24-bit pictures are understood; others would read as noise.
  if (u16(file, 28) != 24 || u32(file, 30) != 0) return false;
  size_t row = (3 * size_t(w) + 3) & ~size_t(3);
  if (file.size() - 54 < row * size_t(h)) return false;
  out->width = w;
  out->height = h;
  out->format = KVPX_TRUECOLOR;
  if (!kvpxmap_allocate(out)) return false;
  auto* px = static_cast<uint32_t*>(out->data);
  // Rows are found from the end of the file, bottom row last.
  for (int r = 0; r < h; ++r) {
    const uint8_t* s = file.data() + file.size() - size_t(r + 1) * row;
    uint32_t* d = px + size_t(r) * size_t(w);
    for (int x = 0; x < w; ++x, s += 3) d[x] = uint32_t(s[2]) << 16 | uint32_t(s[1]) << 8 | s[0];
  }
  return true;
}

std::vector<uint8_t> encode_bmp(const kvpxmap* p) {
  size_t w = size_t(p->width), h = size_t(p->height);
  size_t pad = w % 4;
  std::vector<uint8_t> o(54 + (3 * w + pad) * h, 0);
  o[0] = 'B';
  o[1] = 'M';
  // The real file size: readers such as ImageMagick refuse files whose
  // header claims less than they hold.
  put32(o, 2, uint32_t(o.size()));
  put32(o, 10, 54);
  put32(o, 14, 40);
  put32(o, 18, uint32_t(w));
  put32(o, 22, uint32_t(h));
  put16(o, 26, 1);
  put16(o, 28, 24);
  const auto* px = static_cast<const uint32_t*>(p->data);
  uint8_t* d = o.data() + 54;
  for (size_t r = h; r-- > 0;) {
    const uint32_t* s = px + r * w;
    for (size_t x = 0; x < w; ++x) {
      *d++ = uint8_t(s[x]);
      *d++ = uint8_t(s[x] >> 8);
      *d++ = uint8_t(s[x] >> 16);
    }
    d += pad;
  }
  return o;
}

}  // namespace kivo::imagefile

using namespace kivo::imagefile;

bool kvpxmap_loadfromfile_bmp(kvpxmap* p, const char* name, const char* const* tokens, int x, int y,
                              int w, int h) {
  kvpxmap picture;
  if (!read_picture(name, decode_bmp, &picture)) return false;
  int colour;
  if (transparent_colour(tokens, colour)) kvpxmap_settranscolor(&picture, colour);
  return place_truecolor(p, &picture, x, y, w, h, tokens, "bmp", true, true);
}
