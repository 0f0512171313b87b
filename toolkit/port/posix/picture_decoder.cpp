// Picture decoding with giflib, libjpeg-turbo, libpng and libwebp, all from
// memory. Every library's errors end in our handlers (longjmp for libjpeg and
// libpng), so damaged data gives false, never an abort. Sizes are checked
// before any pixel memory is allocated.
#include <gif_lib.h>
#include <png.h>
#include <webp/decode.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

// Besides the per-side limit, the whole picture must fit into 64 Mi pixels
// (256 MiB of truecolor).
constexpr uint64_t kMaxPixels = uint64_t(64) << 20;

bool size_ok(uint64_t w, uint64_t h, std::string& error) {
  if (w == 0 || h == 0) {
    error = "picture has no pixels";
    return false;
  }
  if (w > uint64_t(PictureDecoder::kMaxDimension) || h > uint64_t(PictureDecoder::kMaxDimension) ||
      w * h > kMaxPixels) {
    error = "picture too large";
    return false;
  }
  return true;
}

uint32_t over_black(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return ((r * a + 127) / 255) << 16 | ((g * a + 127) / 255) << 8 | ((b * a + 127) / 255);
}

// ---- GIF ---------------------------------------------------------------------

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t at;
};

int gif_read(GifFileType* gif, GifByteType* buffer, int n) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  size_t left = r->size - r->at;
  size_t take = n < 0 ? 0 : std::min(left, size_t(n));
  std::memcpy(buffer, r->data + r->at, take);
  r->at += take;
  return int(take);
}

bool decode_gif_frame(GifFileType* gif, DecodedPicture& out, std::string& error) {
  if (!size_ok(uint64_t(gif->SWidth), uint64_t(gif->SHeight), error)) return false;
  int transparent_index = -1;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) break;
    if (type == TERMINATE_RECORD_TYPE) break;
    if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* ext;
      if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) break;
      while (ext) {
        if (code == GRAPHICS_EXT_FUNC_CODE && ext[0] >= 4 && (ext[1] & 1)) transparent_index = ext[4];
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) {
          error = "damaged GIF extension";
          return false;
        }
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) == GIF_ERROR) break;
    const GifImageDesc& d = gif->Image;
    ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || d.Width <= 0 || d.Height <= 0 || d.Width > PictureDecoder::kMaxDimension ||
        d.Height > PictureDecoder::kMaxDimension) {
      error = "GIF frame without colours or size";
      return false;
    }
    int w = gif->SWidth, h = gif->SHeight;
    out.width = w;
    out.height = h;
    out.has_transparency = transparent_index >= 0;
    out.transparent = 0;
    uint32_t background = 0;
    if (!out.has_transparency && gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
      const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
      background = uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
    }
    out.pixels.assign(size_t(w) * size_t(h), background);
    std::vector<GifPixelType> line(size_t(d.Width));
    // Interlaced frames come in four passes.
    static const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    int passes = d.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      int start = d.Interlace ? starts[pass] : 0, step = d.Interlace ? steps[pass] : 1;
      for (int row = start; row < d.Height; row += step) {
        if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) {
          error = "damaged GIF image data";
          return false;
        }
        int y = d.Top + row;
        if (y < 0 || y >= h) continue;
        for (int i = 0; i < d.Width; ++i) {
          int x = d.Left + i;
          if (x < 0 || x >= w) continue;
          int index = line[size_t(i)];
          if (index == transparent_index) continue;  // stays the transparent (black) pixel
          if (index >= map->ColorCount) continue;
          const GifColorType& c = map->Colors[index];
          out.pixels[size_t(y) * size_t(w) + size_t(x)] = uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
        }
      }
    }
    out.format = "gif";
    return true;
  }
  error = "GIF without image";
  return false;
}

bool decode_gif(const uint8_t* data, size_t size, DecodedPicture& out, std::string& error) {
  MemoryReader reader{data, size, 0};
  int status = 0;
  GifFileType* gif = DGifOpen(&reader, gif_read, &status);
  if (!gif) {
    error = "damaged GIF header";
    return false;
  }
  bool ok = decode_gif_frame(gif, out, error);
  DGifCloseFile(gif, &status);
  return ok;
}

// ---- JPEG --------------------------------------------------------------------

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpeg_fail(j_common_ptr info) {
  auto* e = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, e->message);
  std::longjmp(e->jump, 1);
}

void jpeg_quiet(j_common_ptr, int) {}

// No C++ object with a destructor lives in this frame: longjmp may leave it.
bool decode_jpeg_into(const uint8_t* data, size_t size, DecodedPicture& out, std::vector<uint8_t>& row,
                      JpegError& err, jpeg_decompress_struct& info) {
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpeg_fail;
  err.mgr.emit_message = jpeg_quiet;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    std::snprintf(err.message, sizeof err.message, "CMYK JPEG not supported");
    jpeg_destroy_decompress(&info);
    return false;
  }
  uint64_t w = info.image_width, h = info.image_height;
  std::string size_error;
  if (!size_ok(w, h, size_error)) {
    std::snprintf(err.message, sizeof err.message, "%s", size_error.c_str());
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.width = int(info.output_width);
  out.height = int(info.output_height);
  out.pixels.assign(size_t(out.width) * size_t(out.height), 0);
  row.resize(size_t(out.width) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    size_t y = info.output_scanline;
    if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
    uint32_t* d = out.pixels.data() + y * size_t(out.width);
    for (int x = 0; x < out.width; ++x)
      d[x] = uint32_t(row[3 * size_t(x)]) << 16 | uint32_t(row[3 * size_t(x) + 1]) << 8 | row[3 * size_t(x) + 2];
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool decode_jpeg(const uint8_t* data, size_t size, DecodedPicture& out, std::string& error) {
  std::vector<uint8_t> row;
  JpegError err;
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  if (!decode_jpeg_into(data, size, out, row, err, info)) {
    error = std::string("damaged JPEG: ") + err.message;
    return false;
  }
  out.format = "jpeg";
  return true;
}

// ---- PNG ---------------------------------------------------------------------

struct PngState {
  MemoryReader reader;
  char message[200];
};

void png_read(png_structp png, png_bytep buffer, png_size_t n) {
  auto* s = static_cast<PngState*>(png_get_io_ptr(png));
  if (s->reader.size - s->reader.at < n) png_error(png, "truncated PNG");
  std::memcpy(buffer, s->reader.data + s->reader.at, n);
  s->reader.at += n;
}

void png_fail(png_structp png, png_const_charp message) {
  auto* s = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(s->message, sizeof s->message, "%s", message);
  png_longjmp(png, 1);
}

void png_quiet(png_structp, png_const_charp) {}

bool decode_png_into(PngState& state, DecodedPicture& out, std::vector<uint8_t>& rgba) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, png_fail, png_quiet);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  png_set_user_limits(png, PictureDecoder::kMaxDimension, PictureDecoder::kMaxDimension);
  png_set_chunk_malloc_max(png, 8u << 20);
  png_set_read_fn(png, &state, png_read);
  png_read_info(png, info);
  png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  std::string size_error;
  if (!size_ok(w, h, size_error)) png_error(png, "picture too large");
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(w) * 4) png_error(png, "unexpected PNG row layout");
  rgba.assign(size_t(w) * size_t(h) * 4, 0);
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < h; ++y) png_read_row(png, rgba.data() + size_t(y) * size_t(w) * 4, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  out.width = int(w);
  out.height = int(h);
  return true;
}

bool decode_png(const uint8_t* data, size_t size, DecodedPicture& out, std::string& error) {
  PngState state{{data, size, 0}, {0}};
  std::vector<uint8_t> rgba;
  if (!decode_png_into(state, out, rgba)) {
    error = std::string("damaged PNG: ") + state.message;
    return false;
  }
  out.pixels.resize(size_t(out.width) * size_t(out.height));
  for (size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = over_black(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]);
  out.format = "png";
  return true;
}

// ---- WebP --------------------------------------------------------------------

bool decode_webp(const uint8_t* data, size_t size, DecodedPicture& out, std::string& error) {
  int w = 0, h = 0;
  if (!WebPGetInfo(data, size, &w, &h)) {
    error = "damaged WebP header";
    return false;
  }
  if (!size_ok(uint64_t(w), uint64_t(h), error)) return false;
  std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4);
  if (!WebPDecodeRGBAInto(data, size, rgba.data(), rgba.size(), w * 4)) {
    error = "damaged WebP data";
    return false;
  }
  out.width = w;
  out.height = h;
  out.pixels.resize(size_t(w) * size_t(h));
  for (size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = over_black(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]);
  out.format = "webp";
  return true;
}

class PosixPictureDecoder : public PictureDecoder {
 public:
  bool decode(const uint8_t* data, size_t size, DecodedPicture& out, std::string& error) override {
    out = DecodedPicture();
    error.clear();
    bool ok = false;
    if (!data || size < 12) {
      error = "not a picture";
    } else if (std::memcmp(data, "GIF8", 4) == 0) {
      ok = decode_gif(data, size, out, error);
    } else if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
      ok = decode_jpeg(data, size, out, error);
    } else if (std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
      ok = decode_png(data, size, out, error);
    } else if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0) {
      ok = decode_webp(data, size, out, error);
    } else {
      error = "unknown picture format";
    }
    if (!ok) out = DecodedPicture();
    return ok;
  }
};

}  // namespace

std::unique_ptr<PictureDecoder> make_posix_picture_decoder() { return std::make_unique<PosixPictureDecoder>(); }

}  // namespace kivo::port
