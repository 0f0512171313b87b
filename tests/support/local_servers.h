// Servers the download tests start on 127.0.0.1: a small HTTP server with
// scripted answers and Debian's pyftpdlib as an FTP server.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivo::test {

// One scripted answer: the exact bytes sent (status line, headers, body),
// optionally after a pause, optionally cut off after some bytes (the
// connection is then closed).
struct HttpAnswer {
  std::string bytes;
  int delay_ms = 0;
  size_t cut_after = std::string::npos;
};

// "HTTP/1.1 <status>" with Content-Length, Connection: close and the extra
// header lines (each ending in "\r\n").
HttpAnswer http_answer(const std::string& status, const std::string& body, const std::string& headers = "");
// The body compressed with gzip.
std::string gzip(const std::string& data);

class LocalHttpServer {
 public:
  LocalHttpServer();  // listens on 127.0.0.1, a free port
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // The answer for a path (the request target up to "?"); unknown paths get 404.
  void route(const std::string& path, HttpAnswer answer);
  int port() const { return port_; }
  std::string url(const std::string& path) const;
  // The header block of the latest request for path ("" if none came).
  std::string last_request(const std::string& path);
  int requests(const std::string& path);

 private:
  void serve();
  void handle(int fd);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<std::string, HttpAnswer> routes_;
  std::map<std::string, std::string> last_;
  std::map<std::string, int> counts_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// A port on 127.0.0.1 where nothing listens (connections are refused).
int refused_port();

// pyftpdlib serving `folder` read-only for anonymous users on 127.0.0.1.
// ok() is false (with the reason in error()) when it could not start.
class LocalFtpServer {
 public:
  explicit LocalFtpServer(const std::string& folder);
  ~LocalFtpServer();
  LocalFtpServer(const LocalFtpServer&) = delete;
  LocalFtpServer& operator=(const LocalFtpServer&) = delete;
  bool ok() const { return port_ > 0; }
  const std::string& error() const { return error_; }
  std::string url(const std::string& path) const;

 private:
  int pid_ = -1;
  int port_ = 0;
  std::string error_;
};

}  // namespace kivo::test
