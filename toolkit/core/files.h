// File and folder helpers. Paths may use either slash; paths handed out use "/".
#pragma once

#include <string>
#include <vector>

bool kvfile_exists(const char* name);
bool kvdir_exists(const char* name);
// Size in bytes, -1 if the file cannot be read.
long long kvfile_size(const char* name);

// Reads `size` bytes (0: the whole file) into buffer; false if the file is
// missing or shorter than `size`.
bool kvfile_read(std::string& buffer, const char* name, size_t size = 0);
// The whole file as text (buffer.c_str() is the zero-terminated text).
bool kvfile_readtext(std::string& buffer, const char* name);

// Creates or replaces the file with `size` bytes of data (0: the text length
// of data). The file is written under a temporary name and then renamed, so
// a reader never sees half a file.
bool kvfile_write(const void* data, const char* name, size_t size = 0);
bool kvfile_writetext(const std::string& text, const char* name);

// Creates the folder (and missing parents); true if it exists afterwards.
bool kvmkdir(const char* name);

// Copies into the folder `target` (same file name) if it is a folder,
// otherwise to the file `target`. "." and ".." are never copied.
bool kvfile_copy(const char* source, const char* target);
// Copies every file of the listing of `pattern` into `folder`; returns how many.
int kvfile_copyall(const char* pattern, const char* folder);
// Deletes every file of the listing of the formatted pattern; returns how many.
int kvfile_deleteall(const char* format, ...) __attribute__((format(printf, 1, 2)));

// folder: without the final "/" ("" if none); name: after the last "/";
// extension: after the last "." of the name ("" if none).
void kvpath_split(const char* path, std::string& folder, std::string& name, std::string& extension);
// folder "." when the path has no "/".
void kvpath_dirname(const char* path, std::string& folder, std::string& name);
// Backslashes to forward slashes, in place.
void kvslashes(char* text);
void kvslashes(std::string& text);

// Folder listing. The formatted text is "FOLDER/PATTERN" followed by
// keywords: recursive, dirs (showdirs), hidden (showhidden), casesensitive.
// The same text and options continue the listing; anything else, or
// kvdir_restart(), starts a new one. Results are sorted case-insensitively.
// The returned text stays valid until the next call.
const char* kvdir_next(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool kvdir_nextinto(std::string& buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
void kvdir_restart();

// "*" any run of characters, "?" one character; ASCII case is ignored
// unless case_sensitive.
bool kvwildcard(const char* name, const char* pattern, bool case_sensitive);

namespace kivo::core {

// A listing's limits: beyond them it stops and prints one line.
constexpr size_t kListingMaxEntries = 100000;
constexpr size_t kListingMaxBytes = 1 << 20;
// A formatted listing or deletion pattern keeps its first this many characters.
constexpr size_t kMaxPattern = 4095;

struct ListingOptions {
  bool recursive = false;
  bool dirs = false;
  bool hidden = false;  // accepted; hidden files are listed in any case
  bool case_sensitive = false;
  bool operator==(const ListingOptions&) const = default;
};

// Splits a listing text into its path pattern and options.
void parse_listing(const std::string& text, std::string& pattern, ListingOptions& options);
// All matching full paths, sorted; stops at the given limits.
std::vector<std::string> list_folder(const std::string& pattern, const ListingOptions& options,
                                     size_t max_entries = kListingMaxEntries,
                                     size_t max_bytes = kListingMaxBytes);

}  // namespace kivo::core
