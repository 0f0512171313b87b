// Configuration strings from arbitrary bytes: escaping, formatting as an
// argument, splitting, every keyword group, geometry, lookups and leftovers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/core/cfgstr.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/geometry.h"

namespace {

// Every group parser in the order a kind might run them, on one list.
void run_groups(kvcfgstr_tokens& t, int start) {
  int i = 0;
  bool b = false;
  uint32_t format = 0;
  std::string s;
  std::vector<std::string> items;
  kvcfgstr_border(t, start, i);
  kvcfgstr_font(t, start, i);
  kvcfgstr_grey(t, start, b);
  kvcfgstr_nofocus(t, start, b);
  kvcfgstr_bgcolor(t, start, i);
  kvcfgstr_textcolor(t, start, i);
  kvcfgstr_transcolor(t, start, i);
  kvcfgstr_color_attr(t, start, i);
  kvcfgstr_highlightcolor(t, start, i);
  kvcfgstr_activecolor(t, start, i);
  kvcfg_btnattr btn;
  kvcfgstr_btnattr(t, start, btn);
  kvcfg_chkattr chk;
  kvcfgstr_chkattr(t, start, chk);
  kvcfgstr_entries(t, start, items, 100);
  kvcfgstr_align(t, start, b);
  kvcfg_lineinput li;
  kvcfgstr_lineinput(t, start, li);
  kvcfg_textattr ta;
  kvcfgstr_textattr(t, start, ta);
  kvcfg_filedialog fd;
  kvcfgstr_filedialog(t, start, fd);
  kvcfg_dirlist dl;
  kvcfgstr_dirlist(t, start, dl);
  kvcfgstr_image(t, start, s);
  kvcfgstr_palettecode(t, start, i);
  kvcfg_offsets off;
  kvcfgstr_offsets(t, start, off);
  kvcfgstr_pxtype(t, start, format);
  kvcfg_scrollbars sb;
  kvcfgstr_scrollbars(t, start, sb);
  kvcfg_viewpxmap vp;
  kvcfgstr_viewpxmap(t, start, vp);
  kvcfg_slide sl;
  kvcfgstr_slide(t, start, sl);
  kvcfg_fontattr fa;
  kvcfgstr_fontattr(t, start, fa);
  kvcfg_tabs tabs;
  kvcfgstr_tabs(t, start, tabs);
  kvcfg_updown ud;
  kvcfgstr_updown(t, start, ud);
  kvcfgstr_menus(t, start, items);
  kvcfg_winattr wa;
  kvcfgstr_winattr(t, start, wa);
  kvcfg_winbars wb;
  kvcfgstr_winbars(t, start, wb);
  kvcfg_content ct;
  kvcfgstr_content(t, start, ct);
  kvcfgstr_flag(t, start, "autofocus", b);
}

void run_geometry(kvcfgstr_tokens t, int start, int parent_w, int parent_h) {
  kvgeometry g;
  kvgeometry_init(&g);
  kvgeometry_setparent(&g, parent_w, parent_h);
  kvcfgstr_geometry(t, start, &g);
  kvgeometry_defaultwidth(&g, 80);
  kvgeometry_defaultheight(&g, 20);
  kvgeometry_resolve(&g);
  kvgeometry_store(&g);
  kvgeometry_resolve(&g);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The parsers' diagnostics ("font not loaded/found", hot keys) are noise here.
  if (!std::freopen("/dev/null", "w", stdout)) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  int parent_w = static_cast<int8_t>(data[0]) * 37;
  int parent_h = static_cast<int8_t>(data[1]) * 1000003;
  int start = data[2] % 3;
  std::string text(reinterpret_cast<const char*>(data + 3), size - 3);

  // Escaping takes any bytes; formatting only with the text as an argument.
  std::string escaped = kvcfgstr_escape(text);
  std::string formatted = kvcfgstr_format("%s,x=%d%,%s", text.c_str(), parent_w, text.c_str());

  kvcfgstr_tokens t;
  kvcfgstr_split(text, t);
  run_geometry(t, start, parent_w, parent_h);
  run_groups(t, start);
  std::string rest = kvcfgstr_leftover(t, start);

  kvcfgstr_tokens* heap = kvcfgstr_split_alloc(formatted);
  run_geometry(*heap, 0, 640, 480);
  run_groups(*heap, 0);
  kvcfgstr_free(heap);

  // The lookups with a name taken from the text itself.
  std::string name = text.substr(0, text.size() % 7);
  kvcfgstr_lookup_flag(text, name);
  kvcfgstr_lookup_int(text, name, 0);
  std::string out;
  kvcfgstr_lookup_text(text, name, out);

  int colour = 0;
  int unit;
  kvcfgstr_color(text, colour);
  kvcfgstr_unitvalue(text, &unit);
  kvcfgstr_intvalue(text);
  kvcfgstr_real(text);
  kvcfgstr_int(text);
  kvcfgstr_hotkey(text);
  std::vector<std::string> items;
  kvcfgstr_list(text, items, 50);
  return 0;
}
