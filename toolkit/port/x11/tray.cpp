#include "toolkit/port/x11/tray.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolkit/port/x11/pixels.h"
#include "toolkit/port/x11/xerrors.h"

namespace kivo::port::x11 {
namespace {

constexpr long kRequestDock = 0;    // SYSTEM_TRAY_REQUEST_DOCK
constexpr long kXembedMapped = 1;   // _XEMBED_INFO flag: the embedder shows us
constexpr int kDefaultSize = 22;

}  // namespace

X11Tray::X11Tray(X11Display& display, X11Windows& windows)
    : display_(display), windows_(windows), dpy_(display.connection()), atoms_(display.atoms()) {
  selection_ = intern(dpy_, "_NET_SYSTEM_TRAY_S" + std::to_string(display.screen()));
  gc_ = XCreateGC(dpy_, display_.root(), 0, nullptr);
  filter_id_ = display_.add_event_filter([this](XEvent& e) { return on_event(e); });
}

X11Tray::~X11Tray() {
  display_.remove_event_filter(filter_id_);
  for (auto& [owner, icon] : icons_)
    if (icon.window != None) XDestroyWindow(dpy_, icon.window);
  if (gc_) XFreeGC(dpy_, gc_);
  XFlush(dpy_);
}

::Window X11Tray::manager() { return XGetSelectionOwner(dpy_, selection_); }

bool X11Tray::available() { return manager() != None; }

bool X11Tray::create_window(Icon& icon) {
  const ::Window tray = manager();
  XSetWindowAttributes attributes{};
  attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask;
  unsigned long mask = CWEventMask;
  // The tray's background shows through transparent pixels when the tray
  // has our depth; otherwise a plain background.
  XWindowAttributes tray_attributes{};
  {
    ErrorTrap trap(dpy_);
    XGetWindowAttributes(dpy_, tray, &tray_attributes);
  }
  if (tray_attributes.depth == DefaultDepth(dpy_, display_.screen())) {
    attributes.background_pixmap = ParentRelative;
    mask |= CWBackPixmap;
  } else {
    attributes.background_pixel = BlackPixel(dpy_, display_.screen());
    mask |= CWBackPixel;
  }
  icon.window = XCreateWindow(dpy_, display_.root(), 0, 0, kDefaultSize, kDefaultSize, 0, CopyFromParent,
                              InputOutput, CopyFromParent, mask, &attributes);
  if (icon.window == None) return false;
  const long info[2] = {0, kXembedMapped};
  set_longs(dpy_, icon.window, atoms_._XEMBED_INFO, atoms_._XEMBED_INFO, info, 2);
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PMinSize | PBaseSize;
    hints->min_width = hints->min_height = 16;
    hints->base_width = hints->base_height = kDefaultSize;
    XSetWMNormalHints(dpy_, icon.window, hints);
    XFree(hints);
  }
  return true;
}

void X11Tray::dock(Icon& icon) {
  const ::Window tray = manager();
  if (tray == None || icon.window == None) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = tray;
  event.xclient.message_type = atoms_._NET_SYSTEM_TRAY_OPCODE;
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(windows_.last_input_time());
  event.xclient.data.l[1] = kRequestDock;
  event.xclient.data.l[2] = long(icon.window);
  ErrorTrap trap(dpy_);
  XSendEvent(dpy_, tray, False, NoEventMask, &event);
}

bool X11Tray::add(WindowId window, const uint32_t* pixels, int width, int height, const std::string& utf8_tip) {
  if (!windows_.is_ours(window) || !pixels || width <= 0 || height <= 0 || width > 256 || height > 256) return false;
  if (!available()) return false;
  Icon& icon = icons_[window];
  icon.owner = window;
  icon.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
  icon.width = width;
  icon.height = height;
  icon.tip = utf8_tip;
  if (icon.window == None && !create_window(icon)) {
    icons_.erase(window);
    return false;
  }
  // The tip is the icon window's name, which trays show on hovering.
  const std::string latin1 = utf8_to_latin1(utf8_tip);
  XChangeProperty(dpy_, icon.window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()), int(latin1.size()));
  set_utf8(dpy_, icon.window, atoms_._NET_WM_NAME, atoms_, utf8_tip);
  if (icon.docked)
    paint(icon);
  else
    dock(icon);
  XFlush(dpy_);
  return true;
}

void X11Tray::remove(WindowId window) {
  auto it = icons_.find(window);
  if (it == icons_.end()) return;
  // Destroying the embedded window takes the icon out of the tray (a tray
  // that went away may have destroyed it already).
  if (it->second.window != None) {
    ErrorTrap trap(dpy_);
    XDestroyWindow(dpy_, it->second.window);
  }
  icons_.erase(it);
}

X11Tray::Icon* X11Tray::by_window(::Window window) {
  for (auto& [owner, icon] : icons_)
    if (icon.window == window) return &icon;
  return nullptr;
}

void X11Tray::paint(Icon& icon) {
  XWindowAttributes attributes{};
  {
    ErrorTrap trap(dpy_);
    if (!XGetWindowAttributes(dpy_, icon.window, &attributes) || trap.failed()) return;
  }
  const int side = std::max(1, std::min(attributes.width, attributes.height));
  // Nearest-neighbour scaling into a square, centred in the window.
  const int size = std::min(side, 256);
  std::vector<uint32_t> scaled(size_t(size) * size_t(size));
  std::vector<unsigned char> mask(size_t((size + 7) / 8) * size_t(size), 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const uint32_t p = icon.pixels[size_t(y * icon.height / size) * size_t(icon.width) + size_t(x * icon.width / size)];
      scaled[size_t(y) * size_t(size) + size_t(x)] = p & 0xFFFFFF;
      if (p & 0xFFFFFF) mask[size_t(y) * size_t((size + 7) / 8) + size_t(x / 8)] |= static_cast<unsigned char>(1u << (x % 8));
    }
  }
  const int screen = display_.screen();
  XImage* image = XCreateImage(dpy_, DefaultVisual(dpy_, screen), unsigned(DefaultDepth(dpy_, screen)), ZPixmap, 0,
                               nullptr, unsigned(size), unsigned(size), 32, 0);
  if (!image) return;
  image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * size_t(size)));
  if (!image->data) {
    XDestroyImage(image);
    return;
  }
  pixels_to_image(scaled.data(), size, size, size, image);
  const Pixmap clip = XCreateBitmapFromData(dpy_, icon.window, reinterpret_cast<const char*>(mask.data()),
                                            unsigned(size), unsigned(size));
  const int ox = (attributes.width - size) / 2, oy = (attributes.height - size) / 2;
  XSetClipMask(dpy_, gc_, clip);
  XSetClipOrigin(dpy_, gc_, ox, oy);
  XClearWindow(dpy_, icon.window);
  XPutImage(dpy_, icon.window, gc_, image, 0, 0, ox, oy, unsigned(size), unsigned(size));
  XSetClipMask(dpy_, gc_, None);
  XFreePixmap(dpy_, clip);
  XDestroyImage(image);
  XFlush(dpy_);
}

bool X11Tray::on_event(XEvent& event) {
  // A tray that starts later announces itself; waiting icons dock then.
  if (event.type == ClientMessage && event.xclient.window == display_.root() &&
      event.xclient.message_type == atoms_.MANAGER && Atom(event.xclient.data.l[1]) == selection_) {
    for (auto& [owner, icon] : icons_) {
      if (icon.docked) continue;
      if (icon.window == None && !create_window(icon)) continue;
      dock(icon);
    }
    XFlush(dpy_);
    return false;
  }
  Icon* icon = by_window(event.xany.window);
  if (!icon) return false;
  switch (event.type) {
    case ReparentNotify:
      // Into the tray: docked. Back to the root window: the tray went away.
      icon->docked = event.xreparent.parent != display_.root();
      if (!icon->docked) XUnmapWindow(dpy_, icon->window);
      return true;
    case DestroyNotify:
      icon->window = None;
      icon->docked = false;
      return true;
    case Expose:
      if (event.xexpose.count == 0) paint(*icon);
      return true;
    case ConfigureNotify:
    case MapNotify:
      paint(*icon);
      return true;
    case ButtonRelease:
      if (event.xbutton.button == 1 || event.xbutton.button == 3) {
        WindowEvent e;
        e.type = WindowEvent::TrayClick;
        e.button = int(event.xbutton.button);
        e.x = event.xbutton.x_root;
        e.y = event.xbutton.y_root;
        windows_.deliver(icon->owner, e);
      }
      return true;
    default:
      return true;
  }
}

}  // namespace kivo::port::x11
