// Child processes with pipes on their standard streams, polled without
// blocking by the toolkit's message pump.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kivo::port {

struct ProcessSpec {
  std::vector<std::string> argv;  // argv[0] is looked up in PATH unless it has a "/"
  std::string working_dir;        // empty: ours
  bool hidden = false;            // no terminal: a session of its own
};

enum class Stream { Output, Error };

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a child with its standard input, output and error on pipes.
  // Returns a handle > 0, or 0 if it could not be started (also when the
  // program does not exist or cannot be run).
  virtual int spawn(const ProcessSpec& spec) = 0;
  // Reads what is available without blocking: bytes read, 0 if nothing is
  // waiting, -1 at end of stream.
  virtual long read(int handle, Stream stream, char* buffer, size_t size) = 0;
  // Writes to the child's standard input without blocking: bytes accepted
  // (possibly fewer than size, 0 when the pipe is full), -1 when the child
  // no longer reads its input. Never raises a signal.
  virtual long write(int handle, const char* data, size_t size) = 0;
  // Closes the child's standard input (it sees end of file).
  virtual void close_input(int handle) = 0;
  // True once the child has ended; its exit code is then stored (128 + the
  // signal number when a signal ended it).
  virtual bool exited(int handle, int& exit_code) = 0;
  // Ends the child at once and waits until it is gone.
  virtual bool kill(int handle) = 0;
  // Closes the pipes and forgets the child (after exited or kill).
  virtual void release(int handle) = 0;
};

}  // namespace kivo::port
