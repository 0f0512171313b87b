// For tests: puts the runtime back into the state of a fresh process, so
// that tests run in one process do not see each other's queue or timers.
#pragma once

#include "toolkit/core/runtime_internal.h"

inline void kvruntime_reset() { kivo::core::reset_runtime(); }
