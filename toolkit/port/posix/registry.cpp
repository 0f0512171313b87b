// The registry on Linux: a small text store in the user's configuration
// folder ($XDG_CONFIG_HOME/kivo/registry, else ~/.config/kivo/registry), and
// XDG autostart entries ("NAME.desktop" in the autostart folder) for the
// values the desktop starts at log-in.
//
// The store has one line per value, "key TAB name TAB value", with
// backslash escapes for backslash, tab, line ends and other control
// characters. Every change reads the store, changes it and writes it back
// under a temporary name that is then renamed; a lock file keeps the
// programs of one user from losing each other's changes.
#include <fcntl.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

constexpr size_t kStoreMax = 16u << 20;  // a larger store is not ours: refuse it
constexpr const char* kHeader = "# kivo registry: key, value name, value (tab-separated, escaped)\n";

struct Entry {
  std::string key, name, value;
};

bool same_name(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// key lies at or below parent.
bool below(const std::string& key, const std::string& parent) {
  if (key.size() < parent.size() || strncasecmp(key.c_str(), parent.c_str(), parent.size()) != 0) return false;
  return key.size() == parent.size() || key[parent.size()] == '\\';
}

std::string escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          static const char hex[] = "0123456789abcdef";
          out += "\\x";
          out += hex[c >> 4];
          out += hex[c & 15];
        } else {
          out += char(c);
        }
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char e = text[++i];
    switch (e) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 's': out += ' '; break;
      case 'x':
        if (i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
          out += char(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
          i += 2;
        }
        break;
      default: out += e;
    }
  }
  return out;
}

bool make_dirs(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = dir.rfind('/');
  if (slash != std::string::npos && slash > 0 && !make_dirs(dir.substr(0, slash))) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool read_file(const std::string& name, std::string& text, bool& missing) {
  text.clear();
  missing = false;
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    missing = errno == ENOENT;
    return missing;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || text.size() + size_t(n) > kStoreMax) {
      ok = false;
      break;
    }
    if (n == 0) break;
    text.append(buffer, size_t(n));
  }
  ::close(fd);
  return ok;
}

// Writes the file under a temporary name beside it, then renames it.
bool write_file_atomic(const std::string& name, const std::string& text, mode_t mode) {
  std::string temp = name + ".XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const char* p = text.data();
  size_t left = text.size();
  bool ok = true;
  while (left > 0 && ok) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else {
      p += n;
      left -= size_t(n);
    }
  }
  ok = ok && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), name.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

// A desktop-entry string value: backslash escapes for the characters the
// format reserves.
std::string desktop_string(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

// The Exec line of a desktop entry for an argument vector: arguments with
// reserved characters are quoted, '%' is doubled (field codes), then the
// whole line is escaped as a string value.
std::string desktop_exec(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& arg : argv) {
    if (!line.empty()) line += ' ';
    bool plain = !arg.empty() && arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`=") == std::string::npos;
    std::string word;
    if (!plain) word += '"';
    for (char c : arg) {
      if (!plain && (c == '"' || c == '`' || c == '$' || c == '\\')) word += '\\';
      if (c == '%') word += '%';
      word += c;
    }
    if (!plain) word += '"';
    line += word;
  }
  return desktop_string(line);
}

// A file name for an autostart entry: letters, digits, '.', '-' and '_'.
std::string entry_file_name(const std::string& name) {
  std::string out;
  for (unsigned char c : name) out += (std::isalnum(c) || c == '-' || c == '_' || c == '.') ? char(c) : '_';
  if (out.empty() || out[0] == '.') out.insert(0, "kivo-");
  return out + ".desktop";
}

class FileRegistry : public Registry {
 public:
  FileRegistry() : info_(make_posix_system_info()) {}

  bool read(const std::string& key, const std::string& name, std::string& value) override {
    // No lock: the store is only ever replaced whole, by a rename.
    std::vector<Entry> entries;
    if (!load(entries)) return false;
    for (const Entry& e : entries)
      if (same_name(e.key, key) && same_name(e.name, name)) {
        value = e.value;
        return true;
      }
    return false;
  }

  bool write(const std::string& key, const std::string& name, const std::string& value) override {
    Locked store(*this);
    std::vector<Entry> entries;
    if (!store.locked() || !load(entries)) return false;
    bool found = false;
    for (Entry& e : entries)
      if (same_name(e.key, key) && same_name(e.name, name)) {
        e.value = value;
        found = true;
      }
    if (!found) entries.push_back({key, name, value});
    return save(entries);
  }

  bool remove_value(const std::string& key, const std::string& name) override {
    return change([&](const Entry& e) { return same_name(e.key, key) && same_name(e.name, name); });
  }

  bool remove_key(const std::string& key) override {
    return change([&](const Entry& e) { return below(e.key, key); });
  }

  bool write_autostart(const std::string& name, const std::vector<std::string>& argv,
                       const std::string& command) override {
    if (name.empty() || argv.empty()) return false;
    std::string dir = info_->autostart_dir();
    if (!make_dirs(dir)) return false;
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + desktop_string(name) + "\n";
    text += "Exec=" + desktop_exec(argv) + "\n";
    text += "Terminal=false\nX-GNOME-Autostart-enabled=true\n";
    text += "X-Kivo-Command=" + desktop_string(command) + "\n";
    return write_file_atomic(dir + "/" + entry_file_name(name), text, 0644);
  }

  bool read_autostart(const std::string& name, std::string& command) override {
    if (name.empty()) return false;
    std::string text;
    bool missing = false;
    if (!read_file(info_->autostart_dir() + "/" + entry_file_name(name), text, missing) || missing) return false;
    std::string exec;
    bool have_command = false;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      if (line.rfind("X-Kivo-Command=", 0) == 0) {
        command = unescape(line.substr(15));
        have_command = true;
      } else if (line.rfind("Exec=", 0) == 0) {
        exec = unescape(line.substr(5));
      }
    }
    if (!have_command) command = exec;  // an entry someone else wrote
    return true;
  }

  bool remove_autostart(const std::string& name) override {
    if (name.empty()) return false;
    return ::unlink((info_->autostart_dir() + "/" + entry_file_name(name)).c_str()) == 0;
  }

 private:
  std::string folder() const { return info_->user_config_dir() + "/kivo"; }
  std::string store_name() const { return folder() + "/registry"; }

  // Holds the store's lock file for one read-change-write.
  class Locked {
   public:
    explicit Locked(FileRegistry& r) {
      if (!make_dirs(r.folder())) return;
      fd_ = ::open((r.folder() + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
        ::close(fd_);
        fd_ = -1;
      }
    }
    ~Locked() {
      if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    bool locked() const { return fd_ >= 0; }

   private:
    int fd_ = -1;
  };

  bool load(std::vector<Entry>& entries) {
    std::string text;
    bool missing = false;
    if (!read_file(store_name(), text, missing)) return false;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      if (line.empty() || line[0] == '#') continue;
      size_t tab1 = line.find('\t');
      size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
      if (tab2 == std::string::npos) continue;  // not one of our lines
      entries.push_back({unescape(line.substr(0, tab1)), unescape(line.substr(tab1 + 1, tab2 - tab1 - 1)),
                         unescape(line.substr(tab2 + 1))});
    }
    return true;
  }

  bool save(const std::vector<Entry>& entries) {
    std::string text = kHeader;
    for (const Entry& e : entries) text += escape(e.key) + "\t" + escape(e.name) + "\t" + escape(e.value) + "\n";
    if (text.size() > kStoreMax) return false;
    return write_file_atomic(store_name(), text, 0600);
  }

  template <typename Match>
  bool change(Match match) {
    Locked store(*this);
    std::vector<Entry> entries;
    if (!store.locked() || !load(entries)) return false;
    size_t before = entries.size();
    std::erase_if(entries, match);
    if (entries.size() == before) return false;
    return save(entries);
  }

  std::unique_ptr<SystemInfo> info_;
};

}  // namespace

std::unique_ptr<Registry> make_posix_registry() { return std::make_unique<FileRegistry>(); }

}  // namespace kivo::port
