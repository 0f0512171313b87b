// Protocol errors of the x11 backend. Requests about other programs'
// windows (which may vanish at any moment) run under an ErrorTrap, which
// collects the errors instead of printing them.
#pragma once

#include <X11/Xlib.h>

namespace kivo::port::x11 {

// The process-wide error handler: a trapped error is recorded silently,
// any other is printed ("x11: ...") and the program goes on.
int handle_x_error(::Display* connection, XErrorEvent* error);

// While it lives, errors of requests on `connection` made by this thread
// are recorded. failed() syncs with the server first, so it covers every
// request made since the trap was set up.
class ErrorTrap {
 public:
  explicit ErrorTrap(::Display* connection);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  bool failed();
  int error_code() const { return error_code_; }

 private:
  friend int handle_x_error(::Display*, XErrorEvent*);
  ::Display* connection_;
  ErrorTrap* outer_;
  int error_code_ = 0;
};

}  // namespace kivo::port::x11
