// A frame thread draws on a window (device context, images with masks,
// directx pixmaps, redraws) while the main thread pumps the window's
// events and paints it.
#include <atomic>
#include <thread>

#include "support/test_support.h"
#include "toolkit/core/llgui.h"
#include "toolkit/core/pxmap.h"
#include "toolkit/core/pxmap_internal.h"
#include "toolkit/core/runtime.h"
#include "toolkit/port/headless/control.h"

namespace {

intptr_t ignore(intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) {
  return 0;
}

kvpxmap make(uint32_t format, int w, int h, int colour) {
  kvpxmap p;
  kvpxmap_init(&p);
  p.width = w;
  p.height = h;
  p.format = format;
  EXPECT_TRUE(kvpxmap_allocate(&p));
  kvpxmap_clear(&p, colour);
  return p;
}

class FrameThread : public kivo::test::HeadlessTest {};

TEST_F(FrameThread, DrawsWhileTheMainThreadPaints) {
  kivo::core::reset_llgui();
  auto* ctl = kivo::port::headless::control();
  kvllgui_window line;
  ASSERT_TRUE(kvllgui_open(&line, ignore, 0, 0, 0, 400, 40, "", false, false, false, false, true, false, true,
                           false));
  kvpxmap glyph = make(KVPX_SERVER, 16, 16, 0x00FF00);
  auto* server = static_cast<kvpxmap_server*>(glyph.data);
  ASSERT_TRUE(kivo::pxmap::server_add_mask(server));
  server->mask->pixels[0] = 0xFFFFFF;  // one transparent pixel
  server->surface->pixels[0] = 0;
  kvpxmap frame = make(KVPX_DIRECTX, 400, 40, 0x0000FF);

  std::atomic<bool> done{false};
  std::thread clock([&] {
    for (int i = 0; i < 300; ++i) {
      kvllgui_getdc(&line);
      kvllgui_drawimage(&glyph, (i * 7) % 380, 10, 0, 0, 0, 0);
      kvllgui_releasedc(&line);
      if (i % 3 == 0) kvllgui_showpxmap(&line, &frame, true);
      if (i % 5 == 0) kvllgui_redraw(&line, 0, 0, 0, 0, 0, 0, true);
    }
    done = true;
  });
  int moves = 0;
  while (!done) {
    ctl->move_pointer(moves % 400, 20);
    ctl->request_close(line.handle);
    kvpump();
    kvllgui_redraw(&line, 0, 0, 100, 40, 0, 0, false);
    (void)ctl->screen_pixel(10, 10);
    ++moves;
  }
  clock.join();
  kvpump();
  kvllgui_getdc(&line);
  kvllgui_drawimage(&glyph, 100, 10, 0, 0, 0, 0);
  kvllgui_releasedc(&line);
  EXPECT_EQ(ctl->screen_pixel(101, 10), 0x00FF00);
  kvpxmap_free(&glyph);
  kvpxmap_free(&frame);
  kvllgui_close(&line);
}

}  // namespace
