// The desktop's scalable fonts, rasterised with hard edges.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::port {

// Largest character size (em height, cell height or width) a request may ask
// for; larger requests are refused.
constexpr int kSystemFontMaxPixels = 500;

struct SystemFontRequest {
  std::string face;     // family name as the user wrote it ("Arial", "Courier New")
  // > 0: cell height in pixels (ascent + descent of the face);
  // < 0: character height (the em size) in pixels, as points become pixels.
  int pixel_height = 0;
  int pixel_width = 0;  // average character width, 0 = the face's natural width
  bool bold = false;
  bool italic = false;
};

struct SystemFontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;        // ascent + descent
  int max_advance = 0;   // advance of the widest character
  int underline_position = 0;   // rows from the baseline down to the underline's top row
  int underline_thickness = 1;
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
  // font at all can be had or the size is out of range.
  virtual int open(const SystemFontRequest& request) = 0;
  virtual void close(int handle) = 0;
  virtual SystemFontMetrics metrics(int handle) = 0;
  // Renders the character; when the face lacks it, the desktop's fallback
  // face for that character is used. False if no face has a glyph for it.
  virtual bool glyph(int handle, char32_t character, SystemGlyph& out) = 0;
};

}  // namespace kivo::port
