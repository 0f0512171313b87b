// Native file, colour and font dialogs. Where the desktop offers none the
// backend says so and the toolkit shows its own dialogs.
#pragma once

#include <string>
#include <vector>

namespace kivo::port {

struct FileDialogRequest {
  bool save = false;
  std::vector<std::string> patterns;      // "*.txt"
  std::vector<std::string> descriptions;  // one per pattern, may be empty
  std::string start_folder;
  std::string title;
  std::string default_extension;
  std::string suggestion;
  bool must_exist = false;
};

enum class DialogResult { Chosen, Cancelled, NotAvailable };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // False when file() would only answer NotAvailable (nothing is shown).
  virtual bool has_file_dialog() = 0;
  virtual DialogResult file(const FileDialogRequest& request, std::string& chosen) = 0;
  virtual DialogResult colour(int initial, int& chosen) = 0;
  virtual DialogResult font(const std::string& initial, std::string& chosen) = 0;
};

}  // namespace kivo::port
