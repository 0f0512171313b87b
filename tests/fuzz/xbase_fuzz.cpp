// dBASE III tables from arbitrary bytes: open, read every field, write,
// append, close and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <random>
#include <string>

#include "toolkit/core/xbase.h"

namespace {

std::string g_path;

void read_all(kvXBase& t) {
  int records = std::min(t.records(), 64);
  int fields = std::min(t.fields(), 64) + 1;  // one past the last
  for (int r = -1; r <= records; ++r)
    for (int f = -1; f < fields; ++f) {
      t.read(r, f);
      t.readint(r, f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::random_device random;
  g_path = (std::filesystem::temp_directory_path() /
            ("xbase_fuzz_" + std::to_string(random()) + ".dbf"))
               .string();
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove(g_path, ec);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  {
    std::ofstream out(g_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  {
    kvXBase t;
    if (!t.open(g_path)) return 0;
    read_all(t);
    t.writetext(0, 0, "fuzz");
    t.writeint(t.records() % 4 + 1, t.fields() - 1, 12345);
    t.append();
    read_all(t);
    t.close();
  }
  kvXBase again;
  if (again.open(g_path)) read_all(again);
  return 0;
}
