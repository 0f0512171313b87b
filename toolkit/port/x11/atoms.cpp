#include "toolkit/port/x11/atoms.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace kivo::port::x11 {
namespace {

// Protocol names; a few of ours are spelled differently from the macro name.
const char* protocol_name(const char* macro_name) {
  std::string n = macro_name;
  if (n == "TEXT_URI_LIST") return "text/uri-list";
  return macro_name;
}

}  // namespace

Atoms::Atoms(::Display* connection) {
  const char* names[] = {
#define KIVO_X11_NAME(name) protocol_name(#name),
      KIVO_X11_ATOMS(KIVO_X11_NAME)
#undef KIVO_X11_NAME
  };
  Atom* slots[] = {
#define KIVO_X11_SLOT(name) &name,
      KIVO_X11_ATOMS(KIVO_X11_SLOT)
#undef KIVO_X11_SLOT
  };
  constexpr int count = int(sizeof names / sizeof names[0]);
  Atom values[count] = {};
  XInternAtoms(connection, const_cast<char**>(names), count, False, values);
  for (int i = 0; i < count; ++i) *slots[i] = values[i];
}

Atom intern(::Display* connection, const std::string& name) { return XInternAtom(connection, name.c_str(), False); }

bool get_longs(::Display* connection, ::Window window, Atom property, Atom type, std::vector<long>& out,
               long max_items) {
  out.clear();
  Atom actual = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(connection, window, property, 0, max_items, False, type, &actual, &format, &count,
                         &after, &data) != Success)
    return false;
  const bool ok = data && format == 32 && (type == AnyPropertyType || actual == type);
  if (ok) {
    const long* values = reinterpret_cast<const long*>(data);
    out.assign(values, values + count);
  }
  if (data) XFree(data);
  return ok;
}

bool get_atoms(::Display* connection, ::Window window, Atom property, std::vector<Atom>& out) {
  std::vector<long> values;
  out.clear();
  if (!get_longs(connection, window, property, XA_ATOM, values)) return false;
  for (long v : values) out.push_back(Atom(v));
  return true;
}

bool get_windows(::Display* connection, ::Window window, Atom property, std::vector<::Window>& out) {
  std::vector<long> values;
  out.clear();
  if (!get_longs(connection, window, property, XA_WINDOW, values, 1 << 16)) return false;
  for (long v : values) out.push_back(::Window(v));
  return true;
}

bool get_bytes(::Display* connection, ::Window window, Atom property, std::string& out, Atom* type_out,
               long max_bytes) {
  out.clear();
  Atom actual = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(connection, window, property, 0, (max_bytes + 3) / 4, False, AnyPropertyType, &actual,
                         &format, &count, &after, &data) != Success)
    return false;
  const bool ok = data && format == 8;
  if (ok) out.assign(reinterpret_cast<const char*>(data), count);
  if (type_out) *type_out = actual;
  if (data) XFree(data);
  return ok;
}

void set_longs(::Display* connection, ::Window window, Atom property, Atom type, const long* values, int count) {
  XChangeProperty(connection, window, property, type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values), count);
}

void set_atoms(::Display* connection, ::Window window, Atom property, const std::vector<Atom>& atoms) {
  std::vector<long> values(atoms.begin(), atoms.end());
  set_longs(connection, window, property, XA_ATOM, values.data(), int(values.size()));
}

void set_utf8(::Display* connection, ::Window window, Atom property, const Atoms& atoms, const std::string& text) {
  XChangeProperty(connection, window, property, atoms.UTF8_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
}

std::string window_title(::Display* connection, ::Window window, const Atoms& atoms) {
  std::string text;
  Atom type = None;
  if (get_bytes(connection, window, atoms._NET_WM_NAME, text, &type, 4096) && type == atoms.UTF8_STRING)
    return text;
  if (get_bytes(connection, window, XA_WM_NAME, text, &type, 4096)) {
    if (type == atoms.UTF8_STRING) return text;
    return latin1_to_utf8(text);
  }
  return {};
}

void send_to_root(::Display* connection, ::Window root, ::Window window, Atom type, long d0, long d1, long d2,
                  long d3, long d4) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = d0;
  event.xclient.data.l[1] = d1;
  event.xclient.data.l[2] = d2;
  event.xclient.data.l[3] = d3;
  event.xclient.data.l[4] = d4;
  XSendEvent(connection, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool wm_supports(::Display* connection, ::Window root, const Atoms& atoms, Atom atom) {
  std::vector<Atom> supported;
  if (!get_atoms(connection, root, atoms._NET_SUPPORTED, supported)) return false;
  for (Atom a : supported)
    if (a == atom) return true;
  return false;
}

std::string latin1_to_utf8(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string utf8_to_latin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = utf8[i];
    int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + size_t(length) > utf8.size()) length = 1;
    uint32_t code = c;
    if (length == 2) code = ((c & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
    out += (length == 1 && c < 0x80) || (length == 2 && code < 0x100) ? char(code) : '?';
    i += size_t(length);
  }
  return out;
}

}  // namespace kivo::port::x11
