// The standard output and the global drawing functions.
#include "toolkit/core/stdout.h"

#include <cstdarg>
#include <string>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/strformat.h"

namespace {

struct Target {
  kvcallback callback = nullptr;
  intptr_t object = 0;
};

Target g_current, g_saved;

// Formatted drawing texts keep their first this many characters.
constexpr std::size_t kMaxText = 4095;

intptr_t ptr(const void* p) { return reinterpret_cast<intptr_t>(p); }

}  // namespace

void kvstdout_set(kvcallback callback, intptr_t object) { g_current = {callback, object}; }

void kvstdout_clear(kvcallback callback, intptr_t object) {
  if (g_current.callback == callback && g_current.object == object) g_current = {};
  // A saved target that goes away must not come back on restore.
  if (g_saved.callback == callback && g_saved.object == object) g_saved = {};
}

void kvstdout_save() { g_saved = g_current; }
void kvstdout_restore() { g_current = g_saved; }

bool kvstdout_get(kvcallback* callback, intptr_t* object) {
  if (callback) *callback = g_current.callback;
  if (object) *object = g_current.object;
  return g_current.callback != nullptr;
}

intptr_t kvstdout_send(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                       intptr_t a7, intptr_t a8) {
  if (!g_current.callback) return 0;
  return g_current.callback(g_current.object, code, a1, a2, a3, a4, a5, a6, a7, a8);
}

intptr_t kvgline(int x1, int y1, int x2, int y2, int colour) { return kvstdout_send(KVG_LINE, x1, y1, x2, y2, colour); }
intptr_t kvgbox(int x, int y, int w, int h, int colour) { return kvstdout_send(KVG_FILLRECT, x, y, w, h, colour); }

void kvgthickline(int x1, int y1, int x2, int y2, int colour, int colour2) {
  kvgline(x1, y1, x2, y2, colour);
  if (x1 == x2) kvgline(x1 + 1, y1, x2 + 1, y2, colour2);
  else kvgline(x1, y1 + 1, x2, y2 + 1, colour2);
}

intptr_t kvgfont(int font) { return kvstdout_send(KVG_SETFONT, font); }

intptr_t kvgsysfont(const char* format, ...) {
  if (!format) return 0;
  va_list args;
  va_start(args, format);
  std::string text = kvcfgstr_vformat(format, args);
  va_end(args);
  return kvstdout_send(KVG_SYSFONT, ptr(text.c_str()));
}

intptr_t kvgtext(int x, int y, int colour, const char* text) { return kvstdout_send(KVG_TEXT, x, y, colour, ptr(text)); }

intptr_t kvgtextf(int x, int y, int colour, const char* format, ...) {
  if (!format) return 0;
  va_list args;
  va_start(args, format);
  std::string text = kivo::core::vformat(format, args, kMaxText);
  va_end(args);
  return kvgtext(x, y, colour, text.c_str());
}

intptr_t kvgchar(int x, int y, int colour, int code) { return kvstdout_send(KVG_CHAR, x, y, colour, code); }
intptr_t kvgxpm(int x, int y, const char* const* lines, const char* configuration) {
  return kvstdout_send(KVG_XPM, x, y, ptr(lines), ptr(configuration));
}
intptr_t kvgload(const char* configuration) { return kvstdout_send(KVG_LOAD, ptr(configuration)); }
intptr_t kvgmerge(int x, int y, kvpxmap* pixmap) { return kvstdout_send(KVG_MERGE, x, y, ptr(pixmap)); }
int kvgtextwidth(const char* text) { return static_cast<int>(kvstdout_send(KVG_TEXTWIDTH, ptr(text))); }
int kvgfontheight() { return static_cast<int>(kvstdout_send(KVG_FONTHEIGHT)); }
int kvgwidth() { return static_cast<int>(kvstdout_send(KVG_WIDTH)); }
int kvgheight() { return static_cast<int>(kvstdout_send(KVG_HEIGHT)); }
