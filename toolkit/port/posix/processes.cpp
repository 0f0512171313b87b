// Child processes on POSIX: posix_spawnp with three pipes. The parent's ends
// are non-blocking and close-on-exec; the child starts with default signal
// dispositions, an empty signal mask and no descriptors but its three
// standard streams. Nothing goes through a command shell.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "toolkit/port/posix/services.h"
#include "toolkit/port/posix/spawn.h"

namespace kivo::port {
namespace {

struct Child {
  pid_t pid = -1;
  int in = -1, out = -1, err = -1;  // the parent's ends
  bool reaped = false;
  int exit_code = 0;
};

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int decode_status(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}

// write() that reports a closed pipe as EPIPE without raising SIGPIPE,
// whatever the process does with that signal.
ssize_t write_no_sigpipe(int fd, const char* data, size_t size) {
  sigset_t pipe_set, pending, old;
  sigemptyset(&pipe_set);
  sigaddset(&pipe_set, SIGPIPE);
  sigpending(&pending);
  bool was_pending = sigismember(&pending, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_set, &old);
  ssize_t n;
  do {
    n = ::write(fd, data, size);
  } while (n < 0 && errno == EINTR);
  int saved = errno;
  if (n < 0 && errno == EPIPE && !was_pending) {
    timespec zero{};
    while (sigtimedwait(&pipe_set, nullptr, &zero) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = saved;
  return n;
}

class PosixProcesses : public Processes {
 public:
  ~PosixProcesses() override {
    std::lock_guard lock(mutex_);
    for (auto& [handle, child] : children_) {
      close_fd(child.in);
      close_fd(child.out);
      close_fd(child.err);
    }
  }

  int spawn(const ProcessSpec& spec) override {
    if (spec.argv.empty() || spec.argv[0].empty()) return 0;
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
      for (int* p : {in, out, err}) {
        close_fd(p[0]);
        close_fd(p[1]);
      }
      return 0;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!spec.working_dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, spec.working_dir.c_str());

    pid_t pid = -1;
    const int rc = spawn_program(spec.argv, &actions, spec.hidden, pid);
    posix_spawn_file_actions_destroy(&actions);
    close_fd(in[0]);
    close_fd(out[1]);
    close_fd(err[1]);
    if (rc != 0) {
      close_fd(in[1]);
      close_fd(out[0]);
      close_fd(err[0]);
      return 0;
    }
    for (int fd : {in[1], out[0], err[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);

    std::lock_guard lock(mutex_);
    int handle = ++last_handle_;
    Child& c = children_[handle];
    c.pid = pid;
    c.in = in[1];
    c.out = out[0];
    c.err = err[0];
    return handle;
  }

  long read(int handle, Stream stream, char* buffer, size_t size) override {
    std::lock_guard lock(mutex_);
    Child* c = find(handle);
    if (!c) return -1;
    int& fd = stream == Stream::Output ? c->out : c->err;
    if (fd < 0) return -1;
    for (;;) {
      ssize_t n = ::read(fd, buffer, size);
      if (n > 0) return long(n);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
      close_fd(fd);  // end of stream or a broken pipe
      return -1;
    }
  }

  long write(int handle, const char* data, size_t size) override {
    std::lock_guard lock(mutex_);
    Child* c = find(handle);
    if (!c || c->in < 0) return -1;
    if (size == 0) return 0;
    ssize_t n = write_no_sigpipe(c->in, data, size);
    if (n >= 0) return long(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    close_fd(c->in);
    return -1;
  }

  void close_input(int handle) override {
    std::lock_guard lock(mutex_);
    if (Child* c = find(handle)) close_fd(c->in);
  }

  bool exited(int handle, int& exit_code) override {
    std::lock_guard lock(mutex_);
    Child* c = find(handle);
    if (!c) {
      exit_code = -1;
      return true;
    }
    if (!c->reaped) {
      int status = 0;
      pid_t r;
      do {
        r = waitpid(c->pid, &status, WNOHANG);
      } while (r < 0 && errno == EINTR);
      if (r == 0) return false;
      c->reaped = true;
      c->exit_code = r == c->pid ? decode_status(status) : -1;
    }
    exit_code = c->exit_code;
    return true;
  }

  bool kill(int handle) override {
    std::lock_guard lock(mutex_);
    Child* c = find(handle);
    if (!c) return false;
    if (c->reaped) return true;
    ::kill(c->pid, SIGKILL);
    int status = 0;
    while (waitpid(c->pid, &status, 0) < 0 && errno == EINTR) {
    }
    c->reaped = true;
    c->exit_code = 1;  // as if it had ended with exit code 1
    return true;
  }

  void release(int handle) override {
    std::lock_guard lock(mutex_);
    auto it = children_.find(handle);
    if (it == children_.end()) return;
    Child& c = it->second;
    close_fd(c.in);
    close_fd(c.out);
    close_fd(c.err);
    if (!c.reaped) {
      // Never leave a zombie behind: a child released while still running
      // is ended first.
      ::kill(c.pid, SIGKILL);
      while (waitpid(c.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    children_.erase(it);
  }

 private:
  Child* find(int handle) {
    auto it = children_.find(handle);
    return it == children_.end() ? nullptr : &it->second;
  }

  std::mutex mutex_;
  std::map<int, Child> children_;
  int last_handle_ = 0;
};

}  // namespace

std::unique_ptr<Processes> make_posix_processes() { return std::make_unique<PosixProcesses>(); }

}  // namespace kivo::port
