// kvImage: creation from a configuration string and the graphic messages.
#include "toolkit/core/image.h"

#include <cstdarg>
#include <string>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/draw.h"
#include "toolkit/core/font.h"
#include "toolkit/core/imagefile.h"
#include "toolkit/core/stdout.h"

namespace {

const char* str(intptr_t v) { return reinterpret_cast<const char*>(v); }
int i32(intptr_t v) { return static_cast<int>(v); }

// Draws XPM lines at (x, y) with a palette code, optionally giving the
// picture a palette of 256 colours first.
bool draw_xpm(kvpxmap* dst, int x, int y, const char* const* lines, int palettecode, const int* palette) {
  if (!lines) return false;
  kvpxmap picture;
  kvpxmap_init(&picture);
  if (!kvpxmap_createfrommem_xpm(&picture, lines)) {
    kvpxmap_free(&picture);
    return false;
  }
  if (palette)
    for (int i = 0; i < 256; ++i) kvpxmap_setpalette(&picture, i, palette[i]);
  if (x >= 0 && y >= 0) kvpxmap_merge4(dst, &picture, x, y, 0, 0, -1, -1, palettecode);
  kvpxmap_free(&picture);
  return true;
}

}  // namespace

kvImage::kvImage() : kvpxmap() { kvpxmap_init(this); }

kvImage::kvImage(const char* format, ...) : kvpxmap() {
  kvpxmap_init(this);
  if (!format) return;
  va_list args;
  va_start(args, format);
  std::string text = kvcfgstr_vformat(format, args);
  va_end(args);
  create_from(text.c_str());
}

kvImage::kvImage(int w, int h) : kvpxmap() {
  kvpxmap_init(this);
  create_from(kvcfgstr_format("xs=%d,ys=%d", w, h).c_str());
}

kvImage::~kvImage() { release(); }

void kvImage::release() {
  kvstdout_clear(&kvImage::message, reinterpret_cast<intptr_t>(this));
  kvpxmap_free(this);
  initialized = false;
}

bool kvImage::create(const char* format, ...) {
  if (!format) return false;
  va_list args;
  va_start(args, format);
  std::string text = kvcfgstr_vformat(format, args);
  va_end(args);
  return create_from(text.c_str());
}

bool kvImage::create_from(const char* text) {
  release();
  kvcfgstr_tokens t;
  kvcfgstr_split(text, t);
  std::string file;
  kvcfgstr_image(t, 0, file);
  uint32_t format = KVPX_TRUECOLOR;
  kvcfgstr_pxtype(t, 0, format);
  int background = -1;
  kvcfgstr_bgcolor(t, 0, background);
  kvcfg_offsets at;
  kvcfgstr_offsets(t, 0, at);
  const int x = at.x < 0 ? 0 : at.x, y = at.y < 0 ? 0 : at.y;
  int w = at.width, h = at.height;
  const bool own_stdout = !kvcfgstr_lookup_flag(text, "nostdout") && !kvcfgstr_lookup_flag(text, "nostandardout");

  bool load_file = !file.empty();
  if (load_file) {
    const int type = kvfiletype(file.c_str());
    if (type == KVFILE_BMP || type == KVFILE_XPM || type == KVFILE_PPM || type == KVFILE_PCX) {
      int fw = 0, fh = 0;
      if (kvgetpicturesizes(file.c_str(), &fw, &fh)) w = fw, h = fh;
      else load_file = false;
    }
  }
  kvpxmap::width = w;
  kvpxmap::height = h;
  kvpxmap::format = format;
  const bool allocated = w > 0 && h > 0 && kvpxmap_allocate(this);
  if (!allocated) {
    kvpxmap_free(this);
  } else {
    if (own_stdout) kvstdout_set(&kvImage::message, reinterpret_cast<intptr_t>(this));
    if (background != -1) kvpxmap_clear(this, background);
    if (load_file) load((file + kvcfgstr_format(",x=%d,y=%d", x, y)).c_str());
  }
  initialized = true;
  return allocated;
}

intptr_t kvImage::message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5,
                          intptr_t a6, intptr_t a7, intptr_t) {
  auto* image = reinterpret_cast<kvImage*>(object);
  return image ? image->answer(code, a1, a2, a3, a4, a5, a6, a7) : 0;
}

intptr_t kvImage::answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                         intptr_t a7) {
  kvpxmap* p = this;
  switch (code) {
    case KVG_SETPIXEL: setpixel(i32(a1), i32(a2), i32(a3)); return 1;
    case KVG_CIRCLE: kvdraw_circle(p, i32(a1), i32(a2), i32(a3), i32(a4)); return 1;
    case KVG_FILLCIRCLE: kvdraw_fillcircle(p, i32(a1), i32(a2), i32(a3), i32(a4)); return 1;
    case KVG_RECT: kvdraw_rect(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_FRAME3D: kvdraw_frame3d(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5), i32(a6)); return 1;
    case KVG_FILLRECT: kvdraw_fillrect(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_BOX3D: kvdraw_box3d(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5), i32(a6), i32(a7)); return 1;
    case KVG_SHADOWRECT: kvdraw_shadowrect(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_LINE: kvdraw_line(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_LINETO: kvdraw_lineto(p, i32(a1), i32(a2), i32(a3)); return 1;
    case KVG_MOVETO: kvdraw_moveto(p, i32(a1), i32(a2)); return 1;
    case KVG_DASHTO: kvdraw_dashto(p, i32(a1), i32(a2), i32(a3)); return 1;
    case KVG_FLOODFILL: kvdraw_floodfill(p, i32(a1), i32(a2), i32(a3)); return 1;
    case KVG_ARC: kvdraw_arc(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5), i32(a6), i32(a7)); return 1;
    case KVG_ELLIPSE: kvdraw_ellipse(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_FILLELLIPSE: kvdraw_fillellipse(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5)); return 1;
    case KVG_NOTHING: return 1;
    case KVG_CLEAR: clear(i32(a1)); return 1;
    case KVG_TEXT: text(i32(a1), i32(a2), i32(a3), str(a4)); return 1;
    case KVG_WRAPTEXT: return wraptext(i32(a1), i32(a2), i32(a3), i32(a4), i32(a5), str(a6));
    case KVG_CENTERTEXT: centertext(i32(a1), i32(a2), str(a3)); return 1;
    case KVG_SAVE: return save(str(a1));
    case KVG_LOAD: return load(str(a1));
    case KVG_XPM: {
      int palettecode = 0;
      if (str(a4)) {
        kvcfgstr_tokens t;
        kvcfgstr_split(str(a4), t);
        kvcfgstr_palettecode(t, 0, palettecode);
      }
      return draw_xpm(p, i32(a1), i32(a2), reinterpret_cast<const char* const*>(a3), palettecode, nullptr);
    }
    case KVG_SETPALETTE: kvpxmap_setpalette(p, i32(a1), i32(a2)); return 1;
    case KVG_GETPIXEL: return getpixel(i32(a1), i32(a2));
    case KVG_SETFONT: setfont(i32(a1)); return 1;
    case KVG_LOADFONT: {
      // A description is registered under the text of its second line.
      auto lines = reinterpret_cast<const char* const*>(a1);
      if (!lines || !lines[0] || !lines[1]) return 0;
      int id = kvfont_load(lines, lines[1]);
      if (id) font = id;
      return id;
    }
    case KVG_SYSFONT: {
      int id = str(a1) ? kvfont_loadsystem("%s", str(a1)) : 0;
      if (id) font = id;
      return id;
    }
    case KVG_COPYIMAGE: {
      auto* source = reinterpret_cast<kvpxmap*>(a3);
      if (!source) return 0;
      kvpxmap_merge4(p, source, i32(a1), i32(a2), i32(a4), i32(a5), i32(a6), i32(a7), 0);
      return 1;
    }
    case KVG_TRANSCOLOR: settranscolor(i32(a1)); return 1;
    case KVG_TEXTWIDTH: return textwidth(str(a1));
    case KVG_FONTHEIGHT: return fontheight();
    case KVG_CHARWIDTH: return charwidth(i32(a1));
    case KVG_NOTHING2: return 1;
    case KVG_SELF: return reinterpret_cast<intptr_t>(this);
    case KVG_WIDTH: return width();
    case KVG_HEIGHT: return height();
    case KVG_MERGE: merge(i32(a1), i32(a2), reinterpret_cast<kvpxmap*>(a3)); return 1;
    case KVG_XPMPALETTE:
      return draw_xpm(p, i32(a1), i32(a2), reinterpret_cast<const char* const*>(a3), 0,
                      reinterpret_cast<const int*>(a4));
    case KVG_DASHLINE: kvdraw_dashline(p, i32(a1), i32(a2), i32(a3), i32(a4), i32(a5), i32(a6), i32(a7)); return 1;
    case KVG_CHAR: kvfont_drawchar(p, font, i32(a1), i32(a2), i32(a3), false, false, -1, i32(a4)); return 1;
    default: return 0;
  }
}

void kvImage::setpixel(int x, int y, int colour) { kvpxmap_setpixel(this, x, y, colour); }
int kvImage::getpixel(int x, int y) const { return kvpxmap_getpixel(this, x, y); }
void kvImage::clear(int colour) { kvpxmap_clear(this, colour); }

void kvImage::text(int x, int y, int colour, const char* t) {
  kvfont_drawtext(this, font, x, y, colour, false, false, -1, 0, -1, t);
}

void kvImage::centertext(int y, int colour, const char* t) {
  text((width() - kvfont_textwidth(font, t)) / 2, y, colour, t);
}

int kvImage::wraptext(int x, int y, int w, int height_limit, int colour, const char* t) {
  return kvfont_wraptext(this, font, x, y, w, height_limit, colour, t, false);
}

bool kvImage::save(const char* configuration) {
  return configuration && kvpxmap_savetofile(this, "%s", configuration);
}

bool kvImage::load(const char* configuration) {
  return configuration && kvgraphic_gloadintern_file(this, configuration);
}

void kvImage::merge(int x, int y, kvpxmap* source) {
  if (source) kvpxmap_merge4(this, source, x, y, 0, 0, -1, -1, 0);
}

void kvImage::stretch(kvpxmap* source, int x, int y, int w, int h) {
  if (source) kvpxmap_stretch(this, source, x, y, w, h, 0, 0, 0, 0);
}

int kvImage::textwidth(const char* t) const { return kvfont_textwidth(font, t); }
int kvImage::fontheight() const { return kvfont_height(font); }
int kvImage::charwidth(int code) const { return kvfont_charwidth(font, code); }
void kvImage::settranscolor(int colour) { kvpxmap_settranscolor(this, colour); }

bool kvImage::convert(const char* name) {
  if (!name) return false;
  const std::string n = name;
  if (n.find("truecolor") != std::string::npos) return kvpxmap_convert2truecolor(this, -1);
  if (n.find("server") != std::string::npos) return kvpxmap_convert2server(this);
  if (n.find("palette") != std::string::npos || n.find("indexed") != std::string::npos)
    return kvpxmap_convert2palette8(this, -1);
  if (n.find("directx") != std::string::npos) return kvpxmap_convert2directx(this);
  return false;
}
