// printf formatting into a std::string.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace kivo::core {

// Formats with printf rules (the format is used as it is: see
// kvcfgstr_vformat for configuration strings, which escapes first). At most
// max_length characters are kept; a null format or an output error gives an
// empty text. args is consumed as by vsnprintf.
std::string vformat(const char* format, va_list args, std::size_t max_length = std::string::npos)
    __attribute__((format(printf, 1, 0)));

}  // namespace kivo::core
