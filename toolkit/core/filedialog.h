// The window-system back ends of the open and save dialogs (the front end,
// which also holds the toolkit's own dialog, is the widgets' file chooser).
//
// Linux desktops offer no dialog a program can call in-process: there
// kvfiledialog_available() is false, and the front end shows the toolkit's
// own dialog instead.
#pragma once

#include <string>
#include <vector>

// True when the port has a system file dialog.
bool kvfiledialog_available();

// patterns: one file pattern per filter ("*.txt", "*.bmp;*.jpg");
// descriptions: one per pattern, an empty or missing one shows the pattern.
// start_folder: where the dialog opens; suggestion: the proposed name (at
// most 1023 characters are used). True and the chosen name (with forward
// slashes) when the user chose one; false when cancelled or when no system
// dialog is available. The current folder is the same after the call.
bool kvfiledialog_open(std::string& name, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& descriptions, const char* start_folder, const char* title,
                       const char* default_extension, bool must_exist, const char* suggestion);
bool kvfiledialog_save(std::string& name, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& descriptions, const char* start_folder, const char* title,
                       const char* default_extension, const char* suggestion);
