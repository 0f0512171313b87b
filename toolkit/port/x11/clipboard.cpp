#include "toolkit/port/x11/clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>
#include <cstring>

#include "toolkit/port/x11/atoms.h"

namespace kivo::port::x11 {
namespace {

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

X11Clipboard::X11Clipboard(X11Display& display) : display_(display), dpy_(display.connection()) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = PropertyChangeMask;
  window_ = XCreateWindow(dpy_, display.root(), -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                          CWOverrideRedirect | CWEventMask, &attributes);
  clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
  utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
  targets_ = XInternAtom(dpy_, "TARGETS", False);
  text_atom_ = XInternAtom(dpy_, "TEXT", False);
  string_ = XA_STRING;
  incr_ = XInternAtom(dpy_, "INCR", False);
  property_ = XInternAtom(dpy_, "KIVO_CLIPBOARD", False);
  timestamp_ = XInternAtom(dpy_, "TIMESTAMP", False);
  multiple_ = XInternAtom(dpy_, "MULTIPLE", False);
  filter_ = display_.add_event_filter([this](XEvent& event) { return on_event(event); });
}

X11Clipboard::~X11Clipboard() {
  display_.remove_event_filter(filter_);
  if (window_) XDestroyWindow(dpy_, window_);
  XFlush(dpy_);
}

bool X11Clipboard::on_event(XEvent& event) {
  switch (event.type) {
    case SelectionRequest:
      if (event.xselectionrequest.owner != window_) return false;
      answer(event.xselectionrequest);
      return true;
    case SelectionClear:
      if (event.xselectionclear.window != window_) return false;
      if (event.xselectionclear.selection == clipboard_) {
        owner_ = false;
        text_.clear();
      }
      return true;
    default:
      return event.xany.window == window_;  // nothing else of our window concerns others
  }
}

void X11Clipboard::answer(const XSelectionRequestEvent& request) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = dpy_;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = None;
  // Obsolete clients name no property: the target is used instead.
  Atom property = request.property == None ? request.target : request.property;
  if (owner_ && request.selection == clipboard_ && convert(request.target, property, request.requestor))
    reply.xselection.property = property;
  XSendEvent(dpy_, request.requestor, False, NoEventMask, &reply);
  XFlush(dpy_);
}

bool X11Clipboard::convert(Atom target, Atom property, Window requestor) {
  if (target == targets_) {
    Atom list[] = {targets_, timestamp_, utf8_, text_atom_, string_};
    XChangeProperty(dpy_, requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(list), int(sizeof list / sizeof list[0]));
    return true;
  }
  if (target == timestamp_) {
    long stamp = long(owned_since_);
    XChangeProperty(dpy_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&stamp), 1);
    return true;
  }
  std::string data;
  Atom type;
  if (target == utf8_ || target == text_atom_) {
    data = text_;
    type = utf8_;
  } else if (target == string_) {
    data = utf8_to_latin1(text_);
    type = string_;
  } else {
    return false;  // MULTIPLE and other targets are refused
  }
  // One request must carry the whole text (no INCR when serving).
  long units = XExtendedMaxRequestSize(dpy_);
  if (units == 0) units = XMaxRequestSize(dpy_);
  if (data.size() + 256 > size_t(units) * 4) return false;
  XChangeProperty(dpy_, requestor, property, type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
  return true;
}

bool X11Clipboard::set_text(const std::string& utf8) {
  // A server time stamp for the ownership: a zero-length change of a
  // property of our window reports the server's time.
  XChangeProperty(dpy_, window_, property_, utf8_, 8, PropModeAppend, nullptr, 0);
  XFlush(dpy_);
  XEvent event;
  Time stamp = CurrentTime;
  int64_t deadline = now_ms() + kReadTimeoutMs;
  while (stamp == CurrentTime && wait_for(PropertyNotify, event, int(deadline - now_ms())))
    if (event.xproperty.atom == property_) stamp = event.xproperty.time;
  text_ = utf8;
  XSetSelectionOwner(dpy_, clipboard_, window_, stamp);
  owner_ = XGetSelectionOwner(dpy_, clipboard_) == window_;
  owned_since_ = stamp;
  if (!owner_) text_.clear();
  XFlush(dpy_);
  return owner_;
}

bool X11Clipboard::wait_for(int type, XEvent& event, int timeout_ms) {
  int64_t deadline = now_ms() + (timeout_ms > 0 ? timeout_ms : 0);
  for (;;) {
    if (XCheckTypedWindowEvent(dpy_, window_, type, &event)) return true;
    int64_t left = deadline - now_ms();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    poll(&fd, 1, int(left < 10 ? left : 10));
  }
}

bool X11Clipboard::read_property(Atom property, std::string& data, Atom& type, bool remove) {
  data.clear();
  type = None;
  long offset = 0;
  for (;;) {
    Atom actual_type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* bytes = nullptr;
    if (XGetWindowProperty(dpy_, window_, property, offset, 65536, False, AnyPropertyType, &actual_type, &format,
                           &items, &after, &bytes) != Success) {
      return false;
    }
    type = actual_type;
    size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
    if (bytes && items) {
      if (format == 8) {
        if (data.size() + items > kReadMax) {
          XFree(bytes);
          return false;
        }
        data.append(reinterpret_cast<char*>(bytes), items);
      } else {
        data.append(reinterpret_cast<char*>(bytes), items * unit);  // not text; kept for INCR's size
      }
    }
    if (bytes) XFree(bytes);
    if (actual_type == None || after == 0) break;
    offset += long(items * (format == 32 ? 4 : size_t(format / 8)) / 4);
  }
  if (remove) XDeleteProperty(dpy_, window_, property);
  XFlush(dpy_);
  return true;
}

bool X11Clipboard::read_incr(std::string& data) {
  // The owner sends the text in pieces: each piece appears as a new value
  // of the property, which we delete to ask for the next; an empty piece
  // ends the transfer.
  data.clear();
  for (;;) {
    XEvent event;
    bool got = false;
    while (!got) {
      if (!wait_for(PropertyNotify, event, kReadTimeoutMs)) return false;
      got = event.xproperty.atom == property_ && event.xproperty.state == PropertyNewValue;
    }
    std::string piece;
    Atom type;
    if (!read_property(property_, piece, type, true)) return false;
    if (piece.empty()) return true;
    if (data.size() + piece.size() > kReadMax) return false;
    data += piece;
  }
}

bool X11Clipboard::get_text(std::string& utf8) {
  if (owner_) {
    utf8 = text_;
    return true;
  }
  if (XGetSelectionOwner(dpy_, clipboard_) == None) return false;
  for (Atom target : {utf8_, string_}) {
    XDeleteProperty(dpy_, window_, property_);
    XConvertSelection(dpy_, clipboard_, target, property_, window_, CurrentTime);
    XFlush(dpy_);
    XEvent event;
    bool answered = false;
    while (!answered) {
      if (!wait_for(SelectionNotify, event, kReadTimeoutMs)) return false;
      answered = event.xselection.selection == clipboard_;
    }
    if (event.xselection.property == None) continue;  // that target is refused: try the next
    std::string data;
    Atom type;
    if (!read_property(property_, data, type, true)) return false;
    if (type == incr_ && !read_incr(data)) return false;
    utf8 = target == string_ ? latin1_to_utf8(data) : data;
    return true;
  }
  return false;
}

}  // namespace kivo::port::x11
