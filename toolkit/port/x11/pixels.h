// Conversions between 0x00RRGGBB surfaces and XImages of the server's format.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

namespace kivo::port::x11 {

// True if the image's pixels are exactly 32-bit 0x00RRGGBB words in this
// machine's byte order, so surface memory can be handed over unchanged.
bool is_native_layout(const XImage* image);
bool is_native_visual(::Display* connection, const Visual* visual, int depth);

// Copies w × h pixels of an image at (sx, sy) into dst (0x00RRGGBB).
void image_to_pixels(XImage* image, int sx, int sy, int w, int h, uint32_t* dst, int dst_stride);

// Writes w × h pixels (0x00RRGGBB) into the image at (0, 0); the image's
// masks say where red, green and blue go.
void pixels_to_image(const uint32_t* src, int src_stride, int w, int h, XImage* image);

}  // namespace kivo::port::x11
