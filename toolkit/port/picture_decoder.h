// Decoding compressed pictures (GIF, JPEG, PNG, WebP) into truecolor pixels.
// Formats the toolkit writes itself (BMP, PCX, PPM, XPM) are read by the
// toolkit's own code, not here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kivo::port {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;   // 0x00RRGGBB, row-major
  bool has_transparency = false;  // GIF transparent index (pixels set to `transparent`)
  uint32_t transparent = 0;
  std::string format;             // "gif", "jpeg", "png", "webp"
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // Largest width and height accepted; bigger pictures are refused.
  static constexpr int kMaxDimension = 16384;
  // Decodes the first frame. PNG alpha is composited onto black. Returns
  // false with a one-line reason for unknown, damaged or oversized data.
  virtual bool decode(const uint8_t* data, size_t size, DecodedPicture& out,
                      std::string& error) = 0;
};

}  // namespace kivo::port
