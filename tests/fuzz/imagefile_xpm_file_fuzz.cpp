// Fuzzes the XPM reader with arbitrary file text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/imagefile_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> text = kivo::imagefile::xpm_lines(std::vector<uint8_t>(data, data + size));
  std::vector<const char*> lines;
  for (const auto& l : text) lines.push_back(l.c_str());
  kvpxmap p;
  kvpxmap_createfrommem_xpm_n(&p, lines.data(), int(lines.size()));
  kvpxmap_free(&p);
  return 0;
}
