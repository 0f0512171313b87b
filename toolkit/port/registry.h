// Registry values: text values under keys such as
// "HKEY_CURRENT_USER\Software\Vabrel", and the entries the desktop starts at
// log-in (the autostart values).
//
// Linux has no registry: the posix backend keeps values in a small
// file-backed store in the user's configuration folder and writes autostart
// entries as XDG autostart files. The toolkit checks paths and roots before
// it calls; key and value names compare without regard to ASCII case.
#pragma once

#include <string>
#include <vector>

namespace kivo::port {

class Registry {
 public:
  virtual ~Registry() = default;
  // key: the root and the keys below it, separated by backslashes; name:
  // the value's name (may be empty: the key's default value).
  virtual bool read(const std::string& key, const std::string& name, std::string& value) = 0;
  virtual bool write(const std::string& key, const std::string& name, const std::string& value) = 0;
  // Deletes one value; false if there was none (or the store failed).
  virtual bool remove_value(const std::string& key, const std::string& name) = 0;
  // Deletes the key with its values and every key below it; false if there
  // was none.
  virtual bool remove_key(const std::string& key) = 0;

  // Autostart entries, one per name: argv is the program and its arguments
  // the desktop starts at log-in; command is the original command text,
  // which read_autostart gives back.
  virtual bool write_autostart(const std::string& name, const std::vector<std::string>& argv,
                               const std::string& command) = 0;
  virtual bool read_autostart(const std::string& name, std::string& command) = 0;
  virtual bool remove_autostart(const std::string& name) = 0;
};

}  // namespace kivo::port
