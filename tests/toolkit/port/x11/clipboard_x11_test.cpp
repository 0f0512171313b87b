// The x11 clipboard against another X client (its own connection on a
// thread of its own): serving our text, and reading the peer's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "support/test_support.h"
#include "toolkit/core/clipboard.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clipboard.h"
#include "toolkit/port/display.h"

namespace {

// A second X client: a hidden window and the atoms it needs.
struct Peer {
  ::Display* dpy = XOpenDisplay(nullptr);
  Window window = 0;
  Atom clipboard = 0, utf8 = 0, targets = 0, property = 0;
  Peer() {
    if (!dpy) return;
    window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    targets = XInternAtom(dpy, "TARGETS", False);
    property = XInternAtom(dpy, "PEER_DATA", False);
  }
  ~Peer() {
    if (dpy) XCloseDisplay(dpy);
  }

  // Asks for the clipboard as `target`; the answer's bytes, or "<none>".
  std::string request(Atom target, Atom* type_out = nullptr) {
    XConvertSelection(dpy, clipboard, target, property, window, CurrentTime);
    XFlush(dpy);
    XEvent e;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!XCheckTypedWindowEvent(dpy, window, SelectionNotify, &e)) {
      if (std::chrono::steady_clock::now() > deadline) return "<timeout>";
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (e.xselection.property == None) return "<none>";
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy, window, property, 0, 1 << 24, True, AnyPropertyType, &type, &format, &items, &after,
                       &data);
    if (type_out) *type_out = type;
    std::string bytes(reinterpret_cast<char*>(data), items * (format == 32 ? sizeof(long) : size_t(format / 8)));
    XFree(data);
    return bytes;
  }
};

// Pumps our connection until done() (our clipboard answers from the pump).
template <typename Done>
void pump_until(Done done, int timeout_ms = 5000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    while (kivo::port::backend().display().dispatch_one()) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TEST(X11Clipboard, OtherProgramsReadOurTextWhileWePump) {
  if (!kivo::test::use_x11_or_skip()) GTEST_SKIP() << "no X server";
  Peer peer;
  ASSERT_NE(peer.dpy, nullptr);
  const std::string text = "Gr\xc3\xbc\xc3\x9f" "e \xe2\x9c\x93\r\nline two";
  ASSERT_TRUE(kivo::port::backend().clipboard().set_text(text));

  std::string as_utf8, as_string, target_list;
  std::atomic<bool> done{false};
  std::thread other([&] {
    as_utf8 = peer.request(peer.utf8);
    as_string = peer.request(XA_STRING);
    Atom type = None;
    target_list = peer.request(peer.targets, &type);
    done = true;
  });
  pump_until([&] { return done.load(); });
  other.join();
  EXPECT_EQ(as_utf8, text);
  EXPECT_EQ(as_string, "Gr\xfc\xdf" "e ?\r\nline two") << "Latin-1 for old clients";
  ASSERT_EQ(target_list.size() % sizeof(long), 0u);
  bool offers_utf8 = false;
  for (size_t i = 0; i < target_list.size(); i += sizeof(long)) {
    long atom;
    std::memcpy(&atom, target_list.data() + i, sizeof atom);
    offers_utf8 = offers_utf8 || Atom(atom) == peer.utf8;
  }
  EXPECT_TRUE(offers_utf8);

  std::string ours;
  EXPECT_TRUE(kivo::port::backend().clipboard().get_text(ours));
  EXPECT_EQ(ours, text);
}

TEST(X11Clipboard, WeReadAnotherProgramsTextAndLoseOwnership) {
  if (!kivo::test::use_x11_or_skip()) GTEST_SKIP() << "no X server";
  kvclipboard_set("ours first");
  pump_until([] { return true; });

  Peer peer;
  ASSERT_NE(peer.dpy, nullptr);
  // Larger than one property read (256 KB): read in several parts.
  std::string text(300000, 'p');
  text += " end";
  XSetSelectionOwner(peer.dpy, peer.clipboard, peer.window, CurrentTime);
  XFlush(peer.dpy);
  std::atomic<bool> stop{false};
  std::thread serve([&] {
    while (!stop.load()) {
      XEvent e;
      if (!XCheckTypedWindowEvent(peer.dpy, peer.window, SelectionRequest, &e)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      XSelectionRequestEvent& r = e.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = r.requestor;
      reply.xselection.selection = r.selection;
      reply.xselection.target = r.target;
      reply.xselection.time = r.time;
      reply.xselection.property = None;
      if (r.target == peer.utf8) {
        XChangeProperty(peer.dpy, r.requestor, r.property, peer.utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
        reply.xselection.property = r.property;
      }
      XSendEvent(peer.dpy, r.requestor, False, NoEventMask, &reply);
      XFlush(peer.dpy);
    }
  });
  // Our SelectionClear arrives through the pump.
  pump_until([] { return false; }, 300);
  const char* read = kvclipboard_get();
  stop = true;
  serve.join();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(std::string(read), text);
}

}  // namespace
