// The keyword groups of configuration strings, each a table of rules for the
// common walk (cfgstr_rules.h). The keyword spellings here are the language.
#include "toolkit/core/cfgstr_groups.h"

#include "toolkit/core/cfgstr_rules.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/pxmap.h"

namespace {

using namespace kivo::cfgstr;
using kivo::cfgstr::list;  // not std::list

template <class Out>
constexpr Rule<Out> ending(Rule<Out> r) {
  r.ends_scan = true;
  return r;
}

using Int = One<int>;
using Flag = One<bool>;
using Text = One<std::string>;
using Items = One<std::vector<std::string>>;

// Runs a one-value group on a variable.
template <class T, std::size_t N>
int walk_one(kvcfgstr_tokens& t, int start, const Rule<One<T>> (&rules)[N], T& value,
             Walk how = {}) {
  One<T> one{value};
  int n = walk(t, start, rules, one, how);
  value = one.value;
  return n;
}

// ---- Common control attributes ----------------------------------------------------

constexpr Rule<Int> kBorder[] = {
    ending(integer("border=", &Int::value)),
    ending(constant("border", &Int::value, 2)),
    ending(constant("noborder", &Int::value, 0)),
};
constexpr Rule<Flag> kGrey[] = {set("grey/greyed", &Flag::value)};
constexpr Rule<Flag> kNoFocus[] = {
    set("nokeyfocus/nofocus/skip/focus=0/focus=no/keyfocus=0/keyfocus=no", &Flag::value)};
constexpr Rule<Int> kBgColour[] = {
    colour("bgcol=/bgcolor=/backgroundcolor=/background=", &Int::value)};
constexpr Rule<Int> kTextColour[] = {
    colour("color=/col=/txtcol=/textcol=/textcolor=", &Int::value)};
constexpr Rule<Int> kTransColour[] = {
    colour("transcolor=/transparentcol=/transparentcolor=", &Int::value)};
constexpr Rule<Int> kBoxColour[] = {colour("color=/col=", &Int::value)};
constexpr Rule<Int> kHighlightColour[] = {colour("highlightcolor=", &Int::value)};
constexpr Rule<Int> kActiveColour[] = {colour("activecolor=", &Int::value)};

// ---- Buttons and check boxes ------------------------------------------------------

using B = kvcfg_btnattr;
void arrow_normal(B& b, std::string_view) { b.arrow = true, b.arrowsize = 0; }
void arrow_big(B& b, std::string_view) { b.arrow = true, b.arrowsize = 1; }
void arrow_small(B& b, std::string_view) { b.arrow = true, b.arrowsize = 2; }
constexpr Rule<B> kButton[] = {
    custom("arrow", arrow_normal),
    custom("bigarrow", arrow_big),
    custom("smallarrow", arrow_small),
    set("flat", &B::flat),
    set("skip/nofocus", &B::nofocus),
    set("default/defaultbutton", &B::isdefault),
    set("mouserepeat", &B::mouserepeat),
    set("singleborder/thinborder/singleframe/thinframe", &B::thinframe),
    set("hyperlink/hyperlinkstyle/hlink/hlinkstyle/text/no3d/2d", &B::hyperlink),
    set("switch/keeppressed", &B::toggle),
    set("toolbutton", &B::toolbutton),
    set("pressed/checked/on", &B::pressed),
    hotkey("hotkey=", &B::hotkey),
};

using C = kvcfg_chkattr;
constexpr Rule<C> kCheckBox[] = {
    set("checked", &C::checked),  set("round", &C::round),
    set("boxonly", &C::boxonly),  set("2d/no3d", &C::flat),
    set("lightframe", &C::lightframe),
};

// ---- Lists, alignment, text inputs ----------------------------------------------

constexpr Rule<Items> kEntries[] = {list("entries=/contents=", &Items::value)};
constexpr Rule<Flag> kAlign[] = {set("right/align=right/rightaligned", &Flag::value)};

using L = kvcfg_lineinput;
void default_text(L& a, std::string_view v) { a.text = std::string(v), a.has_text = true; }
constexpr Rule<L> kLineInput[] = {
    integer("maxlen=", &L::maxlen),
    set("align=right/alignright/rightalign", &L::right),
    set("nofocusswitchwithenter/keepfocus", &L::keepfocus),
    set("password", &L::password),
    custom("default=", default_text),
};

using TA = kvcfg_textattr;
constexpr Rule<TA> kTextAttr[] = {
    integer("lines=", &TA::lines),
    integer("columns=", &TA::columns),
    integer("tabspace=/tabs=", &TA::tabspace),
    set("colored", &TA::colored),
    set("showlinenumbers", &TA::showlinenumbers),
    set("autoindent", &TA::autoindent),
    set("wordbreak", &TA::wordbreak),
};

// ---- File dialogs and folder listings ---------------------------------------------

using F = kvcfg_filedialog;
void add_filter(F& a, std::string_view v) {
  std::size_t bar = v.find('|');
  kvcfg_filter f;
  f.pattern = std::string(v.substr(0, bar));
  if (bar != std::string_view::npos) f.description = std::string(v.substr(bar + 1));
  a.filters.push_back(std::move(f));
}
constexpr Rule<F> kFileDialog[] = {
    text("title=/caption=", &F::title),
    custom("filter=", add_filter),
    text("dir=/directory=", &F::dir),
    text("defaultext=/defaultextension=/extension=/ext=", &F::defaultext),
    text("suggestion=", &F::suggestion),
    set("save/savedialog", &F::save),
    set("mustnotexist", &F::mustnotexist),
};

using D = kvcfg_dirlist;
constexpr Rule<D> kDirList[] = {
    set("recursive", &D::recursive),
    set("dirs/showdirs", &D::dirs),
    set("hidden/showhidden", &D::hidden),
    set("casesensitive", &D::casesensitive),
};

// ---- Images and pixmaps -------------------------------------------------------------

constexpr Rule<Text> kImage[] = {text("load=/image=/img=", &Text::value)};
constexpr Rule<Int> kPaletteCode[] = {integer("palettecode=", &Int::value)};

using O = kvcfg_offsets;
void offset_x(O& a, std::string_view v) { a.x = kvcfgstr_intvalue(v); }
void offset_y(O& a, std::string_view v) { a.y = kvcfgstr_intvalue(v); }
void offset_w(O& a, std::string_view v) { a.width = kvcfgstr_intvalue(v); }
void offset_h(O& a, std::string_view v) { a.height = kvcfgstr_intvalue(v); }
constexpr Rule<O> kOffsets[] = {
    custom("xs=/width=", offset_w),
    custom("ys=/height=", offset_h),
    custom("x=", offset_x),
    custom("y=", offset_y),
};

using P = One<int>;
constexpr Rule<P> kPxType[] = {
    constant("palette/palette8/palette_8/indexed", &P::value, static_cast<int>(KVPX_PALETTE8)),
    constant("palette16/palette_16", &P::value, static_cast<int>(KVPX_PALETTE16)),
    constant("truecolor", &P::value, static_cast<int>(KVPX_TRUECOLOR)),
    constant("server", &P::value, static_cast<int>(KVPX_SERVER)),
    constant("screen", &P::value, static_cast<int>(KVPX_SCREEN)),
    constant("directx", &P::value, static_cast<int>(KVPX_DIRECTX)),
};

// ---- Views ------------------------------------------------------------------------------

using S = kvcfg_scrollbars;
constexpr Rule<S> kScrollBars[] = {
    clear("nohorizontalscrollbar", &S::horizontal),
    clear("noverticalscrollbar", &S::vertical),
};

using V = kvcfg_viewpxmap;
void view_format(V& a, std::string_view v) {
  kvcfgstr_tokens one{std::string(v)};
  P format{static_cast<int>(a.format)};
  // The format names of the view are those of kvcfgstr_pxtype but directx.
  if (walk(one, 0, kPxType, format) && format.value != static_cast<int>(KVPX_DIRECTX))
    a.format = static_cast<uint32_t>(format.value);
}
constexpr Rule<V> kViewPixmap[] = {
    integer("pxmapxs=/pxmap_xs=/pixmapxs=/pixmap_xs=/bitmapxs=/bitmap_xs=/bmpxs=/bmp_xs=/pxs=",
            &V::width),
    integer("pxmapys=/pxmap_ys=/pixmapys=/pixmap_ys=/bitmapys=/bitmap_ys=/bmpys=/bmp_ys=/pys=",
            &V::height),
    integer("colors=/pxmapcolors=/pixmapcolors=/pxmap_colors=/pixmap_colors=/bitmapcolors=/"
            "bitmap_colors=/bmpcolors=/bmp_colors=",
            &V::colors),
    custom("pxmap=/pixmap=/bmp=/bitmap=/pxmaptype=/pixmaptype=/bmptype=/bitmaptype=", view_format),
    set("drawoff/noredraw/norefresh/redraw=0/refresh=0/redraw=off/refresh=off", &V::noredraw),
    set("directdraw", &V::directdraw),
    set("nostandardview", &V::nostandardview),
    set("opengl", &V::opengl),
    keep<V>("stretch=/xstretch=/ystretch="),  // read by the view itself
};

// ---- Slides, fonts, tabs, up-down controls, menus -------------------------------------

using SL = kvcfg_slide;
constexpr Rule<SL> kSlide[] = {
    real("default=/def=/start=", &SL::start),
    set("showpos", &SL::showpos),
};

using FA = kvcfg_fontattr;
constexpr Rule<FA> kFontAttr[] = {
    set("bold", &FA::bold),
    set("italic", &FA::italic),
    set("underlined/understriked", &FA::underlined),
    integer("xs=/width=", &FA::width),
    integer("ys=/height=", &FA::height),
    integer("ascent=", &FA::ascent),
    integer("descent=", &FA::descent),
    integer("points=", &FA::points),
    integer("xsextra=", &FA::xsextra),
};

using TB = kvcfg_tabs;
constexpr Rule<Items> kTabTexts[] = {list("tabs=/tabulators=", &Items::value)};
constexpr Rule<TB> kTabs[] = {
    constant("greystyle/graystyle/style=2/style2", &TB::style, 2),
    integer("autonumber=", &TB::autonumber),
};

using U = kvcfg_updown;
constexpr Rule<U> kUpDown[] = {
    integer("min=", &U::min),          integer("max=", &U::max),
    integer("step=", &U::step),        integer("default=/def=/start=", &U::start),
    integer("digits=", &U::digits),    integer("decimal=", &U::decimal),
};

constexpr Rule<Items> kMenus[] = {list("menus=/entries=", &Items::value)};

// ---- Windows ---------------------------------------------------------------------------

using W = kvcfg_winattr;
constexpr Rule<W> kWindow[] = {
    set("fullscreen", &W::fullscreen),
    set("modal", &W::modal),
    clear("nosysmenu/sysmenu=0/nosystemmenu/systemmenu=0", &W::sysmenu),
    set("sysmenu/sysmenu=1/systemmenu/systemmenu=1", &W::sysmenu),
    clear("noresize", &W::resize),
    set("resize", &W::resize),
    set("maximized/max/maximal", &W::maximized),
    set("noquit", &W::noquit),
    set("noclose", &W::noclose),
    set("popup", &W::popup),
    set("notitle", &W::notitle),
    set("noredraw/drawoff/norepaint/paintoff/nopaint", &W::noredraw),
    colour("bgcol=/bgcolor=/backgroundcolor=/background=", &W::bgcolor),
    set("nostandardview", &W::nostandardview),
};

using WB = kvcfg_winbars;
void menu_bar(WB& a, std::string_view) { a.menu = guimetrics("menuheight"); }
void tool_bar(WB& a, std::string_view) { a.toolbar = guimetrics("toolbarheight"); }
void status_bar(WB& a, std::string_view) { a.statusbar = guimetrics("statusbarheight"); }
constexpr Rule<WB> kWindowBars[] = {
    custom("menu", menu_bar),
    custom("toolbar", tool_bar),
    custom("statusbar", status_bar),
    integer("toolbar=", &WB::toolbar),
    integer("statusbar=", &WB::statusbar),
};

using CT = kvcfg_content;
constexpr Rule<CT> kContent[] = {
    integer("cxs=/pxs=/contentxs=/contentwidth=/cwidth=", &CT::width),
    integer("cys=/pys=/contentys=/contentheight=/cheight=", &CT::height),
};

}  // namespace

void kvcfgstr_border(kvcfgstr_tokens& t, int start, int& border) {
  walk_one(t, start, kBorder, border);
}
void kvcfgstr_grey(kvcfgstr_tokens& t, int start, bool& grey) { walk_one(t, start, kGrey, grey); }
void kvcfgstr_nofocus(kvcfgstr_tokens& t, int start, bool& nofocus) {
  walk_one(t, start, kNoFocus, nofocus);
}
void kvcfgstr_bgcolor(kvcfgstr_tokens& t, int start, int& c) { walk_one(t, start, kBgColour, c); }
bool kvcfgstr_textcolor(kvcfgstr_tokens& t, int start, int& c) {
  return walk_one(t, start, kTextColour, c) > 0;
}
void kvcfgstr_transcolor(kvcfgstr_tokens& t, int start, int& c) {
  walk_one(t, start, kTransColour, c);
}
void kvcfgstr_color_attr(kvcfgstr_tokens& t, int start, int& c) {
  walk_one(t, start, kBoxColour, c);
}
void kvcfgstr_highlightcolor(kvcfgstr_tokens& t, int start, int& c) {
  walk_one(t, start, kHighlightColour, c);
}
void kvcfgstr_activecolor(kvcfgstr_tokens& t, int start, int& c) {
  walk_one(t, start, kActiveColour, c);
}
void kvcfgstr_btnattr(kvcfgstr_tokens& t, int start, kvcfg_btnattr& a) {
  walk(t, start, kButton, a);
}
void kvcfgstr_chkattr(kvcfgstr_tokens& t, int start, kvcfg_chkattr& a) {
  walk(t, start, kCheckBox, a);
}
int kvcfgstr_entries(kvcfgstr_tokens& t, int start, std::vector<std::string>& items,
                     int max_items) {
  Walk how;
  how.max_items = max_items;
  if (walk_one(t, start, kEntries, items, how) == 0) return -1;
  return static_cast<int>(items.size());
}
void kvcfgstr_align(kvcfgstr_tokens& t, int start, bool& right) {
  walk_one(t, start, kAlign, right);
}
void kvcfgstr_lineinput(kvcfgstr_tokens& t, int start, kvcfg_lineinput& a) {
  walk(t, start, kLineInput, a);
}
void kvcfgstr_textattr(kvcfgstr_tokens& t, int start, kvcfg_textattr& a) {
  walk(t, start, kTextAttr, a);
}
void kvcfgstr_filedialog(kvcfgstr_tokens& t, int start, kvcfg_filedialog& a) {
  walk(t, start, kFileDialog, a);
}
void kvcfgstr_dirlist(kvcfgstr_tokens& t, int start, kvcfg_dirlist& a) {
  walk(t, start, kDirList, a);
}
bool kvcfgstr_image(kvcfgstr_tokens& t, int start, std::string& file) {
  Walk how;
  how.first_match_only = true;
  return walk_one(t, start, kImage, file, how) > 0;
}
void kvcfgstr_palettecode(kvcfgstr_tokens& t, int start, int& code) {
  walk_one(t, start, kPaletteCode, code);
}
void kvcfgstr_offsets(kvcfgstr_tokens& t, int start, kvcfg_offsets& a) {
  walk(t, start, kOffsets, a);
}
void kvcfgstr_pxtype(kvcfgstr_tokens& t, int start, uint32_t& format) {
  int f = static_cast<int>(format);
  walk_one(t, start, kPxType, f);
  format = static_cast<uint32_t>(f);
}
void kvcfgstr_scrollbars(kvcfgstr_tokens& t, int start, kvcfg_scrollbars& a) {
  walk(t, start, kScrollBars, a);
}
void kvcfgstr_viewpxmap(kvcfgstr_tokens& t, int start, kvcfg_viewpxmap& a) {
  walk(t, start, kViewPixmap, a);
  if (a.format == KVPX_PALETTE8 && a.colors > 256) a.format = KVPX_PALETTE16;
}
void kvcfgstr_slide(kvcfgstr_tokens& t, int start, kvcfg_slide& a) { walk(t, start, kSlide, a); }
void kvcfgstr_fontattr(kvcfgstr_tokens& t, int start, kvcfg_fontattr& a) {
  walk(t, start, kFontAttr, a);
}
int kvcfgstr_tabs(kvcfgstr_tokens& t, int start, kvcfg_tabs& a, int max_items) {
  Walk how;
  how.max_items = max_items;
  int lists = walk_one(t, start, kTabTexts, a.tabs, how);
  walk(t, start, kTabs, a);
  return lists > 0 ? static_cast<int>(a.tabs.size()) : -1;
}
void kvcfgstr_updown(kvcfgstr_tokens& t, int start, kvcfg_updown& a) {
  walk(t, start, kUpDown, a);
}
int kvcfgstr_menus(kvcfgstr_tokens& t, int start, std::vector<std::string>& items, int max_items) {
  Walk how;
  how.max_items = max_items;
  if (walk_one(t, start, kMenus, items, how) == 0) return -1;
  return static_cast<int>(items.size());
}
void kvcfgstr_winattr(kvcfgstr_tokens& t, int start, kvcfg_winattr& a) {
  walk(t, start, kWindow, a);
}
void kvcfgstr_winbars(kvcfgstr_tokens& t, int start, kvcfg_winbars& a) {
  walk(t, start, kWindowBars, a);
}
void kvcfgstr_content(kvcfgstr_tokens& t, int start, kvcfg_content& a) {
  walk(t, start, kContent, a);
}
