// Child processes with redirected standard streams, polled by kvpump.
//
// kvrun starts a program from a command line (split like the program's own
// command line: blanks separate, double quotes group; no command shell is
// involved). A program name without "/" is looked for in the current folder
// first (also without a trailing ".exe"), then in PATH. Every kvpump
// collects what the running children wrote on standard output, then on
// standard error (at most 19000 bytes per child and pass), and hands it to
// the child's callback:
//   callback(object, 2050, text, length, slot, 0, 0, 0, 0, 0)
//     text: zero-terminated, valid only during the call;
//   callback(object, 2052, exit code, slot, 0, 0, 0, 0, 0, 0)
//     once, after the last output, when the child ended; the slot is then
//     free again. A child ended by a signal has exit code 128 + signal.
// kvProcess also takes 2051 (one character in the first argument).
//
// All of this belongs to the entry thread.
//
// A child's standard output is a pipe to us: when we end, a child that goes
// on writing gets a broken pipe. Programs that must outlive us (a restarted
// program) are started with kvshellrun instead.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/kvtypes.h"

constexpr int kvrun_slots = 100;
constexpr int kvrun_msg_output = 2050;
constexpr int kvrun_msg_char = 2051;
constexpr int kvrun_msg_ended = 2052;
// Most bytes collected from one child in one pass.
constexpr int kvrun_pass_bytes = 19000;
// Most bytes waiting to be written to one child's standard input.
constexpr size_t kvrun_input_max = size_t(1) << 20;

// Starts the command line with pipes on its standard streams; hidden: in a
// session of its own, without a terminal. Returns the slot, or -1 when all
// slots are in use or the program could not be started.
int kvrun(kvcallback callback, intptr_t object, const char* command_line, bool hidden);
// Queues text for the child's standard input (written as the child reads
// it). False if the slot is free, the input was closed or too much waits.
bool kvrun_write(int slot, const char* text);
// Closes the child's standard input once everything queued was written.
void kvrun_closeinput(int slot);
// Ends the child at once (as with exit code 1) and frees the slot; no 2052
// follows.
void kvrun_kill(int slot);
// True while the slot holds a child.
bool kvrun_active(int slot);

// A child process that keeps its newest output (up to 8192 bytes) and posts
// its event code (from kvnewid) for every delivery.
class kvProcess {
 public:
  static constexpr int ring_size = 8192;

  kvProcess();
  ~kvProcess();  // ends a child that still runs
  kvProcess(const kvProcess&) = delete;
  kvProcess& operator=(const kvProcess&) = delete;

  // Starts the command line (see kvrun); false if it could not start or
  // another child of this object still runs.
  bool start(const char* command_line, bool hidden = false);
  bool running() const { return slot_ >= 0; }
  // The exit code of the last child, -1 while it runs or before any ended.
  int exitcode() const { return exit_code_; }
  void kill();
  bool write(const char* text);
  void closeinput();

  // Takes what was collected since the last read (the newest ring_size
  // bytes; older bytes are lost, see lost()).
  std::string read();
  // Bytes waiting to be read.
  int available() const { return count_; }
  // Bytes dropped because the ring was full, since the last read.
  long lost() const { return lost_; }

  // The message function kvrun calls (2050, 2051, 2052).
  static intptr_t callback(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                           intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);

  int code = 0;  // posted for each delivery

 private:
  void append(const char* data, size_t size);

  char ring_[ring_size];
  int head_ = 0;   // index of the oldest byte
  int count_ = 0;
  long lost_ = 0;
  int slot_ = -1;
  int exit_code_ = -1;
};
