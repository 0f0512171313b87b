// Configuration strings: escaping, formatting, splitting, leftovers, whole-
// string lookups and the value grammars (numbers, colours, units, hot keys,
// lists).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_rules.h"
#include "toolkit/core/strformat.h"

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The whole text as hexadecimal digits (at least one); the low 32 bits count.
bool parse_hex(std::string_view s, int& out) {
  if (s.empty()) return false;
  uint32_t v = 0;
  for (char c : s) {
    int d = hex_digit(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  out = static_cast<int32_t>(v);
  return true;
}

// Whether the conversion starting after a '%' at format[i] is a "%n" (with
// any flags, width, precision, position or length modifier in between).
bool is_store_conversion(std::string_view format, std::size_t i) {
  static constexpr std::string_view kBetween = "0123456789.$*hlLqjztI'#+- ";
  while (i < format.size() && kBetween.find(format[i]) != std::string_view::npos) ++i;
  return i < format.size() && format[i] == 'n';
}

constexpr kvcfgstr_colorname kColourNames[] = {
    {"none", -1},           {"off", -1},          {"black", 0x000000},
    {"blue", 0x000080},     {"green", 0x008000},  {"cyan", 0x008080},
    {"red", 0x800000},      {"magenta", 0x800080}, {"brown", 0x808000},
    {"lightgrey", 0xC0C0C0}, {"darkgrey", 0x808080}, {"lightblue", 0x0000FF},
    {"lightgreen", 0x00FF00}, {"lightcyan", 0x00FFFF}, {"lightred", 0xFF0000},
    {"lightmagenta", 0xFF00FF}, {"yellow", 0xFFFF00}, {"white", 0xFFFFFF},
    {"transparent", 0x0000FF}, {"grey", 0xD0D0D0},
};
constexpr int kFirstStandardColour = 2;  // black

}  // namespace

// ---- Escaping and formatting --------------------------------------------------

std::string kvcfgstr_escape(std::string_view format) {
  std::string out;
  out.reserve(format.size() + 8);
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    out.push_back(c);
    if (c != '%') continue;
    bool literal = i + 1 >= format.size() || static_cast<signed char>(format[i + 1]) < '0' ||
                   format[i + 1] == '>' || is_store_conversion(format, i + 1);
    if (literal) out.push_back('%');
  }
  return out;
}

void kvcfgstr_escape(std::string& out, const char* format) {
  out = kvcfgstr_escape(std::string_view(format ? format : ""));
}

std::string kvcfgstr_vformat(const char* format, va_list args) {
  std::string escaped = kvcfgstr_escape(std::string_view(format ? format : ""));
  return kivo::core::vformat(escaped.c_str(), args, kvcfgstr_max_text);
}

std::string kvcfgstr_format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = kvcfgstr_vformat(format, args);
  va_end(args);
  return s;
}

// ---- Token lists ------------------------------------------------------------------

void kvcfgstr_split(std::string_view text, kvcfgstr_tokens& out) {
  out.clear();
  text = text.substr(0, std::min(text.size(), kvcfgstr_max_text));
  if (text.empty()) return;
  for (;;) {
    std::size_t comma = text.find(',');
    std::string_view token = text.substr(0, comma);
    out.emplace_back(token.substr(0, std::min(token.size(), kvcfgstr_max_token)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
}

kvcfgstr_tokens* kvcfgstr_split_alloc(std::string_view text) {
  auto* list = new kvcfgstr_tokens;
  kvcfgstr_split(text, *list);
  return list;
}

void kvcfgstr_free(kvcfgstr_tokens* list) { delete list; }

kvcfgstr_tokens kvcfgstr_vprocess(const char* format, va_list args) {
  kvcfgstr_tokens t;
  kvcfgstr_split(kvcfgstr_vformat(format, args), t);
  return t;
}

kvcfgstr_tokens kvcfgstr_process(const char* format, ...) {
  va_list args;
  va_start(args, format);
  kvcfgstr_tokens t = kvcfgstr_vprocess(format, args);
  va_end(args);
  return t;
}

void kvcfgstr_leftover(std::string& out, const kvcfgstr_tokens& list, int start) {
  out.clear();
  for (std::size_t i = start < 0 ? 0 : static_cast<std::size_t>(start); i < list.size(); ++i) {
    if (list[i].empty()) continue;
    out.push_back(',');
    out += list[i];
    if (out.size() >= kvcfgstr_max_text) {
      out.resize(kvcfgstr_max_text);
      return;
    }
  }
}

std::string kvcfgstr_leftover(const kvcfgstr_tokens& list, int start) {
  std::string out;
  kvcfgstr_leftover(out, list, start);
  return out;
}

void kvcfgstr_flag(kvcfgstr_tokens& list, int start, std::string_view name, bool& flag) {
  kivo::cfgstr::Prepared want, token;
  kivo::cfgstr::prepare(name, want);
  if (want.lower.empty()) return;
  for (std::size_t i = start < 0 ? 0 : static_cast<std::size_t>(start); i < list.size(); ++i) {
    if (list[i].empty()) continue;
    kivo::cfgstr::prepare(list[i], token);
    if (token.lower != want.lower) continue;
    list[i].clear();
    flag = true;
  }
}

// ---- Lookups in a whole string ------------------------------------------------------

namespace {

// Position of name in text, ASCII case ignored, within the first
// kvcfgstr_max_text characters of the text.
std::size_t find_name(std::string_view text, std::string_view name) {
  if (name.empty()) return std::string_view::npos;
  std::string t = lowered(text.substr(0, std::min(text.size(), kvcfgstr_max_text)));
  return t.find(lowered(name));
}

}  // namespace

bool kvcfgstr_lookup_flag(std::string_view text, std::string_view name) {
  return find_name(text, name) != std::string_view::npos;
}

int kvcfgstr_lookup_int(std::string_view text, std::string_view name, int def) {
  std::string key(name);
  key.push_back('=');
  std::size_t at = find_name(text, key);
  if (at == std::string_view::npos) return def;
  return kvcfgstr_int(text.substr(at + key.size()));
}

bool kvcfgstr_lookup_text(std::string_view text, std::string_view name, std::string& out) {
  std::size_t at = find_name(text, name);
  if (at == std::string_view::npos) return false;
  text = text.substr(0, std::min(text.size(), kvcfgstr_max_text));
  std::string_view rest = text.substr(at + name.size());
  if (!rest.empty() && rest.front() == '=') rest.remove_prefix(1);
  out = std::string(rest.substr(0, rest.find(',')));
  return true;
}

// ---- Numbers ------------------------------------------------------------------------

int kvcfgstr_int(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t v = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int>::max()} + 1;
  for (; i < text.size() && is_digit(text[i]); ++i) v = std::min(v * 10 + (text[i] - '0'), kLimit);
  if (negative) v = -v;
  v = std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return static_cast<int>(v);
}

namespace {

// Reads a decimal real at the start of text; returns the number of
// characters it took (0 when there is no digit).
std::size_t scan_real(std::string_view text, double& value) {
  value = 0;
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t number = i, digits = 0;
  while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && is_digit(text[j])) {
      while (j < text.size() && is_digit(text[j])) ++j;
      end = j;
    }
  }
  double v = 0;
  auto [ptr, ec] = std::from_chars(text.data() + number, text.data() + end, v);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) v = std::numeric_limits<double>::max();
  else if (ec != std::errc{} || !std::isfinite(v)) v = 0;
  value = negative ? -v : v;
  return end;
}

}  // namespace

double kvcfgstr_real(std::string_view text) {
  double v;
  scan_real(text, v);
  return v;
}

double kvcfgstr_unitvalue(std::string_view text, int* unit) {
  std::size_t eq = text.find('=');
  if (eq != std::string_view::npos) text.remove_prefix(eq + 1);
  std::string s;
  for (char c : text.substr(0, std::min(text.size(), kvcfgstr_max_text)))
    if (c != ' ' && c != '\t') s.push_back(c);
  double v;
  std::size_t used = scan_real(s, v);
  v = std::clamp(v, -kvcfgstr_max_real, kvcfgstr_max_real);
  if (unit) {
    std::string_view u = std::string_view(s).substr(used);
    if (u == "%" || iequals(u, "percent")) *unit = KVCFG_UNIT_PERCENT;
    else if (iequals(u, "pix") || iequals(u, "pixel")) *unit = KVCFG_UNIT_PIXEL;
    else *unit = KVCFG_UNIT_NONE;
  }
  return v;
}

int kvcfgstr_intvalue(std::string_view text) {
  return static_cast<int>(std::trunc(kvcfgstr_unitvalue(text, nullptr)));
}

// ---- Colours ------------------------------------------------------------------------

const kvcfgstr_colorname* kvcfgstr_colornames(int* count) {
  if (count) *count = static_cast<int>(std::size(kColourNames));
  return kColourNames;
}

int kvcfgstr_standardcolor(int index) {
  if (index < 0 || index > 15) return -1;
  return kColourNames[kFirstStandardColour + index].colour;
}

bool kvcfgstr_color(std::string_view text, int& colour) {
  std::size_t eq = text.find('=');
  if (eq != std::string_view::npos) text.remove_prefix(eq + 1);
  if (text.empty()) return false;
  int v;
  if (text.size() > 2 && text[0] == '0' && lower(text[1]) == 'x' && parse_hex(text.substr(2), v)) {
    colour = v;
    return true;
  }
  for (const auto& entry : kColourNames) {
    if (iequals(text, entry.name)) {
      colour = entry.colour;
      return true;
    }
  }
  if (parse_hex(text, v)) {
    colour = v;
    return true;
  }
  return false;
}

// ---- Hot keys and lists -------------------------------------------------------------

int kvcfgstr_hotkey(std::string_view text) {
  if (text.size() == 1) return static_cast<unsigned char>(text[0]);
  if (iequals(text, "space")) return 32;
  if (iequals(text, "return")) return 10;
  if ((text.size() == 2 || text.size() == 3) && lower(text[0]) == 'f') {
    std::string_view number = text.substr(1);
    bool digits = number[0] != '0';
    int n = 0;
    for (char c : number) {
      digits = digits && is_digit(c);
      n = n * 10 + (c - '0');
    }
    if (digits && n >= 1 && n <= 12) return 304 + n;
  }
  std::string shown(text.substr(0, std::min(text.size(), kvcfgstr_max_text)));
  std::printf("complex hotkey not fully supported yet ! (kvcfgstr_btnattr) \"%s\"\n", shown.c_str());
  return 0;
}

int kvcfgstr_list(std::string_view text, std::vector<std::string>& items, int max_items) {
  items.clear();
  if (text.empty()) return 0;
  for (;;) {
    if (max_items > 0 && static_cast<int>(items.size()) >= max_items) break;
    std::size_t bar = text.find('|');
    items.emplace_back(text.substr(0, bar));
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return static_cast<int>(items.size());
}
