// Saving pixmap regions to files, and halving pictures.
#include <cstdarg>
#include <cstdio>

#include "toolkit/core/imagefile_internal.h"
#include "toolkit/core/png_writer.h"

using namespace kivo::imagefile;

namespace {

// A formatted text at the length limit may have been cut, and a cut file
// name would save to another file: refuse it.
bool text_was_cut(const std::string& text, const char* function) {
  if (text.size() < kvcfgstr_max_text) return false;
  std::printf("%s: file name too long\n", function);
  return true;
}

bool save_config(kvpxmap* p, const std::string& text) {
  if (text_was_cut(text, "kvpxmap_savetofile")) return false;
  Config c = parse_config(text);
  const std::string& name = c.file;
  int type = kvfiletype(name.c_str());
  if (type < KVFILE_PNG || type > KVFILE_PCX) {
    std::printf("kvpxmap_savetofile: unsupported format (%s)\n", name.c_str());
    return false;
  }
  const kvcfg_offsets& o = c.offsets;
  kvpxmap copy;
  if (!kvpxmap_duplicate(&copy, p, o.x, o.y, o.width, o.height)) {
    kvpxmap_free(&copy);
    return false;
  }
  bool ok;
  if (type == KVFILE_XPM) {
    ok = kvpxmap_savetofile_xpm(&copy, name.c_str());
  } else {
    ok = kvpxmap_convert2truecolor(&copy, -1);
    if (ok) {
      std::vector<uint8_t> bytes;
      switch (type) {
        case KVFILE_PNG:
          bytes = kivo::png::encode(static_cast<const uint32_t*>(copy.data), copy.width, copy.height, copy.width);
          break;
        case KVFILE_BMP: bytes = encode_bmp(&copy); break;
        case KVFILE_PPM: bytes = encode_ppm(&copy); break;
        case KVFILE_PCX: bytes = encode_pcx(&copy); break;
      }
      ok = write_file(name.c_str(), bytes);
    }
  }
  kvpxmap_free(&copy);
  return ok;
}

}  // namespace

bool kvpxmap_savetofile(kvpxmap* p, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = kvcfgstr_vformat(format, args);
  va_end(args);
  return save_config(p, text);
}

bool kvpicture_halve(const char* source, const char* target_format, ...) {
  va_list args;
  va_start(args, target_format);
  std::string target = kvcfgstr_vformat(target_format, args);
  va_end(args);
  if (text_was_cut(target, "kvpicture_halve")) return false;
  int w = 0, h = 0;
  if (!kvgetpicturesizes(source, &w, &h) || !dimensions_allowed(w, h) || w < 2 || h < 2) return false;
  kvpxmap full;
  full.width = w;
  full.height = h;
  full.format = KVPX_TRUECOLOR;
  kvpxmap half;
  half.width = w / 2;
  half.height = h / 2;
  half.format = KVPX_TRUECOLOR;
  bool ok = kvpxmap_allocate(&full) && kvpxmap_allocate(&half);
  // The file name is handed over as a token of its own, commas and all.
  const char* const tokens[] = {source, nullptr};
  if (ok) {
    switch (kvfiletype(source)) {
      case KVFILE_BMP: ok = kvpxmap_loadfromfile_bmp(&full, source, tokens, 0, 0, -1, -1); break;
      case KVFILE_XPM: ok = kvpxmap_loadfromfile_xpm(&full, source, tokens, 0, 0, -1, -1); break;
      case KVFILE_PPM: ok = kvpxmap_loadfromfile_ppm(&full, source, tokens, 0, 0, -1, -1); break;
      case KVFILE_PCX: ok = kvpxmap_loadfromfile_pcx(&full, source, tokens, 0, 0, -1, -1); break;
      default: ok = false;
    }
  }
  if (ok) {
    const auto* in = static_cast<const uint32_t*>(full.data);
    auto* out = static_cast<uint32_t*>(half.data);
    for (int y = 0; y + 1 < h; y += 2)
      for (int x = 0; x + 1 < w; x += 2) {
        const uint32_t* a = in + size_t(y) * size_t(w) + size_t(x);
        const uint32_t* b = a + w;
        uint32_t c4 = 0;
        for (int shift : {16, 8, 0}) {
          uint32_t sum = ((a[0] >> shift) & 0xFF) + ((a[1] >> shift) & 0xFF) + ((b[0] >> shift) & 0xFF) +
                         ((b[1] >> shift) & 0xFF);
          c4 |= (sum / 4) << shift;
        }
        out[size_t(y / 2) * size_t(w / 2) + size_t(x / 2)] = c4;
      }
    ok = save_config(&half, target);
  }
  kvpxmap_free(&full);
  kvpxmap_free(&half);
  return ok;
}
