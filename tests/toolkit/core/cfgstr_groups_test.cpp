// Keyword groups of configuration strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/core/cfgstr_fontlookup.h"
#include "toolkit/core/cfgstr_groups.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/pxmap.h"

namespace {

using Tokens = kvcfgstr_tokens;
using Items = std::vector<std::string>;

Tokens split(const char* text) {
  Tokens t;
  kvcfgstr_split(text, t);
  return t;
}

TEST(CfgStrGroups, KeywordsIgnoreBlanksAndCaseAndAreConsumed) {
  Tokens t = split("Caption,Default Button, FLAT ,unknownthing,  ");
  kvcfg_btnattr a;
  testing::internal::CaptureStdout();
  kvcfgstr_btnattr(t, 1, a);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // unknown tokens are silent
  EXPECT_TRUE(a.isdefault);
  EXPECT_TRUE(a.flat);
  EXPECT_EQ(t, (Tokens{"Caption", "", "", "unknownthing", "  "}));
  EXPECT_EQ(kvcfgstr_leftover(t, 1), ",unknownthing,  ");
}

TEST(CfgStrGroups, StartIndexSkipsTheObjectText) {
  Tokens t = split("flat,flat");
  kvcfg_btnattr a;
  kvcfgstr_btnattr(t, 1, a);
  EXPECT_EQ(t, (Tokens{"flat", ""}));
}

TEST(CfgStrGroups, BorderScanEndsAtTheFirstBorderKeyword) {
  struct Case {
    const char* text;
    int border;
    const char* left;  // leftover afterwards
  } cases[] = {
      {"x,border,border=5", 2, ",border=5"},
      {"x,border=5,border", 5, ",border"},
      {"x,noborder,border", 0, ",border"},
      {"x,borderless,bordercolor=red", 7, ",borderless,bordercolor=red"},
      {"x,Border = 3", 3, ""},
  };
  for (const auto& c : cases) {
    Tokens t = split(c.text);
    int border = 7;
    kvcfgstr_border(t, 1, border);
    EXPECT_EQ(border, c.border) << c.text;
    EXPECT_EQ(kvcfgstr_leftover(t, 1), c.left) << c.text;
  }
}

int font_id(const char* registered) {
  int id = -12345;
  kivo::core::cfgstr_find_font(registered, kivo::core::CfgFontName::Registered, id);
  return id;
}

TEST(CfgStrGroups, FontOnlyTheFirstFontTokenCounts) {
  Tokens t = split("x,font=6x13,font=8x8,fontid=7");
  int font = -12345;
  kvcfgstr_font(t, 1, font);
  EXPECT_EQ(font, font_id("builtin 6x13"));
  EXPECT_NE(font, -12345);
  EXPECT_EQ(kvcfgstr_leftover(t, 1), "");  // the later ones are consumed without effect

  Tokens ids = split("fontid=1000003,font=var13");
  font = 0;
  kvcfgstr_font(ids, 0, font);
  EXPECT_EQ(font, 1000003);

  Tokens var = split("font=13Variable");
  kvcfgstr_font(var, 0, font);
  EXPECT_EQ(font, font_id("builtin variable 13"));
}

TEST(CfgStrGroups, FontNotLoadedKeepsTheFontAndSaysSo) {
  Tokens t = split("font=NoSuchFont");
  int font = 42;
  testing::internal::CaptureStdout();
  kvcfgstr_font(t, 0, font);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "font not loaded/found: NoSuchFont\n");
  EXPECT_EQ(font, 42);
}

TEST(CfgStrGroups, ColourGroupsAndTheirSynonyms) {
  using Parser = void (*)(Tokens&, int, int&);
  struct Case {
    Parser parser;
    const char* text;
    int colour;
  } cases[] = {
      {kvcfgstr_bgcolor, "bgcolor=ff0000", 0xFF0000},
      {kvcfgstr_bgcolor, "bgcol=0xff0000", 0xFF0000},
      {kvcfgstr_bgcolor, "BackgroundColor = lightred", 0xFF0000},
      {kvcfgstr_bgcolor, "background=none", -1},
      {kvcfgstr_bgcolor, "bgcolor=", 0x123456},
      {kvcfgstr_bgcolor, "bgcolor=red,bgcolor=blue", 0x000080},  // the later wins
      {kvcfgstr_transcolor, "transparentcolor=white", 0xFFFFFF},
      {kvcfgstr_transcolor, "transcolor=00ff00", 0x00FF00},
      {kvcfgstr_color_attr, "col=yellow", 0xFFFF00},
      {kvcfgstr_highlightcolor, "highlightcolor=cyan", 0x008080},
      {kvcfgstr_activecolor, "activecolor=magenta", 0x800080},
  };
  for (const auto& c : cases) {
    Tokens t = split(c.text);
    int colour = 0x123456;
    c.parser(t, 0, colour);
    EXPECT_EQ(colour, c.colour) << c.text;
  }
  Tokens t = split("x,txtcol=white");
  int colour = 0;
  EXPECT_TRUE(kvcfgstr_textcolor(t, 1, colour));
  EXPECT_EQ(colour, 0xFFFFFF);
  Tokens none = split("x,bgcolor=white");
  EXPECT_FALSE(kvcfgstr_textcolor(none, 1, colour));
}

TEST(CfgStrGroups, GreyNoFocusAlign) {
  Tokens t = split("greyed,focus=no,rightaligned");
  bool grey = false, nofocus = false, right = false;
  kvcfgstr_grey(t, 0, grey);
  kvcfgstr_nofocus(t, 0, nofocus);
  kvcfgstr_align(t, 0, right);
  EXPECT_TRUE(grey && nofocus && right);
  Tokens keyfocus = split("keyfocus=0");
  bool nf = false;
  kvcfgstr_nofocus(keyfocus, 0, nf);
  EXPECT_TRUE(nf);
}

TEST(CfgStrGroups, ButtonAttributes) {
  Tokens t = split("Go,bigarrow,thinframe,hlink,keeppressed,toolbutton,on,mouserepeat,"
                   "skip,hotkey=F5");
  kvcfg_btnattr a;
  kvcfgstr_btnattr(t, 1, a);
  EXPECT_TRUE(a.arrow);
  EXPECT_EQ(a.arrowsize, 1);
  EXPECT_TRUE(a.thinframe && a.hyperlink && a.toggle && a.toolbutton && a.pressed &&
              a.mouserepeat && a.nofocus);
  EXPECT_FALSE(a.flat || a.isdefault);
  EXPECT_EQ(a.hotkey, 309);
  EXPECT_EQ(kvcfgstr_leftover(t, 1), "");

  Tokens small = split("smallarrow,hotkey=x");
  kvcfg_btnattr b;
  kvcfgstr_btnattr(small, 0, b);
  EXPECT_TRUE(b.arrow);
  EXPECT_EQ(b.arrowsize, 2);
  EXPECT_EQ(b.hotkey, 'x');
}

TEST(CfgStrGroups, CheckBoxAttributes) {
  Tokens t = split("Box,checked,round,boxonly,no3d,lightframe");
  kvcfg_chkattr a;
  kvcfgstr_chkattr(t, 1, a);
  EXPECT_TRUE(a.checked && a.round && a.boxonly && a.flat && a.lightframe);
}

TEST(CfgStrGroups, EntryListsKeepTheirBlanksAndEmptyItems) {
  Tokens t = split("x,entries= one |two||four");
  Items items = {"old"};
  EXPECT_EQ(kvcfgstr_entries(t, 1, items), 4);
  EXPECT_EQ(items, (Items{" one ", "two", "", "four"}));
  Tokens none = split("x,y");
  EXPECT_EQ(kvcfgstr_entries(none, 1, items), -1);
  EXPECT_EQ(items.size(), 4u);
  Tokens limited = split("contents=a|b|c");
  EXPECT_EQ(kvcfgstr_entries(limited, 0, items, 2), 2);

  Tokens menu = split("menus=Open|-|Quit");
  EXPECT_EQ(kvcfgstr_menus(menu, 0, items), 3);
  EXPECT_TRUE(kvcfgstr_is_separator(items[1]));
  Tokens menu2 = split("entries=A|B");
  EXPECT_EQ(kvcfgstr_menus(menu2, 0, items), 2);
}

TEST(CfgStrGroups, LineInputValuesLoseTheirBlanks) {
  Tokens t = split("maxlen=20,default=two words,alignright,keepfocus,password");
  kvcfg_lineinput a;
  kvcfgstr_lineinput(t, 0, a);
  EXPECT_EQ(a.maxlen, 20);
  EXPECT_EQ(a.text, "twowords");
  EXPECT_TRUE(a.has_text && a.right && a.keepfocus && a.password);
}

TEST(CfgStrGroups, TextAttributes) {
  Tokens t = split("lines=10,columns=40,tabs = 4,colored,showlinenumbers,autoindent,wordbreak");
  kvcfg_textattr a;
  kvcfgstr_textattr(t, 0, a);
  EXPECT_EQ(a.lines, 10);
  EXPECT_EQ(a.columns, 40);
  EXPECT_EQ(a.tabspace, 4);
  EXPECT_TRUE(a.colored && a.showlinenumbers && a.autoindent && a.wordbreak);
}

TEST(CfgStrGroups, FileDialogTextsKeepTheirBlanks) {
  Tokens t = split("title=Open a file,filter=*.txt|Text files,filter=*.*,dir=/home/My Docs,"
                   "ext=txt,suggestion=new file.txt,savedialog,mustnotexist");
  kvcfg_filedialog a;
  kvcfgstr_filedialog(t, 0, a);
  EXPECT_EQ(a.title, "Open a file");
  ASSERT_EQ(a.filters.size(), 2u);
  EXPECT_EQ(a.filters[0].pattern, "*.txt");
  EXPECT_EQ(a.filters[0].description, "Text files");
  EXPECT_EQ(a.filters[1].pattern, "*.*");
  EXPECT_EQ(a.filters[1].description, "");
  EXPECT_EQ(a.dir, "/home/My Docs");
  EXPECT_EQ(a.defaultext, "txt");
  EXPECT_EQ(a.suggestion, "new file.txt");
  EXPECT_TRUE(a.save && a.mustnotexist);
}

TEST(CfgStrGroups, DirectoryListing) {
  Tokens t = split("recursive,showdirs,hidden,casesensitive");
  kvcfg_dirlist a;
  kvcfgstr_dirlist(t, 0, a);
  EXPECT_TRUE(a.recursive && a.dirs && a.hidden && a.casesensitive);
}

TEST(CfgStrGroups, ImageOnlyTheFirstCountsAndKeepsBlanks) {
  Tokens t = split("load=my picture.bmp,img=other.bmp,palettecode=3");
  std::string file;
  EXPECT_TRUE(kvcfgstr_image(t, 0, file));
  EXPECT_EQ(file, "my picture.bmp");
  int code = 0;
  kvcfgstr_palettecode(t, 0, code);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(kvcfgstr_leftover(t, 0), "");
  Tokens none = split("x");
  EXPECT_FALSE(kvcfgstr_image(none, 0, file));
}

TEST(CfgStrGroups, OffsetsAreIntegersWithoutUnits) {
  Tokens t = split("pic.bmp,x=10,ys=20.7%,width=30");
  kvcfg_offsets a;
  kvcfgstr_offsets(t, 1, a);
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, -1);
  EXPECT_EQ(a.width, 30);
  EXPECT_EQ(a.height, 20);
}

TEST(CfgStrGroups, PixmapTypes) {
  struct Case {
    const char* text;
    uint32_t format;
  } cases[] = {{"indexed", KVPX_PALETTE8}, {"palette_8", KVPX_PALETTE8},
               {"palette16", KVPX_PALETTE16}, {"TrueColor", KVPX_TRUECOLOR},
               {"server", KVPX_SERVER},   {"screen", KVPX_SCREEN},
               {"directx", KVPX_DIRECTX}, {"unknown", 99}};
  for (const auto& c : cases) {
    Tokens t = split(c.text);
    uint32_t format = 99;
    kvcfgstr_pxtype(t, 0, format);
    EXPECT_EQ(format, c.format) << c.text;
  }
}

TEST(CfgStrGroups, ViewScrollBarsAndPixmap) {
  Tokens t = split("noverticalscrollbar,pixmap_xs=640,pys=480,bmp_colors=300,"
                   "pxmaptype=palette8,refresh=off,directdraw,opengl,nostandardview,stretch=1");
  kvcfg_scrollbars bars;
  kvcfgstr_scrollbars(t, 0, bars);
  EXPECT_TRUE(bars.horizontal);
  EXPECT_FALSE(bars.vertical);
  kvcfg_viewpxmap v;
  kvcfgstr_viewpxmap(t, 0, v);
  EXPECT_EQ(v.width, 640);
  EXPECT_EQ(v.height, 480);
  EXPECT_EQ(v.colors, 300);
  EXPECT_EQ(v.format, KVPX_PALETTE16);  // palette8 cannot hold 300 colours
  EXPECT_TRUE(v.noredraw && v.directdraw && v.opengl && v.nostandardview);
  EXPECT_EQ(kvcfgstr_leftover(t, 0), ",stretch=1");  // left for the view

  Tokens tc = split("bitmap=truecolor");
  kvcfg_viewpxmap w;
  kvcfgstr_viewpxmap(tc, 0, w);
  EXPECT_EQ(w.format, KVPX_TRUECOLOR);
}

TEST(CfgStrGroups, SlideFontAttributesUpDown) {
  Tokens s = split("def=12.5,showpos");
  kvcfg_slide slide;
  kvcfgstr_slide(s, 0, slide);
  EXPECT_DOUBLE_EQ(slide.start, 12.5);
  EXPECT_TRUE(slide.showpos);

  Tokens f = split("Arial,bold,italic,understriked,xs=7,height=16,ascent=12,descent=4,"
                   "points=24,xsextra=1");
  kvcfg_fontattr fa;
  kvcfgstr_fontattr(f, 1, fa);
  EXPECT_TRUE(fa.bold && fa.italic && fa.underlined);
  EXPECT_EQ(fa.width, 7);
  EXPECT_EQ(fa.height, 16);
  EXPECT_EQ(fa.ascent, 12);
  EXPECT_EQ(fa.descent, 4);
  EXPECT_EQ(fa.points, 24);
  EXPECT_EQ(fa.xsextra, 1);

  Tokens u = split("min=-5,max=50,step=5,start=10,digits=3,decimal=1");
  kvcfg_updown ud;
  kvcfgstr_updown(u, 0, ud);
  EXPECT_EQ(ud.min, -5);
  EXPECT_EQ(ud.max, 50);
  EXPECT_EQ(ud.step, 5);
  EXPECT_EQ(ud.start, 10);
  EXPECT_EQ(ud.digits, 3);
  EXPECT_EQ(ud.decimal, 1);
}

TEST(CfgStrGroups, TabBars) {
  Tokens t = split("tabulators=General| Colours |Fonts,graystyle,autonumber=2");
  kvcfg_tabs a;
  EXPECT_EQ(kvcfgstr_tabs(t, 0, a), 3);
  EXPECT_EQ(a.tabs, (Items{"General", " Colours ", "Fonts"}));
  EXPECT_EQ(a.style, 2);
  EXPECT_EQ(a.autonumber, 2);
  Tokens none = split("style=2");
  kvcfg_tabs b;
  EXPECT_EQ(kvcfgstr_tabs(none, 0, b), -1);
  EXPECT_EQ(b.style, 2);
}

TEST(CfgStrGroups, WindowAttributesStartFromSystemMenuAndFixedSize) {
  kvcfg_winattr a;
  Tokens plain = split("title");
  kvcfgstr_winattr(plain, 1, a);
  EXPECT_TRUE(a.sysmenu);
  EXPECT_FALSE(a.resize);

  Tokens t = split("info,x=50%,NoSysMenu,noquit,modal,resize,maximal,noclose,popup,notitle,"
                   "paintoff,bgcolor=white,nostandardview,fullscreen");
  kvcfgstr_winattr(t, 1, a);
  EXPECT_FALSE(a.sysmenu);
  EXPECT_TRUE(a.resize && a.noquit && a.modal && a.maximized && a.noclose && a.popup &&
              a.notitle && a.noredraw && a.nostandardview && a.fullscreen);
  EXPECT_EQ(a.bgcolor, 0xFFFFFF);
  EXPECT_EQ(kvcfgstr_leftover(t, 1), ",x=50%");

  Tokens back = split("systemmenu=1,noresize");
  kvcfgstr_winattr(back, 0, a);
  EXPECT_TRUE(a.sysmenu);
  EXPECT_FALSE(a.resize);
}

TEST(CfgStrGroups, WindowBarsAndContent) {
  Tokens t = split("menu,toolbar,statusbar=30,cxs=800,contentheight=600");
  kvcfg_winbars bars;
  kvcfgstr_winbars(t, 0, bars);
  EXPECT_EQ(bars.menu, guimetrics("menuheight"));
  EXPECT_EQ(bars.toolbar, guimetrics("toolbarheight"));
  EXPECT_EQ(bars.statusbar, 30);
  kvcfg_content c;
  kvcfgstr_content(t, 0, c);
  EXPECT_EQ(c.width, 800);
  EXPECT_EQ(c.height, 600);
  Tokens explicit_bar = split("toolbar=24");
  kvcfg_winbars b2;
  kvcfgstr_winbars(explicit_bar, 0, b2);
  EXPECT_EQ(b2.toolbar, 24);
}

}  // namespace
