// kvImage: a pixmap with a current font, created from a configuration string
// (optionally loading a picture file), that answers the graphic messages of
// stdout.h. An image is a kvpxmap and can be used wherever one is.
//
// Configuration: load=/image=/img=FILE, a pixmap format keyword (default
// truecolor), x=, y= (where the file goes), xs=, ys= (the size; a BMP, XPM,
// PPM or PCX file gives its own), bgcolor= (clears the image), and
// "nostdout"/"nostandardout" to keep the image from becoming the standard
// output.
#pragma once

#include <cstdint>

#include "toolkit/core/pxmap.h"

class kvImage : public kvpxmap {
 public:
  kvImage();
  explicit kvImage(const char* format, ...) __attribute__((format(printf, 2, 3)));
  kvImage(int width, int height);
  ~kvImage();
  kvImage(const kvImage&) = delete;
  kvImage& operator=(const kvImage&) = delete;

  // Releases what the image held and creates it anew from a configuration.
  bool create(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The graphic message function (stdout.h); `object` is the image.
  static intptr_t message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                          intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);
  intptr_t answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                  intptr_t a7);

  void setpixel(int x, int y, int colour);
  int getpixel(int x, int y) const;
  void clear(int colour);
  void text(int x, int y, int colour, const char* text);
  void centertext(int y, int colour, const char* text);
  int wraptext(int x, int y, int width, int height_limit, int colour, const char* text);
  bool save(const char* configuration);
  bool load(const char* configuration);
  void merge(int x, int y, kvpxmap* source);
  void stretch(kvpxmap* source, int x, int y, int w, int h);
  void setfont(int font_id) { font = font_id; }
  int textwidth(const char* text) const;
  int fontheight() const;
  int charwidth(int code) const;
  int width() const { return kvpxmap::width; }
  int height() const { return kvpxmap::height; }
  void settranscolor(int colour);
  // "truecolor", "server", "palette"/"indexed" or "directx" in the name.
  bool convert(const char* name);

  bool initialized = false;
  int font = -1;  // -1: "builtin 6x13"

 private:
  bool create_from(const char* text);
  void release();
};
