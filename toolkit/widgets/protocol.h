// Message codes between controls and their hosts (views and windows).
//
// A control draws into its host's surface and talks to the host through the
// host's kvcallback: host(host object, code, a1...). The host answers and
// passes window events on to the control's own kvcallback, registered with
// its region. Window events keep the codes of the window layer (llgui.h).
#pragma once

// ---- From a child to its host ------------------------------------------------------
enum kvhostmsg {
  KV_HOST_REGISTER = 8001,     // message function, child, x, y, w, h, flags -> region index
  KV_HOST_UNREGISTER = 8002,   // child
  KV_HOST_MOVEREGION = 8003,   // region, x, y, w, h
  KV_HOST_WIDTH = 8004,        // visible width
  KV_HOST_HEIGHT = 8005,       // visible height
  KV_HOST_SCREENX = 8006,      // screen x of the host page's origin
  KV_HOST_SCREENY = 8007,
  KV_HOST_UPDATE = 8008,       // x, y, w, h of the page: copy to the surface and pass upward
  KV_HOST_UPDATEALL = 8009,
  KV_HOST_WANTFOCUS = 8010,    // region -> true when granted
  KV_HOST_NEXTFOCUS = 8011,
  KV_HOST_SHOWREGION = 8012,   // region: scroll it into view
  KV_HOST_OWNSCROLL = 8013,    // region, flag
  KV_HOST_CAPTURE = 8015,      // region
  KV_HOST_RELEASE = 8016,      // region
  KV_HOST_CURRENTVIEW = 8017,
  KV_HOST_NOIMMEDIATE = 8018,
  KV_HOST_BGCOLOR = 8019,
  KV_HOST_TOSCREENFORMAT = 8020,
  KV_HOST_HIDDEN = 8021,       // true while the child should not draw yet
  KV_HOST_SERVERAREA = 8022,   // x, y, w, h
  KV_HOST_LLWINDOW = 8025,     // the kvllgui_window
  KV_HOST_WINDOWX = 8026,      // x, y of the host within the window
  KV_HOST_WINDOWY = 8027,
  KV_HOST_SCROLLED = 8028,     // the host's vertical scroll position changed
};

// ---- From a host to a child (besides the window layer's 2001 to 2019) ---------------
enum kvchildmsg {
  KV_CHILD_DESTROY = 2001,
  KV_CHILD_RESIZED = 2003,
  KV_CHILD_TAKEFOCUS = 2018,   // -> true when taken
  KV_CHILD_LOSEFOCUS = 2019,
  KV_CHILD_HANDLESTAB = 2020,  // -> true when the child moves its own focus on Tab
  KV_CHILD_LEAVE = 2024,
  KV_CHILD_ENTER = 2025,
  KV_CHILD_REDRAW = 2026,
  KV_CHILD_REFRESH = 2028,     // from the refresh timer: refresh if visible
  KV_CHILD_SHOW = 2039,
  KV_CHILD_HIDE = 2040,
  KV_CHILD_RECREATE = 2048,
  KV_CHILD_PRESAVE = 2049,
  KV_CHILD_SCROLLED = 2059,    // scrollX, scrollY
};

// ---- Scroll commands (scroll bars to their owner) -------------------------------------
enum kvscrollcmd {
  KV_SCROLL_UP = 3008,
  KV_SCROLL_DOWN = 3009,
  KV_SCROLL_LEFT = 3010,
  KV_SCROLL_RIGHT = 3011,
  KV_SCROLL_PAGEUP = 3012,
  KV_SCROLL_PAGEDOWN = 3013,
  KV_SCROLL_VPOS = 3016,       // per cent
  KV_SCROLL_HPOS = 3017,       // per cent
};

// Region flags of KV_HOST_REGISTER.
constexpr int KV_REGION_MOUSE = 1;
constexpr int KV_REGION_FOCUSABLE = 2;
constexpr int KV_REGION_HOVER = 4;
constexpr int KV_REGION_OWNSCROLL = 8;
constexpr int KV_REGION_WANTSTAB = 16;

// Graphic messages a view answers beyond those of an image.
constexpr int KV_VIEW_POINTERX = 1049;
constexpr int KV_VIEW_POINTERY = 1050;
