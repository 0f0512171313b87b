// kvWindow's message function: the window layer's messages, the host
// messages of its views and bars, and what goes on to the views.
#include <algorithm>

#include "toolkit/core/runtime.h"
#include "toolkit/widgets/hosts.h"
#include "toolkit/widgets/window.h"

intptr_t kvWindow::message(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                           intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8) {
  auto* w = reinterpret_cast<kvWindow*>(object);
  return w ? w->answer(code, a1, a2, a3, a4, a5, a6, a7, a8) : 0;
}

intptr_t kvWindow::host_message(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) {
  switch (code) {
    case KV_HOST_REGISTER: return next_region_++;
    case KV_HOST_WIDTH: return llwin.pxmap.width;
    case KV_HOST_HEIGHT: return llwin.pxmap.height;
    case KV_HOST_SCREENX: return kvllgui_clientx(&llwin);
    case KV_HOST_SCREENY: return kvllgui_clienty(&llwin);
    case KV_HOST_UPDATE:
      if (!kvlayout_inprogress() && a3 > 0 && a4 > 0)
        kvllgui_redraw(&llwin, int(a1), int(a2), int(a3), int(a4), int(a1), int(a2), false);
      return 0;
    case KV_HOST_UPDATEALL:
      redraw_all();
      if (!kvlayout_inprogress()) kvllgui_redraw(&llwin, 0, 0, 0, 0, 0, 0, false);
      return 0;
    case KV_HOST_WANTFOCUS: return 1;
    case KV_HOST_CAPTURE: kvllgui_capture(&llwin); return 0;
    case KV_HOST_RELEASE: kvllgui_releasecapture(); return 0;
    case KV_HOST_CURRENTVIEW: return reinterpret_cast<intptr_t>(&views[current]);
    case KV_HOST_BGCOLOR: return bgcolor;
    case KV_HOST_HIDDEN: return !autoRefresh;
    case KV_HOST_LLWINDOW: return reinterpret_cast<intptr_t>(&llwin);
    case KV_HOST_SCROLLED: show_status(); return 0;
    default: return 0;  // regions, focus walks and the rest end here
  }
}

// The views learn when the pointer enters and leaves them, as a view's
// children learn it from their view.
void kvWindow::track_hover(int px, int py) {
  // While the left button is held the pointer stays with the view it was
  // pressed in (a knob dragged past the bar's end keeps moving).
  if (kvbutton_held()) return;
  kvView* under = nullptr;
  for (kvView* v : {&toolbar, &menu, &views[current]})
    if (v->created && px >= v->x && py >= v->y && px < v->x + v->width && py < v->y + v->height) under = v;
  if (under == hovered_) return;
  kvView* old = hovered_;
  hovered_ = under;
  if (old && old->created) old->answer(KV_CHILD_LEAVE, 0, 0, 0, 0, 0, 0, 0, 0);
  if (under) under->answer(KV_CHILD_ENTER, 0, 0, 0, 0, 0, 0, 0, 0);
}

intptr_t kvWindow::answer(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                          intptr_t a7, intptr_t a8) {
  if (code >= 8001 && code <= 8028) return host_message(code, a1, a2, a3, a4);
  if (!created) return 0;
  switch (code) {
    case KV_MSG_CLOSE: {
      const bool close_it = closeOnRequest, quit = quitOnClose;
      fire(0);
      if (close_it) close();
      if (quit) kvquit();
      return 0;
    }
    case KV_MSG_PAINT:
      redraw_all();
      update();
      return 0;
    case KV_MSG_RESIZED:
      relayout(int(a1), int(a2));
      fire(resizedCode, a1, a2);
      break;  // the views hear of it too
    case KV_MSG_MAXIMISED: fire(resizedCode); return 0;
    case KV_MSG_MINIMISED: fire(minimisedCode); return 0;
    case KV_MSG_TRAY:
      if (a1 == KV_MSG_LBUTTONUP || a1 == KV_MSG_RBUTTONUP) {
        kvllgui_fromtray(&llwin);
        fire(trayCode, a1);
      }
      return 0;
    case KV_MSG_DROPPED: fire(droppedCode); return 0;
    case KV_MSG_MOVED: fire(movedCode); return 0;
    case KV_MSG_ACTIVATED: fire(activatedCode); return 0;
    case KV_MSG_DEACTIVATED: fire(deactivatedCode); return 0;
    case KV_MSG_KEYDOWN: fire(int(a1), KV_MSG_KEYDOWN, a1); break;
    case KV_MSG_KEYUP: fire(int(a1) + kvwindow_keyup_offset, KV_MSG_KEYUP, a1); break;
    case KV_MSG_POINTERMOVE: track_hover(int(a1), int(a2)); break;
    case KV_MSG_LBUTTONDOWN: kivo::widgets::set_button_held(true); break;
    case KV_MSG_LBUTTONUP: kivo::widgets::set_button_held(false); break;
    default: break;
  }
  // Everything else goes to the tool bar, the menu and the current view.
  const intptr_t me = reinterpret_cast<intptr_t>(this);
  (void)me;
  intptr_t result = 0;
  if (toolbar.created) toolbar.answer(code, a1, a2, a3, a4, a5, a6, a7, a8);
  if (!created) return 0;
  if (menu.created) menu.answer(code, a1, a2, a3, a4, a5, a6, a7, a8);
  if (!created) return 0;
  result = views[current].answer(code, a1, a2, a3, a4, a5, a6, a7, a8);
  return result;
}
