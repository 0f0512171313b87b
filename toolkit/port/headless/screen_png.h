// Writes the virtual desktop's screen image as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::port::headless {

bool write_screen_png(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

}  // namespace kivo::port::headless
