#include "support/local_servers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstring>

extern char** environ;

namespace kivo::test {
namespace {

int listen_local(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    close(fd);
    return -1;
  }
  port = ntohs(addr.sin_port);
  return fd;
}

void send_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= size_t(n);
  }
}

}  // namespace

HttpAnswer http_answer(const std::string& status, const std::string& body, const std::string& headers) {
  HttpAnswer a;
  a.bytes = "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\n" + headers + "\r\n" + body;
  return a;
}

std::string gzip(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, uLong(data.size())) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

LocalHttpServer::LocalHttpServer() {
  listener_ = listen_local(port_);
  if (listener_ >= 0) acceptor_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  stop_.store(true);
  if (acceptor_.joinable()) acceptor_.join();
  if (listener_ >= 0) close(listener_);
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& t : workers) t.join();
}

void LocalHttpServer::route(const std::string& path, HttpAnswer answer) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(answer);
}

std::string LocalHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LocalHttpServer::last_request(const std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = last_.find(path);
  return it == last_.end() ? "" : it->second;
}

int LocalHttpServer::requests(const std::string& path) {
  std::lock_guard lock(mutex_);
  return counts_[path];
}

void LocalHttpServer::serve() {
  while (!stop_.load()) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    workers_.emplace_back([this, fd] { handle(fd); });
  }
}

void LocalHttpServer::handle(int fd) {
  timeval timeout{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string request;
  char buffer[8192];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < (1u << 20)) {
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, size_t(n));
  }
  std::string path;
  size_t sp1 = request.find(' ');
  size_t sp2 = sp1 == std::string::npos ? sp1 : request.find(' ', sp1 + 1);
  if (sp2 != std::string::npos) path = request.substr(sp1 + 1, sp2 - sp1 - 1);
  path = path.substr(0, path.find('?'));
  HttpAnswer answer;
  {
    std::lock_guard lock(mutex_);
    last_[path] = request.substr(0, request.find("\r\n\r\n"));
    ++counts_[path];
    auto it = routes_.find(path);
    answer = it != routes_.end() ? it->second : http_answer("404 Not Found", "no such page");
  }
  for (int waited = 0; waited < answer.delay_ms && !stop_.load(); waited += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!stop_.load()) send_all(fd, answer.bytes.data(), std::min(answer.bytes.size(), answer.cut_after));
  shutdown(fd, SHUT_RDWR);
  close(fd);
}

int refused_port() {
  int port = 0;
  int fd = listen_local(port);
  if (fd >= 0) close(fd);  // nothing listens there any more
  return port;
}

// ---- FTP ---------------------------------------------------------------------

namespace {
const char* kFtpScript = R"(
import sys, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.disable(logging.CRITICAL)
authorizer = DummyAuthorizer()
authorizer.add_anonymous(sys.argv[1])
FTPHandler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print(server.address[1], flush=True)
server.serve_forever()
)";
}  // namespace

LocalFtpServer::LocalFtpServer(const std::string& folder) {
  // Debian's interpreter, where python3-pyftpdlib installs the module.
  const char* python = "/usr/bin/python3";
  if (access(python, X_OK) != 0) {
    error_ = "/usr/bin/python3 is missing (tools/setup installs python3-pyftpdlib)";
    return;
  }
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    error_ = "no pipe";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  const char* argv[] = {python, "-c", kFtpScript, folder.c_str(), nullptr};
  pid_t pid = -1;
  int rc = posix_spawn(&pid, python, &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    error_ = "cannot start /usr/bin/python3";
    return;
  }
  pid_ = pid;
  std::string line;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{out[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c[64];
    ssize_t n = read(out[0], c, sizeof c);
    if (n <= 0) break;
    line.append(c, size_t(n));
  }
  close(out[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) error_ = "pyftpdlib did not start (is python3-pyftpdlib installed? tools/setup installs it)";
}

LocalFtpServer::~LocalFtpServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string LocalFtpServer::url(const std::string& path) const {
  return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace kivo::test
