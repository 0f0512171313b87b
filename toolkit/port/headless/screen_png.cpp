#include "toolkit/port/headless/screen_png.h"

#include <cstdio>

#include "toolkit/core/png_writer.h"

namespace kivo::port::headless {

bool write_screen_png(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
  if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) return false;
  const std::vector<uint8_t> bytes = kivo::png::encode(pixels.data(), width, height, width);
  if (bytes.empty()) return false;
  // Written under a temporary name, so that a reader never sees half a file.
  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace kivo::port::headless
