#include "toolkit/core/strformat.h"

#include <algorithm>
#include <cstdio>

namespace kivo::core {

std::string vformat(const char* format, va_list args, std::size_t max_length) {
  if (!format) return {};
  va_list again;
  va_copy(again, args);
  // Most texts fit the first try; longer ones are formatted again at their size.
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, format, args);
  std::string out;
  if (n >= 0) {
    const std::size_t length = std::min(static_cast<std::size_t>(n), max_length);
    if (static_cast<std::size_t>(n) < sizeof small) {
      out.assign(small, length);
    } else {
      out.resize(length + 1);
      std::vsnprintf(out.data(), out.size(), format, again);
      out.resize(length);
    }
  }
  va_end(again);
  return out;
}

}  // namespace kivo::core
