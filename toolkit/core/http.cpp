// kvhttpget: the toolkit's download into a file over the port's Http
// service, and the transcript every download leaves in the download log.
#include "toolkit/core/http.h"

#include <atomic>
#include <cctype>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_internal.h"
#include "toolkit/core/strformat.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/http.h"
#include "toolkit/port/system_info.h"

namespace {

// Longest piece of an address or file name quoted in a transcript, so that
// the lines after it still fit into the log.
constexpr size_t kQuoteMax = 1024;

struct Shared {
  std::mutex mutex;
  std::string log;
  kvhttp_limits limits;
  bool opened = false;  // the transfer library was prepared once
};

// Never destroyed: a download thread may still run while the process ends.
Shared& shared() {
  static Shared* state = new Shared;
  return *state;
}

void publish(const std::string& transcript) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  s.log.assign(transcript, 0, kvhttp_log_max);
}

std::string clipped(const std::string& text) {
  if (text.size() <= kQuoteMax) return text;
  return text.substr(0, kQuoteMax) + "...";
}

void add(std::string& log, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Every text argument is clipped by the caller, so a line is never cut and
// always keeps its line end.
void add(std::string& log, const char* format, ...) {
  va_list args;
  va_start(args, format);
  log += kivo::core::vformat(format, args);
  va_end(args);
}

void add_error(std::string& log, const kivo::port::HttpResult& r) {
  add(log, "err=%d \"%s\"\r\n", r.error_code, clipped(r.error).c_str());
}

// "PROGRAM (kivo)"; never destroyed, like the shared state.
const std::string& user_agent() {
  static const std::string* agent = [] {
    std::string path = kivo::port::backend().system_info().program_path();
    std::string name = std::filesystem::path(path).filename().string();
    return new std::string(name.empty() ? std::string("kivo") : name + " (kivo)");
  }();
  return *agent;
}

// The part of url after its last "/".
std::string default_file_name(const std::string& url) {
  size_t slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}

bool scheme_allowed(const std::string& url) {
  for (const char* scheme : {"http://", "https://", "ftp://"}) {
    size_t n = std::char_traits<char>::length(scheme);
    if (url.size() < n) continue;
    bool same = true;
    for (size_t i = 0; i < n && same; ++i)
      same = std::tolower(static_cast<unsigned char>(url[i])) == scheme[i];
    if (same) return true;
  }
  return false;
}

kivo::port::HttpResult run_transfer(const kivo::port::HttpRequest& request) {
  kivo::port::Http& http = kivo::port::backend().http();
  if (!kivo::core::on_entry_thread()) return http.get(request);
  // On the entry thread windows and timers go on while the answer arrives.
  kivo::port::HttpResult result;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    result = http.get(request);
    done.store(true, std::memory_order_release);
  });
  while (!done.load(std::memory_order_acquire)) {
    kvpump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  worker.join();
  return result;
}

bool download(const std::string& url, std::string file, std::string& log) {
  using kivo::port::HttpFailure;
  if (file.empty()) file = default_file_name(url);
  add(log, "get %s -> %s\r\n", clipped(url).c_str(), clipped(file).c_str());
  publish(log);

  kvhttp_limits limits;
  bool first = false;
  {
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    limits = s.limits;
    first = !s.opened;
    s.opened = true;
  }
  if (first) {
    if (!kivo::port::backend().http().open()) {
      add(log, "InternetOpen failed\r\n");
      std::lock_guard lock(shared().mutex);
      shared().opened = false;
      return false;
    }
    add(log, "InternetOpen ok\r\n");
  } else {
    add(log, "already open\r\n");
  }

  if (url.size() > kvhttp_max_url) {
    add(log, "URL too long (%zu characters, at most %zu)\r\n", url.size(), kvhttp_max_url);
    return false;
  }
  if (!scheme_allowed(url)) {
    add(log, "unsupported address (only http, https and ftp are fetched)\r\n");
    return false;
  }
  if (file.empty()) {
    add(log, "no file name\r\n");
    return false;
  }

  kivo::port::HttpRequest request;
  request.url = url;
  // The caller's folder now, even if another thread changes folders later.
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  request.target_file = ec ? file : absolute.string();
  request.connect_timeout_ms = limits.connect_timeout_ms;
  request.total_timeout_ms = limits.total_timeout_ms;
  request.max_bytes = limits.max_bytes;
  request.max_redirects = limits.max_redirects;
  request.user_agent = user_agent();

  kivo::port::HttpResult r = run_transfer(request);
  switch (r.failure) {
    case HttpFailure::NoFailure:
    case HttpFailure::FileWrite:
      break;
    case HttpFailure::BadUrl:
    case HttpFailure::NoAnswer:
      add(log, "InternetOpenUrl failed (%d)\r\n", r.error_code);
      add_error(log, r);
      return false;
    case HttpFailure::TimedOut:
      if (!r.answered) {
        add(log, "InternetOpenUrl failed (%d)\r\n", r.error_code);
        add(log, "timed out\r\n");
        add_error(log, r);
        return false;
      }
      add(log, "InternetOpenUrl ok\r\n");
      add(log, "timed out after %d bytes\r\n", int(r.bytes));
      add(log, "file not read\r\n");
      add_error(log, r);
      return false;
    case HttpFailure::TooLarge:
      add(log, "InternetOpenUrl ok\r\n");
      add(log, "answer larger than %zu bytes, stopped\r\n", request.max_bytes);
      add(log, "file not read\r\n");
      return false;
    case HttpFailure::Transfer:
    case HttpFailure::Cancelled:
      add(log, "InternetOpenUrl ok\r\n");
      add(log, "file not read\r\n");
      add_error(log, r);
      return false;
  }
  add(log, "InternetOpenUrl ok\r\n");
  add(log, "InternetReadFile ok, read=%d\r\n", int(r.bytes));
  if (r.is_http)
    add(log, "StatusCode=%ld\r\n", r.status);
  else
    add(log, "StatusCode=\r\n");
  if (r.failure == HttpFailure::FileWrite) {
    add(log, "%s\r\n", clipped(r.error).c_str());
    return false;
  }
  add(log, "ok\r\n");
  return true;
}

}  // namespace

bool kvhttpget(const char* url, const char* file, std::string* transcript) {
  std::string log;
  bool ok = download(url ? url : "", file ? file : "", log);
  publish(log);
  if (transcript) *transcript = log;
  return ok;
}

std::string kvhttplog() {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  return s.log;
}

void kvhttp_setlimits(const kvhttp_limits& limits) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  s.limits = limits;
}

kvhttp_limits kvhttp_getlimits() {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  return s.limits;
}
