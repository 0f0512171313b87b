// Shared parts of the image-file code: file types, whole-file reading and
// atomic writing, the configuration of loads and saves.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "toolkit/core/cfgstr_rules.h"
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

Config parse_config(std::string_view text) {
  Config c;
  c.file = std::string(text.substr(0, text.find(',')));
  kvcfgstr_split(text, c.tokens);
  kvcfgstr_offsets(c.tokens, 1, c.offsets);
  for (const std::string& t : c.tokens) c.list.push_back(t.c_str());
  c.list.push_back(nullptr);
  return c;
}

int palette_code(const char* const* tokens) {
  kvcfgstr_tokens t;
  for (; tokens && *tokens; ++tokens) t.emplace_back(*tokens);
  int code = 0;
  kvcfgstr_palettecode(t, 1, code);
  return code;
}

bool transparent_colour(const char* const* tokens, int& colour) {
  if (!tokens || !*tokens) return false;
  for (const char* const* t = tokens + 1; *t; ++t) {
    std::string value;
    if (kvcfgstr_lookup_text(kivo::cfgstr::without_blanks(*t), "transparentcolor=", value)) {
      colour = int(std::strtoul(value.c_str(), nullptr, 16));
      return true;
    }
  }
  return false;
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
