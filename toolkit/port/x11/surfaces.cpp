#include "toolkit/port/x11/surfaces.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>
#include <new>

#include "toolkit/port/x11/pixels.h"
#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {

X11Surfaces::X11Surfaces(::Display* connection) : connection_(connection) { shm_usable_ = probe_shm(); }

// MIT-SHM works only with a server on this machine; attaching a small
// segment once tells.
bool X11Surfaces::probe_shm() {
  int major = 0, minor = 0;
  Bool pixmaps = False;
  if (!XShmQueryExtension(connection_) || !XShmQueryVersion(connection_, &major, &minor, &pixmaps)) return false;
  const int screen = DefaultScreen(connection_);
  if (!is_native_visual(connection_, DefaultVisual(connection_, screen), DefaultDepth(connection_, screen)))
    return false;
  Surface* trial = create_shm(16, 16);
  if (!trial) return false;
  destroy(trial);
  return true;
}

Surface* X11Surfaces::create_shm(int width, int height) {
  const int screen = DefaultScreen(connection_);
  auto* backing = new (std::nothrow) Backing;
  if (!backing) return nullptr;
  XImage* image = XShmCreateImage(connection_, DefaultVisual(connection_, screen),
                                  unsigned(DefaultDepth(connection_, screen)), ZPixmap, nullptr, &backing->info,
                                  unsigned(width), unsigned(height));
  if (!image || image->bytes_per_line != width * 4) {
    if (image) XDestroyImage(image);
    delete backing;
    return nullptr;
  }
  const size_t bytes = size_t(image->bytes_per_line) * size_t(height);
  backing->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (backing->info.shmid < 0) {
    XDestroyImage(image);
    delete backing;
    return nullptr;
  }
  void* address = shmat(backing->info.shmid, nullptr, 0);
  bool attached = false;
  if (address != reinterpret_cast<void*>(-1)) {
    backing->info.shmaddr = image->data = static_cast<char*>(address);
    backing->info.readOnly = True;
    ErrorTrap trap(connection_);
    attached = XShmAttach(connection_, &backing->info) && !trap.failed();
  }
  // Marked for removal at once: the segment goes away with its last user,
  // even if this process is killed.
  shmctl(backing->info.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (address != reinterpret_cast<void*>(-1)) shmdt(address);
    image->data = nullptr;
    XDestroyImage(image);
    delete backing;
    return nullptr;
  }
  backing->image = image;
  std::memset(address, 0, bytes);
  auto* surface = new (std::nothrow) Surface;
  if (!surface) {
    XShmDetach(connection_, &backing->info);
    shmdt(address);
    image->data = nullptr;
    XDestroyImage(image);
    delete backing;
    return nullptr;
  }
  surface->pixels = reinterpret_cast<uint32_t*>(address);
  surface->width = width;
  surface->height = height;
  surface->stride = width;
  surface->in_video_memory = false;
  surface->backend_data = reinterpret_cast<uintptr_t>(backing);
  ++segments_;
  return surface;
}

Surface* X11Surfaces::create(int width, int height) {
  if (!size_allowed(width, height)) return nullptr;
  if (shm_usable_ && long(width) * long(height) >= kMinShmPixels && segments_.load() < kMaxSegments) {
    if (Surface* surface = create_shm(width, height)) return surface;
  }
  return heap_.create(width, height);
}

void X11Surfaces::destroy(Surface* surface) {
  if (!surface) return;
  if (auto* backing = reinterpret_cast<Backing*>(surface->backend_data)) {
    // The server detaches after every request already sent that reads the
    // segment; our mapping can go at once.
    XShmDetach(connection_, &backing->info);
    XFlush(connection_);
    shmdt(backing->info.shmaddr);
    backing->image->data = nullptr;
    XDestroyImage(backing->image);
    delete backing;
    --segments_;
    delete surface;
  } else {
    heap_.destroy(surface);
  }
}

XImage* X11Surfaces::shm_image(const Surface& surface) {
  auto* backing = reinterpret_cast<const Backing*>(surface.backend_data);
  return backing ? backing->image : nullptr;
}

}  // namespace kivo::port::x11
