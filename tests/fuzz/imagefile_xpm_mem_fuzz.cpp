// Fuzzes the in-memory XPM reader: the input split at line feeds is the
// array of lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/imagefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> text(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') text.emplace_back();
    else text.back() += char(data[i]);
  }
  std::vector<const char*> lines;
  for (const auto& l : text) lines.push_back(l.c_str());
  kvpxmap p;
  kvpxmap_createfrommem_xpm_n(&p, lines.data(), int(lines.size()));
  kvpxmap_free(&p);
  return 0;
}
