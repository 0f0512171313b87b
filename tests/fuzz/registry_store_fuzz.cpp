// The value store and autostart entries from arbitrary bytes: a damaged
// store or entry file must read, change and rewrite without crashing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "toolkit/port/posix/services.h"

namespace {

std::string g_home;

void put(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_home = (std::filesystem::temp_directory_path() / ("kivo-registry-fuzz-" + std::to_string(std::random_device{}())))
               .string();
  std::filesystem::create_directories(g_home + "/kivo");
  std::filesystem::create_directories(g_home + "/autostart");
  setenv("XDG_CONFIG_HOME", g_home.c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first part is the store, the rest an autostart entry.
  const size_t split = size ? data[0] % (size + 1) : 0;
  put(g_home + "/kivo/registry", data, split);
  put(g_home + "/autostart/Fuzz.desktop", data + split, size - split);

  auto registry = kivo::port::make_posix_registry();
  std::string value;
  registry->read("HKEY_CURRENT_USER\\Software\\Vabrel", "fontSpec", value);
  registry->read("HKEY_CURRENT_USER\\Software", "", value);
  registry->write("HKEY_CURRENT_USER\\Software\\Vabrel", "x", "a\tb\nc\\d");
  registry->read("HKEY_CURRENT_USER\\Software\\Vabrel", "x", value);
  if (value != "a\tb\nc\\d") std::abort();  // what was written reads back, whatever was around it
  registry->remove_value("HKEY_CURRENT_USER\\Software\\Vabrel", "x");
  registry->remove_key("HKEY_CURRENT_USER\\Software");
  std::string command;
  registry->read_autostart("Fuzz", command);
  return 0;
}
