// The graphic messages on a view's page. They are answered as an image
// answers them, on the page (the view's own pixmap or its host's surface),
// and the view is marked for the next refresh instead of being put on the
// screen at once. A few codes mean something else on a view.
#include "toolkit/core/image.h"
#include "toolkit/core/stdout.h"
#include "toolkit/widgets/hosts.h"
#include "toolkit/widgets/view_internal.h"

intptr_t kvView::graphic(int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t a5, intptr_t a6,
                         intptr_t a7) {
  switch (code) {
    case KVG_NOTHING: redraw(); return 1;
    case KVG_NOTHING2: update_page_area(int(a1), int(a2), int(a3), int(a4)); return 1;
    case KVG_SELF: return font;
    case KVG_SETFONT: font = int(a1); return 1;
    case KVG_WIDTH: return usableWidth();
    case KVG_HEIGHT: return usableHeight();
    case KV_VIEW_POINTERX: return pointerX;
    case KV_VIEW_POINTERY: return pointerY;
    default: break;
  }
  if (!page_) return 0;
  // Let an image answer on the page: it borrows the page's storage for the
  // one message and gives it back (with the pen, palette and font it may
  // have changed) before it goes away.
  kvImage image;
  static_cast<kvpxmap&>(image) = *page_;
  image.initialized = true;
  image.font = font;
  const intptr_t result = image.answer(code, a1, a2, a3, a4, a5, a6, a7);
  *page_ = static_cast<kvpxmap&>(image);
  font = image.font;
  kvpxmap_init(&image);
  const bool reads_only = code == KVG_GETPIXEL || code == KVG_TEXTWIDTH || code == KVG_FONTHEIGHT ||
                          code == KVG_CHARWIDTH || code == KVG_SAVE;
  if (!reads_only) {
    if (immediate)
      redraw();
    else
      kvrefresh_mark(&kvView::message, reinterpret_cast<intptr_t>(this));
  }
  return result;
}
