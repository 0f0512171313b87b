// Font descriptions from untrusted text: parsing must refuse lying counts,
// widths and offsets without reading out of bounds, and a parsed font must
// measure and draw safely.
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/core/font.h"
#include "toolkit/core/font_internal.h"
#include "toolkit/core/pxmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  int id = kvfont_load_text(text.c_str(), "fuzzed");
  if (id != 0) {
    kvpxmap p;
    kvpxmap_init(&p);
    p.width = 64, p.height = 32, p.format = KVPX_TRUECOLOR;
    if (kvpxmap_allocate(&p)) {
      std::string all;
      for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
      kvfont_drawtext(&p, id, -3, 2, 0xFFFFFF, false, true, 0, 0, -1, all.c_str());
      kvfont_drawtext(&p, id, 0, 0, 0, true, false, -1, 30, 2, all.c_str(), 0x111111, 0x222222);
      kvfont_wraptext(&p, id, 0, 0, 50, 30, 0, all.c_str(), false);
      kvpxmap_free(&p);
    }
    kvfont_textwidth(id, text.c_str());
    kvfont_unload(id);
  }
  kivo::core::fonts_release();
  return 0;
}
