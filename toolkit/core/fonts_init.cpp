// Placeholder until the font table exists: kvinit registers no fonts yet.
#include "toolkit/core/runtime_internal.h"

namespace kivo::core {

void init_builtin_fonts() {}

}  // namespace kivo::core
