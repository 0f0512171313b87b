// Showing a surface in a window: straight from the shared-memory segment
// when the surface has one, otherwise through the connection.
#include <algorithm>
#include <cstdlib>

#include "toolkit/port/x11/pixels.h"
#include "toolkit/port/x11/surfaces.h"
#include "toolkit/port/x11/windows.h"

namespace kivo::port::x11 {

void X11Windows::present(WindowId window, const Surface& surface, int src_x, int src_y, int width, int height,
                         int dst_x, int dst_y, bool wait) {
  if (!surface.pixels || surface.width <= 0 || surface.height <= 0 || surface.stride < surface.width) return;
  // Clip to the surface and to the window's top-left corner.
  if (src_x < 0) dst_x -= src_x, width += src_x, src_x = 0;
  if (src_y < 0) dst_y -= src_y, height += src_y, src_y = 0;
  if (dst_x < 0) src_x -= dst_x, width += dst_x, dst_x = 0;
  if (dst_y < 0) src_y -= dst_y, height += dst_y, dst_y = 0;
  width = std::min(width, surface.width - src_x);
  height = std::min(height, surface.height - src_y);
  if (width <= 0 || height <= 0) return;

  // Held while the window is drawn to, so that destroy() cannot remove it
  // in between (this may run on the frame clock's thread).
  std::lock_guard lock(mutex_);
  if (windows_.find(::Window(window)) == windows_.end()) return;
  const ::Window id = ::Window(window);
  const int screen = display_.screen();
  Visual* visual = DefaultVisual(dpy_, screen);
  const int depth = DefaultDepth(dpy_, screen);
  if (XImage* shm = X11Surfaces::shm_image(surface)) {
    XShmPutImage(dpy_, id, gc_, shm, src_x, src_y, dst_x, dst_y, unsigned(width), unsigned(height), False);
  } else if (is_native_visual(dpy_, visual, depth)) {
    // The surface's memory as an image; Xlib sends the rectangle from it.
    XImage* image = XCreateImage(dpy_, visual, unsigned(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(surface.pixels), unsigned(surface.width),
                                 unsigned(surface.height), 32, surface.stride * 4);
    if (!image) return;
    XPutImage(dpy_, id, gc_, image, src_x, src_y, dst_x, dst_y, unsigned(width), unsigned(height));
    image->data = nullptr;
    XDestroyImage(image);
  } else {
    // Another pixel layout (16-bit screens and the like): convert first.
    XImage* image = XCreateImage(dpy_, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(width),
                                 unsigned(height), 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * size_t(height)));
    if (!image->data) {
      XDestroyImage(image);
      return;
    }
    pixels_to_image(surface.pixels + size_t(src_y) * size_t(surface.stride) + size_t(src_x), surface.stride, width,
                    height, image);
    XPutImage(dpy_, id, gc_, image, 0, 0, dst_x, dst_y, unsigned(width), unsigned(height));
    XDestroyImage(image);
  }
  // A round trip: when it returns the server has read every pixel.
  if (wait) XSync(dpy_, False);
}

}  // namespace kivo::port::x11
