// Renders a sample sheet of every built-in font, the two families, a few
// system fonts and the drawing primitives into a PNG file, for looking at.
//
//   fontsheet OUT.png
#include <cstdio>
#include <string>

#include "toolkit/core/draw.h"
#include "toolkit/core/font.h"
#include "toolkit/core/image.h"
#include "toolkit/core/runtime.h"

namespace {

const char* kSample = "The quick brown fox jumps over the lazy dog. 0123456789 \xC4\xD6\xDC\xE4\xF6\xFC\xDF \x80 \x84quoted\x93";

int line(kvImage& image, int font, int y, const std::string& label, int colour = 0x000000) {
  const kvfont* f = kvfont_record(font);
  if (!f) return y;
  kvfont_drawtext(&image, -1, 8, y + (f->ysize - 13) / 2, 0x808080, false, false, -1, 0, -1, label.c_str());
  kvfont_drawtext(&image, font, 190, y, colour, false, false, -1, image.width() - 200, -1, kSample);
  return y + f->ysize + 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fontsheet OUT.png\n");
    return 2;
  }
  static char empty[] = "";
  static char* args[] = {empty, nullptr};
  kvinit(1, args);
  kvfont_loadfamilies();

  kvImage image("xs=1400,ys=3900,bgcolor=ffffff,nostdout");
  int y = 8;
  for (int i = 0; i < 11; ++i) y = line(image, kvfont_id(i), y, kvfont_record(kvfont_id(i))->name);
  y += 8;
  for (int i = 0; i < kvfont_count(); ++i) {
    const kvfont* f = kvfont_record(i);
    if (f && f->name.rfind("name=", 0) == 0) y = line(image, f->id, y, f->alias);
  }
  y += 8;
  const char* systems[] = {"Arial,points=10", "Arial,points=16", "Arial,points=24,bold", "Arial,points=20,italic",
                           "Arial,points=14,underlined", "Courier New,points=16", "Times New Roman,points=18",
                           "DejaVu Sans,ys=20", "Arial,xs=6,ys=18"};
  for (const char* s : systems) y = line(image, kvfont_loadsystem("%s", s), y, s, 0x000080);

  // Drawing primitives.
  y += 10;
  kvdraw_line(&image, 10, y, 200, y + 60, 0xC00000);
  kvdraw_dashline(&image, 10, y + 60, 200, y, 0x0000C0, 3, 3);
  kvdraw_rect(&image, 220, y, 60, 60, 0);
  kvdraw_box3d(&image, 300, y, 60, 60, 0xC0C0C0, 0xFFFFFF, 0x404040);
  kvdraw_shadowrect(&image, 380, y, 60, 58, 0x404040);
  kvdraw_circle(&image, 490, y + 30, 30, 0x008000);
  kvdraw_fillcircle(&image, 560, y + 30, 25, 0x00A0A0);
  kvdraw_ellipse(&image, 640, y + 30, 40, 20, 0x800080);
  kvdraw_fillellipse(&image, 740, y + 30, 40, 20, 0xC08000);
  kvdraw_arc(&image, 830, y + 30, 30, 30, 0, 180, 0xC00000);
  kvdraw_rect(&image, 880, y, 60, 60, 0);
  kvdraw_circle(&image, 910, y + 30, 20, 0);
  kvdraw_floodfill(&image, 910, y + 30, 0xFFD000);
  kvdraw_floodfill(&image, 882, y + 2, 0xA0C0FF);
  const char* arrows[] = {"up", "down", "left", "right", "double left", "double right"};
  for (int i = 0; i < 6; ++i) {
    kvdraw_box3d(&image, 960 + i * 24, y, 20, 20, 0xC0C0C0, 0xFFFFFF, 0x404040);
    kvdraw_arrow(&image, arrows[i], 960 + i * 24, y, 20, 20, 0);
    if (i < 4) kvdraw_smallarrow(&image, arrows[i], 960 + i * 24, y + 24, 20, 14, 0);
    if (i < 4) kvdraw_bigarrow(&image, arrows[i], 960 + i * 24, y + 40, 20, 20, 0);
  }
  for (int style = 1; style <= 5; ++style) {
    kvpxmap_fillrect(&image, 1110 + (style - 1) * 56, y, 50, 26, 0xD4D0C8);
    kvdraw_decoration(&image, style, false, 1110 + (style - 1) * 56, y, 50, 26, -1, -1, -1, -1);
    kvpxmap_fillrect(&image, 1110 + (style - 1) * 56, y + 32, 50, 26, 0xD4D0C8);
    kvdraw_decoration(&image, style, true, 1110 + (style - 1) * 56, y + 32, 50, 26, -1, -1, -1, -1);
  }
  y += 70;
  kvpxmap_fillrect(&image, 6, y - 4, 180, 21, 0xD4D0C8);
  kvfont_drawtext(&image, -1, 10, y, 0, true, false, -1, 0, -1, "Raised text in builtin 6x13", 0xFFFFFF, 0x808080);
  kvfont_drawtext(&image, -2, 250, y, 0x000080, false, false, 0xFFFF80, 0, 0, "Hot-key underline, background");
  kvfont_drawtext(&image, -1, 500, y, 0, false, false, -1, 150, -1, "An ellipsis cuts this long text short");
  kvfont_wraptext(&image, kvfont_findalias("Arial12"), 700, y, 300, 60, 0,
                  "Word wrapping: this paragraph is wrapped into lines of three hundred pixels, "
                  "and an overlongwordthatdoesnotfitintoanylinebreaksanywhere.",
                  false);
  y += 70;

  kvImage cropped("xs=1400,ys=%d,nostdout", y);
  kvpxmap_merge4(&cropped, &image, 0, 0, 0, 0, 1400, y, 0);
  if (!cropped.save(argv[1])) {
    std::fprintf(stderr, "fontsheet: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("fontsheet: %s, 1400 x %d\n", argv[1], y);
  return 0;
}
