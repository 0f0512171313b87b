// Temporary files: made unique like mktemp, created empty, recorded and
// deleted by the exit sequence.
#include "toolkit/core/tmpfile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <vector>

#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/system_info.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAttempts = 1000;

struct TempFiles {
  std::mutex mutex;
  bool folder_chosen = false;
  std::string folder;
  std::vector<std::string> names;
  std::mt19937_64 random{std::random_device{}()};
};

// Never destroyed: another thread may still ask for a name while the
// process ends.
TempFiles& temp_files() {
  static TempFiles* state = new TempFiles;
  return *state;
}

std::string with_forward_slashes(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// The folder for this process's temporary files; called with the lock held.
const std::string& choose_folder(TempFiles& t) {
  if (t.folder_chosen) return t.folder;
  t.folder_chosen = true;
  std::error_code ec;
  std::string folder;
  if (fs::is_regular_file(".kivo_tmp", ec)) {
    std::ifstream in(".kivo_tmp", std::ios::binary);
    std::string line;
    char c;
    while (line.size() < 4096 && in.get(c) && c != '\n' && c != '\r') line += c;
    if (!line.empty()) {
      fs::create_directories(line, ec);
      if (fs::is_directory(line, ec))
        folder = fs::absolute(line, ec).string();
      else
        std::printf("kvtmpname: cannot create folder %s\n", line.c_str());
    }
  }
  if (folder.empty()) folder = kivo::port::backend().system_info().temp_dir();
  if (folder.empty()) folder = fs::temp_directory_path(ec).string();
  fs::path absolute = fs::absolute(folder, ec);
  t.folder = with_forward_slashes(ec ? folder : absolute.string());
  return t.folder;
}

// Creates the file only if it does not exist yet.
bool create_new(const std::string& name, bool& exists) {
  std::FILE* f = std::fopen(name.c_str(), "wbx");
  exists = !f && errno == EEXIST;
  if (!f) return false;
  std::fclose(f);
  return true;
}

std::string unique_name(TempFiles& t, const std::string& extension, bool with_extension) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const std::string& folder = choose_folder(t);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = folder + "/kvtmp";
    for (int i = 0; i < 6; ++i) name += letters[t.random() % (sizeof letters - 1)];
    bool exists = false;
    if (!create_new(name, exists)) {
      if (exists) continue;
      return "";
    }
    t.names.push_back(name);
    if (!with_extension) return name;
    std::string full = name + "." + extension;
    if (create_new(full, exists)) {
      t.names.push_back(full);
      return full;
    }
    if (!exists) return "";
  }
  return "";
}

std::string make_name(const char* extension, bool with_extension) {
  if (kivo::core::on_entry_thread()) kvset_tempfiles_hook(kivo::core::delete_temp_files);
  TempFiles& t = temp_files();
  std::lock_guard lock(t.mutex);
  return unique_name(t, extension ? extension : "", with_extension);
}

}  // namespace

std::string kvtmpname() { return make_name(nullptr, false); }

std::string kvtmpname_ext(const char* extension) { return make_name(extension, true); }

namespace kivo::core {

void delete_temp_files() {
  TempFiles& t = temp_files();
  std::vector<std::string> names;
  {
    std::lock_guard lock(t.mutex);
    names.swap(t.names);
  }
  for (const std::string& name : names) std::remove(name.c_str());
}

void reset_temp_folder() {
  TempFiles& t = temp_files();
  std::lock_guard lock(t.mutex);
  t.folder_chosen = false;
  t.folder.clear();
}

}  // namespace kivo::core
