// The receiving side of XDND (drag and drop between X programs) for files:
// windows that accept drops take "text/uri-list" and get the local paths.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/port/x11/atoms.h"

namespace kivo::port::x11 {

// Local file paths of a text/uri-list, in list order: comment lines are
// skipped, file: URIs on this host are percent-decoded, others are dropped.
std::vector<std::string> files_from_uri_list(const std::string& text, const std::string& hostname);

class XdndTarget {
 public:
  // on_drop(window, root x, root y, files) is called when a drop of at
  // least one local file on one of our windows has been read.
  using DropHandler = std::function<void(::Window, int, int, std::vector<std::string>)>;
  XdndTarget(::Display* connection, const Atoms& atoms, DropHandler on_drop);

  // Announces that a window takes drops.
  void make_aware(::Window window);

  // Handles the protocol's client messages and the selection answer for
  // our windows; true if the event belonged to a drop.
  bool handle(const XEvent& event);

  // Forgets a window that is being destroyed.
  void forget(::Window window);

 private:
  void send(::Window to, Atom type, long d1, long d2, long d3, long d4);
  void finish(bool success);

  static constexpr long kVersion = 5;
  static constexpr long kMaxListBytes = 1 << 20;

  ::Display* connection_;
  const Atoms& atoms_;
  DropHandler on_drop_;
  std::string hostname_;
  // The drag in progress: its source, the window it is over and where.
  ::Window source_ = None;
  ::Window target_ = None;
  long version_ = 0;
  bool has_uri_list_ = false;
  int root_x_ = 0, root_y_ = 0;
  bool waiting_for_data_ = false;
};

}  // namespace kivo::port::x11
