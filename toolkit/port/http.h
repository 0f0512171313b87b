// Downloading a URL (http, https, ftp) into a file.
//
// Safe to call from any thread; one call runs at a time per thread and calls
// on different threads do not share state except the connection pool.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace kivo::port {

struct HttpRequest {
  std::string url;
  std::string target_file;        // written only when the transfer completed
  int connect_timeout_s = 30;
  int total_timeout_s = 120;      // the whole transfer
  size_t max_bytes = 64u << 20;   // larger answers are refused
  int max_redirects = 10;
  std::string user_agent;         // empty: the toolkit's default
  const std::atomic<bool>* cancel = nullptr;  // set to abandon the transfer
};

struct HttpResult {
  bool ok = false;        // the answer arrived completely and the file was written
  long status = 0;        // the server's status code (0 for none, ftp reply codes for ftp)
  size_t bytes = 0;       // bytes of the (decoded) answer
  std::string error;      // why it failed, one line, empty on success
};

class Http {
 public:
  virtual ~Http() = default;
  virtual HttpResult get(const HttpRequest& request) = 0;
};

}  // namespace kivo::port
