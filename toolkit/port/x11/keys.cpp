#include "toolkit/port/x11/keys.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace kivo::port::x11 {

Key key_for_keysym(KeySym k) {
  if (k >= XK_F1 && k <= XK_F12) return Key(int(Key::F1) + int(k - XK_F1));
  switch (k) {
    case XK_Tab: case XK_ISO_Left_Tab: case XK_KP_Tab: return Key::Tab;
    case XK_Return: case XK_KP_Enter: return Key::Enter;
    case XK_Escape: return Key::Escape;
    case XK_space: case XK_KP_Space: return Key::Space;
    case XK_Left: case XK_KP_Left: return Key::Left;
    case XK_Right: case XK_KP_Right: return Key::Right;
    case XK_Up: case XK_KP_Up: return Key::Up;
    case XK_Down: case XK_KP_Down: return Key::Down;
    case XK_Home: case XK_KP_Home: return Key::Home;
    case XK_End: case XK_KP_End: return Key::End;
    case XK_Delete: case XK_KP_Delete: return Key::Delete;
    case XK_Prior: case XK_KP_Prior: return Key::PageUp;
    case XK_Next: case XK_KP_Next: return Key::PageDown;
    case XK_Insert: case XK_KP_Insert: return Key::Insert;
    case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: case XK_ISO_Level3_Shift: return Key::Alt;
    case XK_Control_L: case XK_Control_R: return Key::Ctrl;
    case XK_Shift_L: case XK_Shift_R: return Key::Shift;
    default: return Key::Unknown;
  }
}

uint32_t keysym_to_unicode(KeySym k) {
  if ((k >= 0x20 && k <= 0x7E) || (k >= 0xA0 && k <= 0xFF)) return uint32_t(k);
  if (k >= 0x01000100 && k <= 0x0110FFFF) return uint32_t(k - 0x01000000);
  if (k == XK_EuroSign) return 0x20AC;
  if (k >= XK_KP_0 && k <= XK_KP_9) return uint32_t('0' + (k - XK_KP_0));
  switch (k) {
    case XK_BackSpace: return 8;
    case XK_KP_Decimal: return '.';
    case XK_KP_Separator: return ',';
    case XK_KP_Add: return '+';
    case XK_KP_Subtract: return '-';
    case XK_KP_Multiply: return '*';
    case XK_KP_Divide: return '/';
    case XK_KP_Equal: return '=';
    default: return 0;
  }
}

std::vector<uint32_t> utf8_code_points(const std::string& utf8) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = utf8[i];
    int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + size_t(length) > utf8.size()) {
      ++i;
      continue;
    }
    uint32_t code = length == 1 ? c : length == 2 ? c & 0x1Fu : length == 3 ? c & 0x0Fu : c & 0x07u;
    bool ok = true;
    for (int j = 1; j < length; ++j) {
      const unsigned char d = utf8[i + size_t(j)];
      if ((d & 0xC0) != 0x80) ok = false;
      code = code << 6 | (d & 0x3Fu);
    }
    if (ok && code <= 0x10FFFF) out.push_back(code);
    i += ok ? size_t(length) : 1;
  }
  return out;
}

ModifierMasks read_modifier_masks(::Display* connection) {
  ModifierMasks masks;
  XModifierKeymap* map = XGetModifierMapping(connection);
  if (!map) return masks;
  const KeyCode alt_l = XKeysymToKeycode(connection, XK_Alt_L);
  const KeyCode alt_r = XKeysymToKeycode(connection, XK_Alt_R);
  for (int mod = Mod1MapIndex; mod <= Mod5MapIndex; ++mod) {
    for (int i = 0; i < map->max_keypermod; ++i) {
      const KeyCode code = map->modifiermap[mod * map->max_keypermod + i];
      if (code && (code == alt_l || code == alt_r)) {
        masks.alt = 1u << mod;
        XFreeModifiermap(map);
        return masks;
      }
    }
  }
  XFreeModifiermap(map);
  return masks;
}

unsigned toolkit_modifiers(unsigned state, const ModifierMasks& masks) {
  unsigned out = 0;
  if (state & ShiftMask) out |= kShift;
  if (state & ControlMask) out |= kCtrl;
  if (state & masks.alt) out |= kAlt;
  return out;
}

}  // namespace kivo::port::x11
