// The desktop's scalable fonts, rasterised with hard edges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::port {

struct SystemFontRequest {
  std::string face;     // family name as the user wrote it ("Arial", "Courier New")
  int pixel_height = 0; // character height in pixels (cell height), > 0
  int pixel_width = 0;  // average character width, 0 = the face's natural width
  bool bold = false;
  bool italic = false;
};

struct SystemFontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;        // ascent + descent
  std::string resolved;  // the family and style actually used
};

// One glyph: a coverage mask of 0 or 1 per pixel, placed relative to the
// pen position on the baseline.
struct SystemGlyph {
  int width = 0, height = 0;
  int left = 0;          // ink offset from the pen position
  int top = 0;           // ink top above the baseline
  int advance = 0;       // pen advance in pixels
  std::vector<uint8_t> mask;
};

class SystemFonts {
 public:
  virtual ~SystemFonts() = default;
  // Opens the face that the desktop would use for the request; 0 when no
  // font at all can be had.
  virtual int open(const SystemFontRequest& request) = 0;
  virtual void close(int handle) = 0;
  virtual SystemFontMetrics metrics(int handle) = 0;
  // Renders the character; false if the face has no glyph for it.
  virtual bool glyph(int handle, char32_t character, SystemGlyph& out) = 0;
};

}  // namespace kivo::port
