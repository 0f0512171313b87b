// The ticker's entry. The ticker itself is not written yet: for now the
// program starts the toolkit, says which backend it chose and ends.
#include <cstdio>

#include "toolkit/core/runtime.h"
#include "toolkit/port/backend.h"

void kvmain() {
  std::printf("vabrel: kivo started on the %s backend (compiled: %s)\n", kivo::port::backend().name(),
              kivo::port::compiled_backends().c_str());
}
