// Whole-file reads and writes, copies and path helpers.
#include "toolkit/core/files.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "toolkit/core/strformat.h"

namespace fs = std::filesystem;

namespace {

std::string with_slashes(const char* name) {
  std::string s = name ? name : "";
  kvslashes(s);
  return s;
}

bool write_file_directly(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

std::string temporary_sibling(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, ".kvtmp%08x%04x", salt, counter.fetch_add(1) & 0xffff);
  return path + suffix;
}

}  // namespace

bool kvfile_exists(const char* name) {
  std::error_code ec;
  return name && fs::is_regular_file(with_slashes(name), ec);
}

bool kvdir_exists(const char* name) {
  std::error_code ec;
  return name && fs::is_directory(with_slashes(name), ec);
}

long long kvfile_size(const char* name) {
  std::error_code ec;
  if (!name) return -1;
  auto size = fs::file_size(with_slashes(name), ec);
  return ec ? -1 : static_cast<long long>(size);
}

bool kvfile_read(std::string& buffer, const char* name, size_t size) {
  if (!name) return false;
  std::FILE* f = std::fopen(with_slashes(name).c_str(), "rb");
  if (!f) return false;
  bool ok = true;
  try {
    if (size == 0) {
      buffer.clear();
      char chunk[65536];
      size_t n;
      while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) buffer.append(chunk, n);
      ok = !std::ferror(f);
    } else {
      buffer.resize(size);
      ok = std::fread(buffer.data(), 1, size, f) == size;
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  std::fclose(f);
  if (!ok) buffer.clear();
  return ok;
}

bool kvfile_readtext(std::string& buffer, const char* name) { return kvfile_read(buffer, name, 0); }

bool kvfile_write(const void* data, const char* name, size_t size) {
  if (!name || !*name) return false;
  if (size == 0 && data) size = std::strlen(static_cast<const char*>(data));
  const std::string path = with_slashes(name);
  const std::string temp = temporary_sibling(path);
  if (!write_file_directly(temp, data, size)) {
    std::error_code ec;
    fs::remove(temp, ec);
    // A folder we may not create files in can still hold a writable file.
    return write_file_directly(path, data, size);
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool kvfile_writetext(const std::string& text, const char* name) {
  if (text.empty()) return kvfile_write("", name, 0);
  return kvfile_write(text.data(), name, text.size());
}

bool kvmkdir(const char* name) {
  if (!name || !*name) return false;
  std::error_code ec;
  fs::create_directories(with_slashes(name), ec);
  return fs::is_directory(with_slashes(name), ec);
}

bool kvfile_copy(const char* source, const char* target) {
  if (!source || !target) return false;
  std::string from = with_slashes(source), to = with_slashes(target);
  std::string folder, base, extension;
  kvpath_split(from.c_str(), folder, base, extension);
  if (base == "." || base == ".." || base.empty()) return false;
  if (kvdir_exists(to.c_str())) to += "/" + base;
  std::string data;
  if (!kvfile_exists(from.c_str()) || !kvfile_read(data, from.c_str())) return false;
  if (data.empty()) return kvfile_write("", to.c_str(), 0);
  return kvfile_write(data.data(), to.c_str(), data.size());
}

int kvfile_copyall(const char* pattern, const char* folder) {
  if (!pattern || !folder) return 0;
  std::string path_pattern;
  kivo::core::ListingOptions options;
  kivo::core::parse_listing(pattern, path_pattern, options);
  int copied = 0;
  for (const std::string& file : kivo::core::list_folder(path_pattern, options))
    if (kvfile_exists(file.c_str()) && kvfile_copy(file.c_str(), folder)) ++copied;
  return copied;
}

int kvfile_deleteall(const char* format, ...) {
  if (!format) return 0;
  va_list args;
  va_start(args, format);
  const std::string text = kivo::core::vformat(format, args, kivo::core::kMaxPattern);
  va_end(args);
  std::string path_pattern;
  kivo::core::ListingOptions options;
  kivo::core::parse_listing(text, path_pattern, options);
  int deleted = 0;
  for (const std::string& file : kivo::core::list_folder(path_pattern, options)) {
    std::error_code ec;
    if (fs::is_regular_file(file, ec) && fs::remove(file, ec)) ++deleted;
  }
  return deleted;
}

void kvpath_split(const char* path, std::string& folder, std::string& name, std::string& extension) {
  std::string p = with_slashes(path);
  size_t slash = p.rfind('/');
  folder = slash == std::string::npos ? "" : p.substr(0, slash);
  name = slash == std::string::npos ? p : p.substr(slash + 1);
  size_t dot = name.rfind('.');
  extension = dot == std::string::npos ? "" : name.substr(dot + 1);
}

void kvpath_dirname(const char* path, std::string& folder, std::string& name) {
  std::string p = with_slashes(path);
  size_t slash = p.rfind('/');
  folder = slash == std::string::npos ? "." : p.substr(0, slash);
  name = slash == std::string::npos ? p : p.substr(slash + 1);
}

void kvslashes(char* text) {
  for (char* p = text; p && *p; ++p)
    if (*p == '\\') *p = '/';
}

void kvslashes(std::string& text) {
  for (char& c : text)
    if (c == '\\') c = '/';
}
