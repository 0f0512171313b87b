// The text clipboard.
#pragma once

#include <string>

namespace kivo::port {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Places UTF-8 text on the clipboard; the backend serves it while we own it.
  virtual bool set_text(const std::string& utf8) = 0;
  // Reads the clipboard's text; false when there is none (or it is not text).
  virtual bool get_text(std::string& utf8) = 0;
};

}  // namespace kivo::port
