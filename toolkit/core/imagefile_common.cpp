// Shared parts of the image-file code: file types, whole-file reading and
// atomic writing, configuration tokens.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "toolkit/core/imagefile.h"
#include "toolkit/core/imagefile_internal.h"

namespace kivo::imagefile {

bool read_file(const char* name, std::vector<uint8_t>& out) {
  out.clear();
  if (!name || !*name) return false;
  std::FILE* f = std::fopen(name, "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n == 0) break;
    if (out.size() + n > kMaxFileSize) {
      ok = false;
      break;
    }
    out.insert(out.end(), chunk, chunk + n);
  }
  if (std::ferror(f)) ok = false;
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}

bool write_file(const char* name, const std::vector<uint8_t>& bytes) {
  if (!name || !*name) return false;
  std::random_device rd;
  std::string temp = std::string(name) + ".tmp" + std::to_string(rd() % 1000000);
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  std::error_code ec;
  if (ok) std::filesystem::rename(temp, name, ec);
  if (!ok || ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool dimensions_allowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kvpicture_max_dimension &&
         height <= kvpicture_max_dimension && width * height <= kvpicture_max_pixels;
}

std::string format_config(const char* format, va_list args) {
  // Percent signs that cannot start a conversion ("50%," or a trailing "%")
  // are doubled so that they print literally.
  std::string escaped;
  for (const char* s = format; *s; ++s) {
    escaped += *s;
    if (*s == '%') {
      signed char next = static_cast<signed char>(s[1]);
      if (next < '0' || next == '>') escaped += '%';
    }
  }
  char buffer[1000];
  std::vsnprintf(buffer, sizeof buffer, escaped.c_str(), args);
  return buffer;
}

Config parse_config(const std::string& text) {
  Config c;
  if (!text.empty()) {
    size_t start = 0;
    for (;;) {
      size_t comma = text.find(',', start);
      c.tokens.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  for (auto& t : c.tokens) c.list.push_back(t.c_str());
  c.list.push_back(nullptr);
  return c;
}

namespace {

std::string stripped_lower(const char* token) {
  std::string s;
  for (; *token; ++token)
    if (*token != ' ' && *token != '\t') s += char(std::tolower(static_cast<unsigned char>(*token)));
  return s;
}

int int_value(const std::string& text) { return int(std::strtod(text.c_str(), nullptr)); }

}  // namespace

bool find_value(const char* const* tokens, const char* prefix, std::string& value) {
  if (!tokens) return false;
  size_t n = std::strlen(prefix);
  for (; *tokens; ++tokens) {
    std::string s = stripped_lower(*tokens);
    if (s.compare(0, n, prefix) == 0) {
      value = s.substr(n);
      return true;
    }
  }
  return false;
}

Offsets parse_offsets(const char* const* tokens) {
  Offsets o;
  if (!tokens) return o;
  // The file name (first token) is not an offset; later tokens override.
  for (const char* const* t = tokens + (tokens[0] ? 1 : 0); *t; ++t) {
    std::string s = stripped_lower(*t);
    auto starts = [&](const char* p) { return s.compare(0, std::strlen(p), p) == 0; };
    if (starts("xs=")) o.w = int_value(s.substr(3));
    else if (starts("width=")) o.w = int_value(s.substr(6));
    else if (starts("ys=")) o.h = int_value(s.substr(3));
    else if (starts("height=")) o.h = int_value(s.substr(7));
    else if (starts("x=")) o.x = int_value(s.substr(2));
    else if (starts("y=")) o.y = int_value(s.substr(2));
  }
  return o;
}

int palette_code(const char* const* tokens) {
  std::string v;
  return find_value(tokens, "palettecode=", v) ? std::atoi(v.c_str()) : 0;
}

}  // namespace kivo::imagefile

int kvfiletype(const char* name) {
  if (!name) return KVFILE_UNKNOWN;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return KVFILE_UNKNOWN;
  std::string ext;
  for (const char* s = dot + 1; *s; ++s) ext += char(std::tolower(static_cast<unsigned char>(*s)));
  static const struct {
    const char* ext;
    int type;
  } table[] = {{"png", KVFILE_PNG}, {"bmp", KVFILE_BMP},  {"xpm", KVFILE_XPM},
               {"ppm", KVFILE_PPM}, {"pcx", KVFILE_PCX},  {"htm", KVFILE_HTML},
               {"html", KVFILE_HTML}, {"wmf", KVFILE_WMF}, {"ps", KVFILE_PS},
               {"pdf", KVFILE_PDF}};
  for (const auto& e : table)
    if (ext == e.ext) return e.type;
  return KVFILE_UNKNOWN;
}
