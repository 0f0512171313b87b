// Handing addresses and documents to the desktop, and starting programs.
// Nothing is ever passed through a command shell: programs receive argument
// vectors.
#pragma once

#include <string>
#include <vector>

namespace kivo::port {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a web or mail address, or a document, with the desktop's opener
  // (xdg-open, or the command named by KIVO_OPENER). Returns once the opener
  // was started; false if it could not be.
  virtual bool open(const std::string& target) = 0;
  // Starts a program detached from us, with arguments.
  virtual bool start(const std::string& program, const std::vector<std::string>& args) = 0;
};

}  // namespace kivo::port
