#include "toolkit/port/x11/xdnd.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <cstdint>

namespace kivo::port::x11 {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decodes; false on a broken escape or an encoded NUL.
bool percent_decode(const std::string& in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out += in[i];
      continue;
    }
    if (i + 2 >= in.size()) return false;
    const int hi = hex_value(in[i + 1]), lo = hex_value(in[i + 2]);
    if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return false;
    out += char(hi * 16 + lo);
    i += 2;
  }
  return true;
}

bool starts_with_nocase(const std::string& s, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> files_from_uri_list(const std::string& text, const std::string& hostname) {
  std::vector<std::string> files;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!starts_with_nocase(line, "file:")) continue;
    std::string rest = line.substr(5);
    if (rest.compare(0, 2, "//") == 0) {
      // file://host/path: the host must be empty, localhost or this machine.
      const size_t slash = rest.find('/', 2);
      if (slash == std::string::npos) continue;
      const std::string host = rest.substr(2, slash - 2);
      if (!host.empty() && host != "localhost" && host != hostname) continue;
      rest = rest.substr(slash);
    }
    if (rest.empty() || rest[0] != '/') continue;
    const size_t query = rest.find_first_of("?#");
    if (query != std::string::npos) rest.resize(query);
    std::string path;
    if (!percent_decode(rest, path) || path.empty()) continue;
    files.push_back(path);
  }
  return files;
}

XdndTarget::XdndTarget(::Display* connection, const Atoms& atoms, DropHandler on_drop)
    : connection_(connection), atoms_(atoms), on_drop_(std::move(on_drop)) {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) hostname_ = name;
}

void XdndTarget::make_aware(::Window window) {
  const long version = kVersion;
  set_longs(connection_, window, atoms_.XdndAware, XA_ATOM, &version, 1);
}

void XdndTarget::forget(::Window window) {
  if (target_ == window) {
    source_ = target_ = None;
    waiting_for_data_ = false;
  }
}

void XdndTarget::send(::Window to, Atom type, long d1, long d2, long d3, long d4) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = to;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(target_);
  event.xclient.data.l[1] = d1;
  event.xclient.data.l[2] = d2;
  event.xclient.data.l[3] = d3;
  event.xclient.data.l[4] = d4;
  XSendEvent(connection_, to, False, NoEventMask, &event);
  XFlush(connection_);
}

void XdndTarget::finish(bool success) {
  if (source_ != None)
    send(source_, atoms_.XdndFinished, success ? 1 : 0, success ? long(atoms_.XdndActionCopy) : 0, 0, 0);
  source_ = None;
  waiting_for_data_ = false;
}

bool XdndTarget::handle(const XEvent& event) {
  if (event.type == SelectionNotify) {
    if (!waiting_for_data_ || event.xselection.requestor != target_ ||
        event.xselection.selection != atoms_.XdndSelection)
      return false;
    std::vector<std::string> files;
    if (event.xselection.property != None) {
      std::string text;
      Atom type = None;
      // Large transfers (INCR) are not taken: a list of files is small.
      if (get_bytes(connection_, target_, event.xselection.property, text, &type, kMaxListBytes) &&
          type != atoms_.INCR)
        files = files_from_uri_list(text, hostname_);
      XDeleteProperty(connection_, target_, event.xselection.property);
    }
    const ::Window window = target_;
    const int x = root_x_, y = root_y_;
    finish(!files.empty());
    if (!files.empty()) on_drop_(window, x, y, std::move(files));
    return true;
  }
  if (event.type != ClientMessage || event.xclient.format != 32) return false;
  const Atom type = event.xclient.message_type;
  const long* l = event.xclient.data.l;
  if (type == atoms_.XdndEnter) {
    source_ = ::Window(l[0]);
    target_ = event.xclient.window;
    version_ = (unsigned long)l[1] >> 24;
    has_uri_list_ = false;
    waiting_for_data_ = false;
    if (l[1] & 1) {
      std::vector<Atom> types;
      get_atoms(connection_, source_, atoms_.XdndTypeList, types);
      for (Atom t : types) has_uri_list_ = has_uri_list_ || t == atoms_.TEXT_URI_LIST;
    } else {
      for (int i = 2; i < 5; ++i) has_uri_list_ = has_uri_list_ || Atom(l[i]) == atoms_.TEXT_URI_LIST;
    }
    return true;
  }
  if (type == atoms_.XdndPosition) {
    if (::Window(l[0]) != source_) return true;
    target_ = event.xclient.window;
    root_x_ = int(int16_t((unsigned long)l[2] >> 16 & 0xFFFF));
    root_y_ = int(int16_t((unsigned long)l[2] & 0xFFFF));
    send(source_, atoms_.XdndStatus, has_uri_list_ ? 1 : 0, 0, 0,
         has_uri_list_ ? long(atoms_.XdndActionCopy) : 0);
    return true;
  }
  if (type == atoms_.XdndLeave) {
    if (::Window(l[0]) == source_) source_ = None;
    return true;
  }
  if (type == atoms_.XdndDrop) {
    if (::Window(l[0]) != source_) return true;
    target_ = event.xclient.window;
    if (!has_uri_list_) {
      finish(false);
      return true;
    }
    const Time time = version_ >= 1 ? Time(l[2]) : CurrentTime;
    XDeleteProperty(connection_, target_, atoms_.KIVO_DROP);
    XConvertSelection(connection_, atoms_.XdndSelection, atoms_.TEXT_URI_LIST, atoms_.KIVO_DROP, target_, time);
    XFlush(connection_);
    waiting_for_data_ = true;
    return true;
  }
  return false;
}

}  // namespace kivo::port::x11
