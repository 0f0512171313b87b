// PNG encoding without compression: 8-bit RGB, one IDAT chunk holding a zlib
// stream of stored deflate blocks. Self-contained (pixels in, bytes out) so
// that screenshots of any backend can be saved with it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivo::png {

// Size of the block buffer: rows are gathered until the next one does not
// fit, then written as one stored deflate block.
constexpr size_t kBlockSize = 32768;

// The standard CRC-32 (reflected polynomial 0xEDB88320) and Adler-32.
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// Encodes width x height 0x00RRGGBB pixels (rows `stride` pixels apart).
// Empty result for a size that is not positive.
std::vector<uint8_t> encode(const uint32_t* pixels, int width, int height, int stride);

}  // namespace kivo::png
