// The default palette and the palette operations of pixmaps.
#include <array>
#include <cstddef>

#include "toolkit/core/pxmap.h"

namespace {

// The sixteen named colours of configuration strings, in palette order:
// black, blue, green, cyan, red, magenta, brown, lightgrey, darkgrey,
// lightblue, lightgreen, lightcyan, lightred, lightmagenta, yellow, white.
constexpr uint32_t kNamedColours[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

constexpr std::array<uint32_t, 256> make_default_palette() {
  std::array<uint32_t, 256> p{};
  for (int i = 0; i < 16; ++i) p[i] = kNamedColours[i];
  constexpr uint32_t levels[4] = {0x00, 0x55, 0xAA, 0xFF};
  for (int r = 0; r < 4; ++r)
    for (int g = 0; g < 4; ++g)
      for (int b = 0; b < 4; ++b)
        p[16 + 16 * r + 4 * g + b] = (levels[r] << 16) | (levels[g] << 8) | levels[b];
  for (uint32_t k = 0; k < 128; ++k) p[80 + k] = (2 * k) * 0x010101u;
  for (uint32_t k = 0; k < 16; ++k) {
    p[208 + k] = 0x10 * k;
    p[224 + k] = (0x10 * k) << 8;
    p[240 + k] = (0x10 * k) << 16;
  }
  return p;
}

constexpr std::array<uint32_t, 256> kDefaultPalette = make_default_palette();

}  // namespace

const uint32_t* kvpxmap_default_palette() { return kDefaultPalette.data(); }

void kvpxmap_setpalette(kvpxmap* p, int index, int colour) {
  if (p->palette && index >= 0 && index < 256) p->palette[index] = uint32_t(colour);
}

void kvpxmap_settranscolor(kvpxmap* p, int colour) { kvpxmap_setpalette(p, 255, colour); }

void kvpxmap_resetpalette(kvpxmap* p) {
  if (!p->palette) return;
  for (int i = 0; i < 256; ++i) p->palette[i] = kDefaultPalette[size_t(i)];
}

int kvpxmap_palette_find(const kvpxmap* p, int colour) {
  if (!p->palette) return -1;
  for (int i = 0; i < 256; ++i)
    if (p->palette[i] == uint32_t(colour)) return i;
  return -1;
}

int kvpxmap_palette_add(kvpxmap* p, int colour) {
  if (!p->palette) return -1;
  int found = kvpxmap_palette_find(p, colour);
  if (found >= 0) return found;
  if (p->nextfreepal < 1 || p->nextfreepal > 254) p->nextfreepal = 254;
  int slot = p->nextfreepal;
  p->palette[slot] = uint32_t(colour);
  p->nextfreepal = slot == 1 ? 254 : slot - 1;
  return slot;
}
