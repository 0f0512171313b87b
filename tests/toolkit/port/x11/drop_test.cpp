// Files dropped on our windows through XDND, from a small drag source
// written here, and the decoding of the URI lists sources send.
#include "x11_fixture.h"
#include "toolkit/port/x11/xdnd.h"

namespace kivo::test {
namespace {

using port::WindowEvent;

TEST(UriList, LocalFilesInOrderDecoded) {
  struct Case {
    const char* text;
    std::vector<std::string> files;
  } cases[] = {
      {"file:///tmp/a.txt\r\nfile:///tmp/b.txt\r\n", {"/tmp/a.txt", "/tmp/b.txt"}},
      {"file:///home/u/My%20File%C3%A4.txt", {"/home/u/My File\xC3\xA4.txt"}},
      {"# comment\nfile://localhost/etc/x\n\nFILE:///y", {"/etc/x", "/y"}},
      {"file://thishost/a\nfile://elsewhere/b", {"/a"}},
      {"http://example.org/x\nfile:/short/form", {"/short/form"}},
      {"file:///bad%2\nfile:///nul%00x\nfile:///ok", {"/ok"}},
      {"file:///q?x=1#frag", {"/q"}},
      {"file://", {}},
      {"", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(port::x11::files_from_uri_list(c.text, "thishost"), c.files) << c.text;
}

// The source side of XDND on the plain connection.
class Drop : public X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    window_ = open(spec(200, 200, 300, 200));
    ASSERT_NE(window_, 0u);
    source_ = XCreateSimpleWindow(raw_, root_, 0, 0, 10, 10, 0, 0, 0);
    XSetSelectionOwner(raw_, atom("XdndSelection"), source_, CurrentTime);
    XSync(raw_, False);
  }
  void TearDown() override {
    if (raw_ && source_) XDestroyWindow(raw_, source_);
    X11Test::TearDown();
  }
  void send(Atom type, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = ::Window(window_);
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(source_);
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(raw_, ::Window(window_), False, NoEventMask, &e);
    XSync(raw_, False);
  }
  // Answers the target's requests; returns the message type of a client message to us.
  Atom serve(const std::string& uri_list) {
    while (XPending(raw_)) {
      XEvent e;
      XNextEvent(raw_, &e);
      if (e.type == SelectionRequest) {
        XSelectionRequestEvent& r = e.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r.requestor;
        reply.xselection.selection = r.selection;
        reply.xselection.target = r.target;
        reply.xselection.time = r.time;
        reply.xselection.property = None;
        if (r.target == atom("text/uri-list")) {
          XChangeProperty(raw_, r.requestor, r.property, r.target, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(uri_list.data()), int(uri_list.size()));
          reply.xselection.property = r.property;
        }
        XSendEvent(raw_, r.requestor, False, NoEventMask, &reply);
        XSync(raw_, False);
      } else if (e.type == ClientMessage) {
        last_message_ = e.xclient;
        return e.xclient.message_type;
      }
    }
    return None;
  }
  bool await(const char* type, const std::string& uri_list = "") {
    return pump_until([&] { return serve(uri_list) == atom(type); });
  }

  port::WindowId window_ = 0;
  ::Window source_ = None;
  XClientMessageEvent last_message_{};
};

TEST_F(Drop, ThreeFilesArriveOnceFirstFileFirst) {
  const port::Rect client = windows().client_rect(window_);
  const long version = 5L << 24;
  send(atom("XdndEnter"), version, long(atom("text/uri-list")), long(atom("UTF8_STRING")), 0);
  send(atom("XdndPosition"), 0, long(client.x + 30) << 16 | long(client.y + 40), CurrentTime,
       long(atom("XdndActionCopy")));
  ASSERT_TRUE(await("XdndStatus"));
  EXPECT_EQ(last_message_.data.l[1] & 1, 1) << "the drop is accepted";
  EXPECT_EQ(Atom(last_message_.data.l[4]), atom("XdndActionCopy"));
  send(atom("XdndDrop"), 0, CurrentTime, 0, 0);
  const std::string list = "file:///tmp/first%20one.txt\r\nfile:///tmp/second.txt\r\nfile:///tmp/third.txt\r\n";
  ASSERT_TRUE(await("XdndFinished", list));
  EXPECT_EQ(last_message_.data.l[1] & 1, 1) << "finished with success";
  pump_for(50);
  ASSERT_EQ(count(window_, WindowEvent::FilesDropped), 1);
  const auto drop = of(window_, {WindowEvent::FilesDropped})[0];
  EXPECT_EQ(drop.files, (std::vector<std::string>{"/tmp/first one.txt", "/tmp/second.txt", "/tmp/third.txt"}));
  EXPECT_EQ(drop.x, 30);
  EXPECT_EQ(drop.y, 40);
}

TEST_F(Drop, TextOnlyDragIsRefused) {
  send(atom("XdndEnter"), 5L << 24, long(atom("UTF8_STRING")), 0, 0);
  send(atom("XdndPosition"), 0, 0, CurrentTime, long(atom("XdndActionCopy")));
  ASSERT_TRUE(await("XdndStatus"));
  EXPECT_EQ(last_message_.data.l[1] & 1, 0);
  send(atom("XdndDrop"), 0, CurrentTime, 0, 0);
  ASSERT_TRUE(await("XdndFinished"));
  EXPECT_EQ(last_message_.data.l[1] & 1, 0);
  EXPECT_EQ(count(window_, WindowEvent::FilesDropped), 0);
}

TEST_F(Drop, WindowThatRefusesDropsIsNotAware) {
  auto s = spec(600, 200, 100, 100);
  s.accept_drops = false;
  const port::WindowId w = open(s);
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(longs(::Window(w), "XdndAware").empty());
}

}  // namespace
}  // namespace kivo::test
