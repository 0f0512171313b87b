// Keyword groups of configuration strings: one parser per group.
//
// Every parser takes the token list, the start index and what it fills. It
// changes only what the string gives, so the caller sets its kind's defaults
// first (the record types below start from the defaults the kinds use).
// Keywords are compared without blanks and tabs and ignoring ASCII case;
// "a/b" are synonyms; a keyword ending in "=" takes the rest of the token as
// its value. Of two tokens setting the same value the later wins, except in
// kvcfgstr_font and kvcfgstr_image, where only the first counts, and in
// kvcfgstr_border, whose scan ends at the first border keyword. Values lose
// their blanks, except the texts of title=, caption=, filter=, dir=,
// directory=, defaultext=, defaultextension=, extension=, ext=, suggestion=,
// entries=, contents=, menus=, tabs=, tabulators=, load=, image= and img=,
// which are taken as written after the first "=".
//
// Numbers ("N") follow kvcfgstr_int, reals kvcfgstr_real, colours
// kvcfgstr_color (an unusable colour leaves the value), lists kvcfgstr_list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/cfgstr.h"

// border=N: width N; border: 2; noborder: 0. The first of them ends the scan
// (so "border,border=5" gives 2); other tokens beginning with border stay.
void kvcfgstr_border(kvcfgstr_tokens& t, int start, int& border);

// font=NAME: a built-in name (6x13, 6x13b/6x13bold, 9x15, 9x15b/9x15bold,
// 8x16, 8x16b/8x16bold, 12x24, 5x7, 8x8, var13/variable13/13var/13variable)
// selects that built-in font, any other name the loaded font with that alias
// (ASCII case ignored); fontid=N: font identifier N. Only the first font= or
// fontid= token counts. A name that is not loaded prints
// "font not loaded/found: NAME" and leaves font unchanged.
void kvcfgstr_font(kvcfgstr_tokens& t, int start, int& font);

// grey/greyed: shown greyed out, does not react.
void kvcfgstr_grey(kvcfgstr_tokens& t, int start, bool& grey);
// nokeyfocus/nofocus/skip/focus=0/focus=no/keyfocus=0/keyfocus=no.
void kvcfgstr_nofocus(kvcfgstr_tokens& t, int start, bool& nofocus);
// bgcol=/bgcolor=/backgroundcolor=/background=.
void kvcfgstr_bgcolor(kvcfgstr_tokens& t, int start, int& colour);
// color=/col=/txtcol=/textcol=/textcolor=; true when one was given.
bool kvcfgstr_textcolor(kvcfgstr_tokens& t, int start, int& colour);
// transcolor=/transparentcol=/transparentcolor=.
void kvcfgstr_transcolor(kvcfgstr_tokens& t, int start, int& colour);
// color=/col=: the box colour of check boxes.
void kvcfgstr_color_attr(kvcfgstr_tokens& t, int start, int& colour);
// highlightcolor=: colour under the pointer (hyperlink-style buttons).
void kvcfgstr_highlightcolor(kvcfgstr_tokens& t, int start, int& colour);
// activecolor=: colour while pressed (hyperlink-style buttons).
void kvcfgstr_activecolor(kvcfgstr_tokens& t, int start, int& colour);

// Buttons and switch buttons.
struct kvcfg_btnattr {
  bool arrow = false;       // arrow, bigarrow, smallarrow
  int arrowsize = 0;        // 0 normal (arrow), 1 big (bigarrow), 2 small (smallarrow)
  bool flat = false;        // flat
  bool nofocus = false;     // skip/nofocus
  bool isdefault = false;   // default/defaultbutton: activated by Enter
  bool mouserepeat = false; // mouserepeat: repeats while held
  bool thinframe = false;   // singleborder/thinborder/singleframe/thinframe
  bool hyperlink = false;   // hyperlink/hyperlinkstyle/hlink/hlinkstyle/text/no3d/2d
  bool toggle = false;      // switch/keeppressed
  bool toolbutton = false;  // toolbutton
  bool pressed = false;     // pressed/checked/on: initially pressed
  int hotkey = 0;           // hotkey=KEY (kvcfgstr_hotkey); 0 none
};
void kvcfgstr_btnattr(kvcfgstr_tokens& t, int start, kvcfg_btnattr& a);

// Check boxes.
struct kvcfg_chkattr {
  bool checked = false;     // checked
  bool round = false;       // round
  bool boxonly = false;     // boxonly: no caption
  bool flat = false;        // 2d/no3d
  bool lightframe = false;  // lightframe
};
void kvcfgstr_chkattr(kvcfgstr_tokens& t, int start, kvcfg_chkattr& a);

// entries=/contents=: the items (as written). Returns their number, or -1
// (items unchanged) when there is no such token. At most max_items (0: no
// limit) are kept.
int kvcfgstr_entries(kvcfgstr_tokens& t, int start, std::vector<std::string>& items,
                     int max_items = 0);
// right/align=right/rightaligned.
void kvcfgstr_align(kvcfgstr_tokens& t, int start, bool& right);

// Line inputs and up-down controls.
struct kvcfg_lineinput {
  int maxlen = 0;           // maxlen=N
  std::string text;         // default=TEXT (blanks removed)
  bool has_text = false;    // a default= was given
  bool right = false;       // align=right/alignright/rightalign
  bool keepfocus = false;   // nofocusswitchwithenter/keepfocus
  bool password = false;    // password
};
void kvcfgstr_lineinput(kvcfgstr_tokens& t, int start, kvcfg_lineinput& a);

// Edits and markup pages.
struct kvcfg_textattr {
  int lines = 0;            // lines=N
  int columns = 0;          // columns=N
  int tabspace = 0;         // tabspace=N/tabs=N
  bool colored = false;     // colored
  bool showlinenumbers = false;
  bool autoindent = false;
  bool wordbreak = false;
};
void kvcfgstr_textattr(kvcfgstr_tokens& t, int start, kvcfg_textattr& a);

// File dialogs.
struct kvcfg_filter {
  std::string pattern;      // before the first "|"
  std::string description;  // after it (empty when none)
};
struct kvcfg_filedialog {
  std::string title;        // title=/caption=
  std::vector<kvcfg_filter> filters;  // filter=PATTERN[|DESCRIPTION], repeatable, in order
  std::string dir;          // dir=/directory=
  std::string defaultext;   // defaultext=/defaultextension=/extension=/ext=
  std::string suggestion;   // suggestion=
  bool save = false;        // save/savedialog
  bool mustnotexist = false;
};
void kvcfgstr_filedialog(kvcfgstr_tokens& t, int start, kvcfg_filedialog& a);

// Folder listings.
struct kvcfg_dirlist {
  bool recursive = false;
  bool dirs = false;        // dirs/showdirs
  bool hidden = false;      // hidden/showhidden
  bool casesensitive = false;
};
void kvcfgstr_dirlist(kvcfgstr_tokens& t, int start, kvcfg_dirlist& a);

// load=/image=/img=FILE (as written); only the first counts. True when given.
bool kvcfgstr_image(kvcfgstr_tokens& t, int start, std::string& file);
// palettecode=N.
void kvcfgstr_palettecode(kvcfgstr_tokens& t, int start, int& code);

// Source offset and size of a picture: x=, y=, xs=/width=, ys=/height=,
// integer form (units ignored); -1 where not given.
struct kvcfg_offsets {
  int x = -1;
  int y = -1;
  int width = -1;
  int height = -1;
};
void kvcfgstr_offsets(kvcfgstr_tokens& t, int start, kvcfg_offsets& a);

// palette/palette8/palette_8/indexed: 1; palette16/palette_16: 2;
// truecolor: 3; server: 4; screen: 5; directx: 6 (KVPX_* of pxmap.h).
void kvcfgstr_pxtype(kvcfgstr_tokens& t, int start, uint32_t& format);

// nohorizontalscrollbar / noverticalscrollbar clear the permissions.
struct kvcfg_scrollbars {
  bool horizontal = true;
  bool vertical = true;
};
void kvcfgstr_scrollbars(kvcfgstr_tokens& t, int start, kvcfg_scrollbars& a);

// The page pixmap of views.
struct kvcfg_viewpxmap {
  int width = 0;            // pxmapxs=/pxmap_xs=/pixmapxs=/pixmap_xs=/bitmapxs=/bitmap_xs=/bmpxs=/bmp_xs=/pxs=
  int height = 0;           // the same names with ys, and pys=
  int colors = 0;           // colors=/pxmapcolors=/pixmapcolors=/... /bmp_colors=
  uint32_t format = 0;      // pxmap=/pixmap=/bmp=/bitmap=/pxmaptype=/pixmaptype=/bmptype=/bitmaptype=
                            // palette, palette8, palette_8, indexed, palette16, palette_16,
                            // truecolor, screen, server; 0 when not given. palette8 with
                            // more than 256 colours becomes palette16.
  bool noredraw = false;    // drawoff/noredraw/norefresh/redraw=0/refresh=0/redraw=off/refresh=off
  bool directdraw = false;
  bool nostandardview = false;
  bool opengl = false;
};
void kvcfgstr_viewpxmap(kvcfgstr_tokens& t, int start, kvcfg_viewpxmap& a);

// Slides.
struct kvcfg_slide {
  double start = 0;         // default=/def=/start=X
  bool showpos = false;
};
void kvcfgstr_slide(kvcfgstr_tokens& t, int start, kvcfg_slide& a);

// System fonts.
struct kvcfg_fontattr {
  bool bold = false;
  bool italic = false;
  bool underlined = false;  // underlined/understriked
  int width = 0;            // xs=/width=
  int height = 0;           // ys=/height=
  int ascent = 0;
  int descent = 0;
  int points = 0;
  int xsextra = 0;
};
void kvcfgstr_fontattr(kvcfgstr_tokens& t, int start, kvcfg_fontattr& a);

// Tab bars.
struct kvcfg_tabs {
  std::vector<std::string> tabs;  // tabs=/tabulators= (as written)
  int style = 0;                  // greystyle/graystyle/style=2/style2: 2
  int autonumber = 0;             // autonumber=N
};
// Returns the number of tab texts, or -1 (tabs unchanged) when none given.
int kvcfgstr_tabs(kvcfgstr_tokens& t, int start, kvcfg_tabs& a, int max_items = 0);

// Up-down controls.
struct kvcfg_updown {
  int min = 0;
  int max = 0;
  int step = 0;
  int start = 0;            // default=/def=/start=
  int digits = 0;
  int decimal = 0;
};
void kvcfgstr_updown(kvcfgstr_tokens& t, int start, kvcfg_updown& a);

// menus=/entries=: popup-menu items (as written), "-" is a separator
// (kvcfgstr_is_separator). Returns the number of items, -1 when none given.
int kvcfgstr_menus(kvcfgstr_tokens& t, int start, std::vector<std::string>& items,
                   int max_items = 0);
inline bool kvcfgstr_is_separator(const std::string& item) { return item == "-"; }

// Windows. The defaults are kvWindow's: system menu on, fixed size.
struct kvcfg_winattr {
  bool fullscreen = false;
  bool modal = false;
  bool sysmenu = true;      // nosysmenu/sysmenu=0/nosystemmenu/systemmenu=0 clear it,
                            // sysmenu/sysmenu=1/systemmenu/systemmenu=1 set it
  bool resize = false;      // resize sets it, noresize clears it
  bool maximized = false;   // maximized/max/maximal
  bool noquit = false;      // closing neither quits nor destroys the window
  bool noclose = false;     // closing does not destroy the window
  bool popup = false;
  bool notitle = false;
  bool noredraw = false;    // noredraw/drawoff/norepaint/paintoff/nopaint
  int bgcolor = -1;         // bgcol=/bgcolor=/backgroundcolor=/background=
  bool nostandardview = false;
};
void kvcfgstr_winattr(kvcfgstr_tokens& t, int start, kvcfg_winattr& a);

// Bars of windows, heights in pixels (0: no bar). menu, toolbar, statusbar
// take guimetrics("menuheight"), ("toolbarheight"), ("statusbarheight");
// toolbar=N and statusbar=N give them explicitly.
struct kvcfg_winbars {
  int menu = 0;
  int toolbar = 0;
  int statusbar = 0;
};
void kvcfgstr_winbars(kvcfgstr_tokens& t, int start, kvcfg_winbars& a);

// Content size of windows.
struct kvcfg_content {
  int width = 0;            // cxs=/pxs=/contentxs=/contentwidth=/cwidth=
  int height = 0;           // cys=/pys=/contentys=/contentheight=/cheight=
};
void kvcfgstr_content(kvcfgstr_tokens& t, int start, kvcfg_content& a);
