// Helpers shared by the image-file sources: whole-file reading with a size
// cap, atomic writing, configuration tokens, and loading a decoded picture
// into a pixmap of any format.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/imagefile.h"

namespace kivo::imagefile {

// Largest file any reader takes into memory.
constexpr size_t kMaxFileSize = size_t(3) * size_t(kvpicture_max_pixels) + (size_t(1) << 20);

bool read_file(const char* name, std::vector<uint8_t>& out);
// Writes under a temporary name in the same folder, then renames.
bool write_file(const char* name, const std::vector<uint8_t>& bytes);

bool dimensions_allowed(int64_t width, int64_t height);

// A formatted configuration split at commas; the list form is null-terminated.
struct Config {
  std::vector<std::string> tokens;
  std::vector<const char*> list;
  std::string file() const { return tokens.empty() ? std::string() : tokens[0]; }
};
Config parse_config(const std::string& text);
std::string format_config(const char* format, va_list args);

// Offsets group: x=, y=, xs=/width=, ys=/height=, integer form; -1 if absent.
struct Offsets {
  int x = -1, y = -1, w = -1, h = -1;
};
Offsets parse_offsets(const char* const* tokens);
// Value of the first token beginning with `prefix` (case-insensitive, blanks
// ignored), or false.
bool find_value(const char* const* tokens, const char* prefix, std::string& value);
int palette_code(const char* const* tokens);

// Puts a truecolor picture into p (any format) at (x, y), w x h (-1: all):
// truecolor targets get the pixels directly, palette8 targets a colour-mapped
// merge, server and directx targets a merge of the truecolor pixels (or, when
// the picture covers the whole target, the converted picture itself).
// `loader` names the format in the message for unsupported targets;
// `directx_ok` and `server_replace` select the per-format variants.
bool place_truecolor(kvpxmap* p, kvpxmap* picture, int x, int y, int w, int h,
                     const char* const* tokens, const char* loader, bool directx_ok,
                     bool server_replace);

// Decoders into a fresh truecolor pixmap.
bool decode_bmp(const std::vector<uint8_t>& file, kvpxmap* out);
bool decode_pcx(const std::vector<uint8_t>& file, kvpxmap* out);
bool decode_ppm(const std::vector<uint8_t>& file, kvpxmap* out);
bool size_bmp(const std::vector<uint8_t>& file, int& w, int& h);
bool size_pcx(const std::vector<uint8_t>& file, int& w, int& h);
bool size_ppm(const std::vector<uint8_t>& file, int& w, int& h, size_t* data_at = nullptr);

// XPM text of a file as lines (text between quotes; commas outside end lines).
std::vector<std::string> xpm_lines(const std::vector<uint8_t>& file);

// Encoders of truecolor pixmaps.
std::vector<uint8_t> encode_bmp(const kvpxmap* p);
std::vector<uint8_t> encode_pcx(const kvpxmap* p);
std::vector<uint8_t> encode_ppm(const kvpxmap* p);

}  // namespace kivo::imagefile
