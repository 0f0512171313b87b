// The greyed rendition of a picture, used for disabled buttons: dark parts
// become dark grey with a white shadow down and to the right, everything
// else becomes transparent.
#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"

using namespace kivo::pxmap;

void kvpxmap_greyed(kvpxmap* p) {
  if (!kvpxmap_convert2palette8(p, -1) || !p->data || !p->palette) return;
  const int w = p->width, h = p->height;
  const uint32_t transparent = p->palette[255];
  kvpxmap out;
  out.width = w + 1;
  out.height = h + 1;
  out.format = KVPX_TRUECOLOR;
  if (!kvpxmap_allocate(&out)) {
    kvpxmap_free(&out);
    return;
  }
  kvpxmap_fillrect(&out, 0, h, w + 1, 1, int(transparent));
  kvpxmap_fillrect(&out, w, 0, 1, h + 1, int(transparent));
  const auto* in = static_cast<const uint8_t*>(p->data);
  auto* px = static_cast<uint32_t*>(out.data);
  const int ow = w + 1;
  constexpr uint32_t dark = 0x808080, white = 0xFFFFFF;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t index = in[y * w + x];
      uint32_t c = p->palette[index];
      uint32_t average = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
      px[y * ow + x] = index != 255 && average <= 128 ? dark : transparent;
    }
  // The source pixel at (x, y) is transparent when it did not turn dark.
  auto source_transparent = [&](int x, int y) {
    return x >= w || y >= h || px[y * ow + x] != dark;
  };
  for (int y = 0; y <= h - 2; ++y)
    for (int x = w - 1; x >= 1; --x)
      if (px[y * ow + x] == dark && (x == w - 1 || source_transparent(x + 1, y + 1)))
        px[(y + 1) * ow + x + 1] = white;
  for (int x = 0; x <= w - 2; ++x)
    for (int y = h - 1; y >= 1; --y)
      if (px[y * ow + x] == dark && (y == h - 1 || source_transparent(x + 1, y + 1)))
        px[(y + 1) * ow + x + 1] = white;
  out.palette[255] = transparent;
  adopt_storage(p, &out);
}
