#include "toolkit/port/x11/pixels.h"

#include <bit>
#include <cstring>

namespace kivo::port::x11 {
namespace {

constexpr int host_byte_order() { return std::endian::native == std::endian::little ? LSBFirst : MSBFirst; }

// Moves an 8-bit channel into or out of a visual's mask.
struct Channel {
  int shift = 0;
  int bits = 0;
  explicit Channel(unsigned long mask) {
    if (!mask) return;
    shift = std::countr_zero(mask);
    bits = std::popcount(mask);
  }
  unsigned long put(uint32_t value8) const {
    if (bits <= 0) return 0;
    const unsigned long v = bits >= 8 ? (unsigned long)value8 << (bits - 8) : value8 >> (8 - bits);
    return v << shift;
  }
  uint32_t get(unsigned long pixel) const {
    if (bits <= 0) return 0;
    const unsigned long v = (pixel >> shift) & ((1ul << bits) - 1);
    if (bits >= 8) return uint32_t(v >> (bits - 8));
    // Spread the top bits into the low ones so full intensity stays 255.
    uint32_t out = uint32_t(v << (8 - bits));
    for (int filled = bits; filled < 8; filled += bits) out |= out >> bits;
    return out & 0xFF;
  }
};

}  // namespace

bool is_native_layout(const XImage* image) {
  return image && image->format == ZPixmap && image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 &&
         image->green_mask == 0xFF00 && image->blue_mask == 0xFF && image->byte_order == host_byte_order();
}

bool is_native_visual(::Display* connection, const Visual* visual, int depth) {
  if (!visual || (depth != 24 && depth != 32)) return false;
  if (visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) return false;
  if (ImageByteOrder(connection) != host_byte_order()) return false;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(connection, &count);
  bool ok = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) ok = formats[i].bits_per_pixel == 32;
  if (formats) XFree(formats);
  return ok;
}

void image_to_pixels(XImage* image, int sx, int sy, int w, int h, uint32_t* dst, int dst_stride) {
  if (is_native_layout(image)) {
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(image->data + size_t(sy + y) * size_t(image->bytes_per_line));
      uint32_t* out = dst + size_t(y) * size_t(dst_stride);
      for (int x = 0; x < w; ++x) out[x] = row[sx + x] & 0xFFFFFF;
    }
    return;
  }
  const Channel r(image->red_mask), g(image->green_mask), b(image->blue_mask);
  for (int y = 0; y < h; ++y) {
    uint32_t* out = dst + size_t(y) * size_t(dst_stride);
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, sx + x, sy + y);
      out[x] = r.get(p) << 16 | g.get(p) << 8 | b.get(p);
    }
  }
}

void pixels_to_image(const uint32_t* src, int src_stride, int w, int h, XImage* image) {
  if (is_native_layout(image)) {
    for (int y = 0; y < h; ++y)
      std::memcpy(image->data + size_t(y) * size_t(image->bytes_per_line), src + size_t(y) * size_t(src_stride),
                  size_t(w) * 4);
    return;
  }
  const Channel r(image->red_mask), g(image->green_mask), b(image->blue_mask);
  for (int y = 0; y < h; ++y) {
    const uint32_t* in = src + size_t(y) * size_t(src_stride);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = in[x];
      XPutPixel(image, x, y, r.put(p >> 16 & 0xFF) | g.put(p >> 8 & 0xFF) | b.put(p & 0xFF));
    }
  }
}

}  // namespace kivo::port::x11
