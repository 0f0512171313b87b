// Keyboard translation: X keysyms to the toolkit's keys and characters.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/port/windows.h"

namespace kivo::port::x11 {

// The toolkit key of a keysym; Key::Unknown for keys that arrive as characters.
Key key_for_keysym(KeySym keysym);

// The Unicode character a keysym types, 0 if none: Latin-1 keysyms, the
// Unicode keysym range, the euro sign and the keypad.
uint32_t keysym_to_unicode(KeySym keysym);

// The code points of a UTF-8 text; malformed bytes are skipped.
std::vector<uint32_t> utf8_code_points(const std::string& utf8);

// Modifier masks of this server's keyboard: which modN bit holds Alt.
struct ModifierMasks {
  unsigned alt = Mod1Mask;
};
ModifierMasks read_modifier_masks(::Display* connection);

// Toolkit modifier bits from an event's state.
unsigned toolkit_modifiers(unsigned state, const ModifierMasks& masks);

}  // namespace kivo::port::x11
