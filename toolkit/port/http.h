// Downloading a URL (http, https, ftp) into a file.
//
// Safe to call from any thread: every call uses its own connection state,
// so calls on different threads share nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace kivo::port {

struct HttpRequest {
  std::string url;                 // only http://, https:// and ftp:// are fetched
  std::string target_file;         // replaced only when the transfer completed
  int connect_timeout_ms = 30000;
  int total_timeout_ms = 120000;   // the whole transfer, redirects included
  size_t max_bytes = 64u << 20;    // larger (decoded) answers are refused
  int max_redirects = 10;
  std::string user_agent;          // empty: "kivo"
  const std::atomic<bool>* cancel = nullptr;  // set to abandon the transfer
};

enum class HttpFailure {
  NoFailure,
  BadUrl,      // not an http, https or ftp URL, or not a URL at all
  NoAnswer,    // resolving, connecting, the request or the redirects failed
  Transfer,    // the answer began but did not arrive completely
  TooLarge,    // the answer is larger than max_bytes
  TimedOut,    // total_timeout_ms (or connect_timeout_ms) passed
  Cancelled,
  FileWrite,   // the answer arrived but target_file could not be written
};

struct HttpResult {
  bool ok = false;        // the answer arrived completely and the file was written
  HttpFailure failure = HttpFailure::NoFailure;
  bool answered = false;  // the server began its answer (a status arrived)
  bool is_http = false;   // http or https (ftp has no status line)
  long status = 0;        // the server's last status code (ftp: its last reply code)
  size_t bytes = 0;       // bytes of the decoded answer received
  int error_code = 0;     // the transfer library's error number, 0 on success
  std::string error;      // why it failed, one line, empty on success
};

class Http {
 public:
  virtual ~Http() = default;
  // Prepares the transfer library (once per process; later calls only
  // answer). False if it cannot start; get() then fails too.
  virtual bool open() = 0;
  virtual HttpResult get(const HttpRequest& request) = 0;
};

}  // namespace kivo::port
