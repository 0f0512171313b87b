#include "toolkit/port/x11/xerrors.h"

#include <cstdio>

namespace kivo::port::x11 {
namespace {

// The innermost trap of this thread; errors are reported on the thread
// whose call read them, which is the thread that made the request.
thread_local ErrorTrap* t_trap = nullptr;

}  // namespace

int handle_x_error(::Display* connection, XErrorEvent* error) {
  for (ErrorTrap* trap = t_trap; trap; trap = trap->outer_) {
    if (trap->connection_ == connection) {
      if (!trap->error_code_) trap->error_code_ = error->error_code;
      return 0;
    }
  }
  char text[256] = {};
  XGetErrorText(connection, error->error_code, text, sizeof text - 1);
  std::printf("x11: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code, error->minor_code,
              error->resourceid);
  return 0;
}

ErrorTrap::ErrorTrap(::Display* connection) : connection_(connection), outer_(t_trap) {
  // Errors of earlier requests belong to whoever made them, not to this trap.
  XSync(connection_, False);
  t_trap = this;
}

ErrorTrap::~ErrorTrap() {
  XSync(connection_, False);
  t_trap = outer_;
}

bool ErrorTrap::failed() {
  XSync(connection_, False);
  return error_code_ != 0;
}

}  // namespace kivo::port::x11
