// Metrics by name and the colour scheme.
#include "toolkit/core/environment.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "toolkit/port/backend.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/display.h"

namespace {

kivo::port::Display& display() { return kivo::port::backend().display(); }

int (*g_default_font_height)() = nullptr;
int g_scrollbar_width = 15;
int g_scrollbar_height = 15;

int max_window_width() {
  auto area = kivo::port::backend().desktop().work_area();
  return area.width - 2 * display().frame_metrics().border;
}

int max_window_height() {
  auto area = kivo::port::backend().desktop().work_area();
  auto frame = display().frame_metrics();
  return area.height - frame.caption - frame.border;
}

}  // namespace

namespace kivo::core {
void set_default_font_height_source(int (*source)()) { g_default_font_height = source; }
void set_scrollbar_size(int width, int height) {
  g_scrollbar_width = width;
  g_scrollbar_height = height;
}
}  // namespace kivo::core

int kvsetting(const char* name) {
  std::string_view n = name ? name : "";
  if (n == "screenxs") return display().screen_width();
  if (n == "screenys") return display().screen_height();
  if (n == "windowbordersize") return display().frame_metrics().border;
  if (n == "windowcaptionheight") return display().frame_metrics().caption;
  if (n == "maxwindowxs") return max_window_width();
  if (n == "maxwindowys") return max_window_height();
  std::printf("get setting: %s\n", name ? name : "");
  return 0;
}

int guimetrics(const char* name) {
  std::string_view n = name ? name : "";
  if (n == "menuheight" || n == "toolbarheight") return 20;
  if (n == "statusbarheight") return (g_default_font_height ? g_default_font_height() : 13) + 8;
  if (n == "scrollbarwidth") return g_scrollbar_width;
  if (n == "scrollbarheight") return g_scrollbar_height;
  if (n == "screenwidth" || n == "screenxs") return display().screen_width();
  if (n == "screenheight" || n == "screenys") return display().screen_height();
  if (n == "maxwindowxs") return max_window_width();
  if (n == "maxwindowys") return max_window_height();
  std::printf("guimetrics: %s\n", name ? name : "");
  return 0;
}

namespace {
int g_display_depth = 0;  // 0: not asked yet
}

int kvdisplaydepth() {
  if (!g_display_depth) g_display_depth = display().depth();
  return g_display_depth;
}

// ---- Colour scheme -------------------------------------------------------------

namespace {

constexpr int kFallback[KV_COLOR_ROLES] = {0xD0D0D0, 0xE0E0E0, 0x808080, 0xFFFFFF, 0x000000, 0x000000,
                                           0x000000, 0x787878, 0xC0C0C0, 0xC0D8FF, 0xF0F0F0};

struct Scheme {
  bool filled = false;
  int roles[KV_COLOR_ROLES] = {};
  int saved[KV_COLOR_ROLES] = {};
  bool has_saved = false;
};

Scheme& scheme() {
  static Scheme s;
  return s;
}

bool few_colours() { return kvdisplaydepth() <= 8; }

// The desktop's value of each role, or its fallback where it has none.
void system_roles(int out[KV_COLOR_ROLES]) {
  for (int i = 0; i < KV_COLOR_ROLES; ++i) out[i] = kFallback[i];
  auto sys = display().system_colours();
  if (sys.button_face >= 0) {
    out[KV_COLOR_GREY] = sys.button_face;
    out[KV_COLOR_LIGHT] = kvcolor_adjust(sys.button_face, 16);
    out[KV_COLOR_VERYLIGHT] = kvcolor_adjust(sys.button_face, 32);
  }
  if (sys.button_shadow >= 0) out[KV_COLOR_DARK] = sys.button_shadow;
  if (sys.button_text >= 0) out[KV_COLOR_TEXT] = sys.button_text;
  if (sys.grey_text >= 0) out[KV_COLOR_TEXTGREY] = sys.grey_text;
  if (few_colours()) {
    out[KV_COLOR_TEXTSEL] = 0xFFFFFF;
    out[KV_COLOR_BLUE] = 0x000080;
  }
}

Scheme& filled_scheme() {
  Scheme& s = scheme();
  if (!s.filled) {
    system_roles(s.roles);
    s.filled = true;
  }
  return s;
}

int clamp_channel(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

}  // namespace

namespace kivo::core {
void reset_colour_scheme() {
  scheme() = Scheme{};
  g_display_depth = 0;
}
}  // namespace kivo::core

int kvrgb(int r, int g, int b) { return ((r & 255) << 16) | ((g & 255) << 8) | (b & 255); }

int kvcolor_adjust(int c, int d) {
  return kvrgb(clamp_channel(((c >> 16) & 255) + d), clamp_channel(((c >> 8) & 255) + d),
               clamp_channel((c & 255) + d));
}

int kvcolor(int role) {
  if (role < 0 || role >= KV_COLOR_ROLES) return -1;
  return filled_scheme().roles[role];
}

void kvsetcolor(int role, int colour) {
  if (role < 0 || role >= KV_COLOR_ROLES || role == KV_COLOR_TEXTSEL) return;
  Scheme& s = filled_scheme();
  s.roles[role] = colour;
  if (role == KV_COLOR_GREY) {
    s.roles[KV_COLOR_LIGHT] = kvcolor_adjust(colour, 16);
    s.roles[KV_COLOR_DARK] = kvcolor_adjust(colour, -80);
    s.roles[KV_COLOR_DARKC0] = kvcolor_adjust(colour, -16);
  }
}

void kvcolorscheme(const char* name) {
  Scheme& s = filled_scheme();
  std::string_view n = name ? name : "";
  if (n == "standard") {
    system_roles(s.roles);
  } else if (n == "grey") {
    for (int i = 0; i < KV_COLOR_ROLES; ++i) s.roles[i] = kFallback[i];
    if (few_colours()) {
      s.roles[KV_COLOR_TEXTSEL] = 0xFFFFFF;
      s.roles[KV_COLOR_BLUE] = 0x000080;
    }
  }
}

void kvcolorscheme_save() {
  Scheme& s = filled_scheme();
  std::memcpy(s.saved, s.roles, sizeof s.roles);
  s.has_saved = true;
}

void kvcolorscheme_restore() {
  Scheme& s = filled_scheme();
  if (s.has_saved) std::memcpy(s.roles, s.saved, sizeof s.roles);
}

int kvsyscolor(const char* name) {
  static constexpr struct {
    const char* name;
    int role;
  } kNames[] = {{"grey", KV_COLOR_GREY},         {"light", KV_COLOR_LIGHT},       {"dark", KV_COLOR_DARK},
                {"text", KV_COLOR_TEXT},         {"textgrey", KV_COLOR_TEXTGREY}, {"darkc0c0c0", KV_COLOR_DARKC0},
                {"verylight", KV_COLOR_VERYLIGHT}, {"textsel", KV_COLOR_TEXTSEL}, {"blue", KV_COLOR_BLUE}};
  if (!name) return -1;
  for (const auto& entry : kNames) {
    if (std::strcmp(entry.name, name) == 0) {
      int roles[KV_COLOR_ROLES];
      system_roles(roles);
      return roles[entry.role];
    }
  }
  return -1;
}
