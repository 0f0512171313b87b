// Helpers shared by the image-file sources: whole-file reading with a size
// cap, atomic writing, configuration tokens, and loading a decoded picture
// into a pixmap of any format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/imagefile.h"

namespace kivo::imagefile {

// Largest file any reader takes into memory.
constexpr size_t kMaxFileSize = size_t(3) * size_t(kvpicture_max_pixels) + (size_t(1) << 20);

bool read_file(const char* name, std::vector<uint8_t>& out);
// Writes under a temporary name in the same folder, then renames.
bool write_file(const char* name, const std::vector<uint8_t>& bytes);

bool dimensions_allowed(int64_t width, int64_t height);

// The configuration of a load or save: the file name, then keyword tokens
// (cfgstr.h). The name is the text up to the first comma, taken whole: a
// path may be longer than a keyword token.
struct Config {
  std::string file;
  kvcfgstr_tokens tokens;         // kvcfgstr_split of the text; the offsets consumed
  std::vector<const char*> list;  // the tokens as the loaders take them, null-terminated
  kvcfg_offsets offsets;          // x=, y=, xs=/width=, ys=/height=; -1 where not given

  Config() = default;
  Config(const Config&) = delete;  // list points into tokens
  Config& operator=(const Config&) = delete;
  Config(Config&&) = default;
};
Config parse_config(std::string_view text);

// Keywords the loaders read from their token list (the file name, token 0,
// is never taken for one): palettecode=N (0 when not given), and
// transparentcolor=RRGGBB, hexadecimal, from the first token containing it.
int palette_code(const char* const* tokens);
bool transparent_colour(const char* const* tokens, int& colour);

// Puts a truecolor picture into p (any format) at (x, y), w x h (-1: all):
// truecolor targets get the pixels directly, palette8 targets a colour-mapped
// merge, server and directx targets a merge of the truecolor pixels (or, when
// the picture covers the whole target, the converted picture itself).
// `loader` names the format in the message for unsupported targets;
// `directx_ok` and `server_replace` select the per-format variants.
bool place_truecolor(kvpxmap* p, kvpxmap* picture, int x, int y, int w, int h,
                     const char* const* tokens, const char* loader, bool directx_ok,
                     bool server_replace);

// Reads the file and decodes it into a fresh truecolor pixmap; false (and
// nothing allocated) when the file cannot be read or decoded.
using Decoder = bool (*)(const std::vector<uint8_t>& file, kvpxmap* out);
bool read_picture(const char* name, Decoder decode, kvpxmap* picture);

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
