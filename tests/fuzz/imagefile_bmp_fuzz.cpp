// Fuzzes the BMP reader and size query with arbitrary files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/core/imagefile_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  int w, h;
  kivo::imagefile::size_bmp(file, w, h);
  kvpxmap p;
  kivo::imagefile::decode_bmp(file, &p);
  kvpxmap_free(&p);
  return 0;
}
