// Facts about the user, the machine and the program.
#pragma once

#include <string>

namespace kivo::port {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual std::string user_name() = 0;
  virtual std::string computer_name() = 0;
  // Full path of the running program file (forward slashes).
  virtual std::string program_path() = 0;
  // Two-letter language of the user's locale ("en", "de"), "en" if unknown.
  virtual std::string locale_language() = 0;
  // The folder where programs keep per-user data (XDG_CONFIG_HOME or
  // ~/.config); the ticker's application-data folder lives below it.
  virtual std::string user_config_dir() = 0;
  // The folder for autostart entries (XDG autostart).
  virtual std::string autostart_dir() = 0;
  // The folder for temporary files.
  virtual std::string temp_dir() = 0;
  // The single-byte code page that texts of the toolkit use: 1252.
  virtual int ansi_code_page() = 0;
};

}  // namespace kivo::port
