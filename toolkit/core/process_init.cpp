// Placeholder until child processes exist: there is no table to clear yet.
#include "toolkit/core/runtime_internal.h"

namespace kivo::core {

void reset_child_processes() {}

}  // namespace kivo::core
