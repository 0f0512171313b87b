// Loading pictures into pixmaps of any format; the size query and the
// configuration-driven load.
#include <cstdio>
#include <cstring>

#include "toolkit/core/imagefile_internal.h"
#include "toolkit/core/pxmap_internal.h"

namespace kivo::imagefile {

bool read_picture(const char* name, Decoder decode, kvpxmap* picture) {
  std::vector<uint8_t> file;
  if (!read_file(name, file)) return false;
  if (decode(file, picture)) return true;
  kvpxmap_free(picture);
  return false;
}

bool place_truecolor(kvpxmap* p, kvpxmap* picture, int x, int y, int w, int h,
                     const char* const* tokens, const char* loader, bool directx_ok,
                     bool server_replace) {
  x = x < 0 ? 0 : x;
  y = y < 0 ? 0 : y;
  bool ok = true;
  switch (p->format) {
    case KVPX_TRUECOLOR: {
      // Straight into the target; what passes its edges is dropped.
      int cw = w > 0 ? w : picture->width, ch = h > 0 ? h : picture->height;
      int sx = 0, sy = 0;
      pxmap::PixelView d = pxmap::pixel_view(p);
      if (d.pixels && pxmap::clip_copy(x, y, sx, sy, cw, ch, picture->width, picture->height, d.width, d.height))
        pxmap::copy_opaque(d, x, y, pxmap::pixel_view(picture), sx, sy, cw, ch);
      int colour;
      if (p->palette && std::strcmp(loader, "bmp") == 0 && transparent_colour(tokens, colour))
        p->palette[255] = picture->palette[255];
      ok = d.pixels != nullptr;
      break;
    }
    case KVPX_PALETTE8:
      ok = kvpxmap_convert2palette8(picture, -1);
      if (ok) kvpxmap_merge4(p, picture, x, y, 0, 0, w, h, palette_code(tokens));
      break;
    case KVPX_SERVER:
    case KVPX_DIRECTX: {
      if (p->format == KVPX_DIRECTX && !directx_ok) goto unsupported;
      if (server_replace && w == p->width && h == p->height && x == 0 && y == 0 &&
          picture->width == w && picture->height == h) {
        // The picture covers the target: it becomes the target.
        uint32_t target = p->format;
        kvpxmap_free(p);
        *p = *picture;
        kvpxmap_init(picture);
        return target == KVPX_SERVER ? kvpxmap_convert2server(p) : kvpxmap_convert2directx(p);
      }
      kvpxmap_merge4(p, picture, x, y, 0, 0, w, h, 0);
      break;
    }
    default:
    unsupported:
      std::printf("kvpxmap_loadfromfile_%s: PX-Format %d not supported (should load and copy then)\n",
                  loader, int(p->format));
      ok = false;
  }
  kvpxmap_free(picture);
  return ok;
}

}  // namespace kivo::imagefile

using namespace kivo::imagefile;

bool kvgetpicturesizes(const char* name, int* width, int* height) {
  int type = kvfiletype(name);
  if (type != KVFILE_BMP && type != KVFILE_XPM && type != KVFILE_PPM && type != KVFILE_PCX) {
    std::printf("kvgetpicturesizes: unsupported format (%s)\n", name ? name : "");
    return false;
  }
  std::vector<uint8_t> file;
  if (!read_file(name, file)) return false;
  int w = 0, h = 0;
  bool ok = false;
  switch (type) {
    case KVFILE_BMP: ok = size_bmp(file, w, h); break;
    case KVFILE_PCX: ok = size_pcx(file, w, h); break;
    case KVFILE_PPM: ok = size_ppm(file, w, h); break;
    case KVFILE_XPM: {
      std::vector<std::string> lines = xpm_lines(file);
      ok = !lines.empty() && std::sscanf(lines[0].c_str(), "%d %d", &w, &h) == 2;
      break;
    }
  }
  if (!ok) return false;
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

bool kvgraphic_gloadintern_file(kvpxmap* p, const char* configuration) {
  Config c = parse_config(configuration ? configuration : "");
  const std::string& name = c.file;
  const kvcfg_offsets& o = c.offsets;
  int x = o.x < 0 ? 0 : o.x, y = o.y < 0 ? 0 : o.y, w = o.width, h = o.height;
  switch (kvfiletype(name.c_str())) {
    case KVFILE_BMP: return kvpxmap_loadfromfile_bmp(p, name.c_str(), c.list.data(), x, y, w, h);
    case KVFILE_XPM: return kvpxmap_loadfromfile_xpm(p, name.c_str(), c.list.data(), x, y, w, h);
    case KVFILE_PPM: return kvpxmap_loadfromfile_ppm(p, name.c_str(), c.list.data(), x, y, w, h);
    case KVFILE_PCX: return kvpxmap_loadfromfile_pcx(p, name.c_str(), c.list.data(), x, y, w, h);
    default: std::printf("kvgraphic_gloadintern_file: unsupported format (%s)\n", name.c_str()); return false;
  }
}
