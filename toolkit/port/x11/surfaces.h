// Surfaces of the x11 backend: large surfaces live in MIT-SHM segments that
// the X server reads directly, so showing them copies nothing on our side;
// the others are plain heap surfaces.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <atomic>

#include "toolkit/port/defaults.h"
#include "toolkit/port/surfaces.h"

namespace kivo::port::x11 {

class X11Surfaces : public Surfaces {
 public:
  explicit X11Surfaces(::Display* connection);
  Surface* create(int width, int height) override;
  void destroy(Surface* surface) override;

  // True if surfaces are placed in shared memory (the server offers MIT-SHM,
  // runs on this machine and uses our pixel layout).
  bool shared_memory() const { return shm_usable_; }

  // The shared-memory image of a surface, nullptr for a heap surface.
  static XImage* shm_image(const Surface& surface);

  // Fewer pixels than this are cheaper to send than to share; and the
  // system's segment table is finite, so only so many are used at once.
  static constexpr long kMinShmPixels = 4096;
  static constexpr int kMaxSegments = 256;

 private:
  struct Backing {
    XShmSegmentInfo info{};
    XImage* image = nullptr;
  };
  bool probe_shm();
  Surface* create_shm(int width, int height);

  ::Display* connection_;
  HeapSurfaces heap_;  // small surfaces, and all of them without MIT-SHM
  bool shm_usable_ = false;
  std::atomic<int> segments_{0};
};

}  // namespace kivo::port::x11
