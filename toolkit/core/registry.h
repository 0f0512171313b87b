// Registry values addressed by one path text.
//
// A path such as "HKEY_CURRENT_USER/Software/Vabrel/Value" names a root, a
// key and a value: forward slashes count as backslashes; the root is the
// first name and must be HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_CONFIG (any other path
// fails without touching the store); the key is the text between the first
// and the last backslash, the value name the text after the last one.
//
// On Linux the values live in a small store in the user's configuration
// folder. Values under "HKEY_CURRENT_USER/Software/Microsoft/Windows/
// CurrentVersion/Run" are the programs started at log-in: writing NAME
// there writes the XDG autostart entry "NAME.desktop" (the value is the
// command line, split like a program's command line), deleting it removes
// the entry, and reading it reads the entry back.
#pragma once

#include <string>

// The value's text; false when the path is invalid or the value is missing.
bool kvreg_read(const char* path, std::string& buffer);
// Stores text as the value (creating the key); false on failure.
bool kvreg_write(const char* path, const char* text);
// Deletes the key of the full path with everything below it, if there is
// one, then the value. True if anything was deleted.
bool kvreg_delete(const char* path);

// Longest value kvreg_write stores.
constexpr size_t kvreg_value_max = size_t(1) << 20;
