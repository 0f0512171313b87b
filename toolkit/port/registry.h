// Registry values addressed by a path "ROOT/key/.../value".
//
// Linux has no registry: the backend keeps values in a small file-backed
// store in the user's configuration folder. The autostart value
// ".../CurrentVersion/Run/NAME" is mapped to an XDG autostart entry.
#pragma once

#include <string>

namespace kivo::port {

class Registry {
 public:
  virtual ~Registry() = default;
  // Paths use backslashes between root, keys and value name (the toolkit
  // turns forward slashes into backslashes before calling).
  virtual bool read(const std::string& path, std::string& value) = 0;
  virtual bool write(const std::string& path, const std::string& value) = 0;
  virtual bool remove(const std::string& path) = 0;
};

}  // namespace kivo::port
