// Temporary files that disappear when the program ends.
//
// The folder is the system's temporary folder, unless a file ".kivo_tmp"
// exists in the current folder when the first name is made: then the first
// line of that file names the folder (created if needed; relative to the
// current folder at that moment). Every name is created as an empty file,
// recorded, and deleted by the exit sequence (kvexit, kvcleanup). Names are
// full paths with forward slashes. Safe to call from any thread.
#pragma once

#include <string>

// A new empty file "FOLDER/kvtmpXXXXXX" (the six X made unique); "" when no
// file could be created.
std::string kvtmpname();
// A new temporary name with "." and the extension appended; that file is
// created (and recorded) as well. "" on failure.
std::string kvtmpname_ext(const char* extension);

namespace kivo::core {
// Deletes every recorded temporary file now and forgets the names (the
// exit sequence calls this).
void delete_temp_files();
// Forgets the chosen folder, so the next name decides it again (tests).
void reset_temp_folder();
}  // namespace kivo::core
