// The child-process table behind kvrun, polled by kvpump, and kvProcess.
#include "toolkit/core/process.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "toolkit/core/process_internal.h"
#include "toolkit/core/runtime.h"
#include "toolkit/core/runtime_internal.h"
#include "toolkit/core/tmpfile.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/processes.h"

namespace {

struct Slot {
  bool in_use = false;
  unsigned generation = 0;  // changes whenever the slot is taken or freed
  kvcallback callback = nullptr;
  intptr_t object = 0;
  int handle = 0;
  std::string input;        // waiting for the child's standard input
  bool close_input = false;  // close it once `input` is written
  bool input_closed = false;
};

struct Table {
  Slot slots[kvrun_slots];
  bool polling = false;
};

Table& table() {
  static Table t;
  return t;
}

kivo::port::Processes& processes() { return kivo::port::backend().processes(); }

Slot* used_slot(int slot) {
  if (slot < 0 || slot >= kvrun_slots) return nullptr;
  Slot& s = table().slots[slot];
  return s.in_use ? &s : nullptr;
}

void free_slot(Slot& s) {
  s.in_use = false;
  ++s.generation;
  s.callback = nullptr;
  s.object = 0;
  s.handle = 0;
  s.input.clear();
  s.close_input = s.input_closed = false;
}

void flush_input(Slot& s) {
  if (s.input_closed) return;
  while (!s.input.empty()) {
    long n = processes().write(s.handle, s.input.data(), s.input.size());
    if (n < 0) {  // the child closed its input: nothing more can go there
      s.input.clear();
      s.input_closed = true;
      return;
    }
    if (n == 0) return;  // the pipe is full; the next pass goes on
    s.input.erase(0, size_t(n));
  }
  if (s.close_input) {
    processes().close_input(s.handle);
    s.input_closed = true;
  }
}

// Reads at most `budget` bytes of what the child wrote, output first.
std::string collect(int handle, size_t budget) {
  std::string text;
  char buffer[4096];
  for (auto stream : {kivo::port::Stream::Output, kivo::port::Stream::Error}) {
    while (text.size() < budget) {
      size_t want = std::min(sizeof buffer, budget - text.size());
      long n = processes().read(handle, stream, buffer, want);
      if (n <= 0) break;
      text.append(buffer, size_t(n));
    }
  }
  return text;
}

// Delivers a text; false if the callback freed or reused the slot.
bool deliver_output(int index, const std::string& text) {
  Slot& s = table().slots[index];
  if (text.empty()) return true;
  unsigned generation = s.generation;
  if (s.callback)
    s.callback(s.object, kvrun_msg_output, reinterpret_cast<intptr_t>(text.c_str()), intptr_t(text.size()),
               index, 0, 0, 0, 0, 0);
  return s.in_use && s.generation == generation;
}

void poll_children() {
  Table& t = table();
  if (t.polling) return;  // a callback pumped messages: the outer pass goes on
  t.polling = true;
  for (int i = 0; i < kvrun_slots; ++i) {
    Slot& s = t.slots[i];
    if (!s.in_use) continue;
    flush_input(s);
    if (!deliver_output(i, collect(s.handle, kvrun_pass_bytes))) continue;
    int exit_code = 0;
    if (!processes().exited(s.handle, exit_code)) continue;
    // The child ended: hand over what is left in its pipes, in passes of the
    // usual size. A grandchild that keeps the pipe open does not hold us:
    // only what is already there is read.
    bool alive = true;
    for (int pass = 0; pass < 64 && alive; ++pass) {
      std::string rest = collect(s.handle, kvrun_pass_bytes);
      if (rest.empty()) break;
      alive = deliver_output(i, rest);
    }
    if (!alive) continue;
    processes().release(s.handle);
    kvcallback callback = s.callback;
    intptr_t object = s.object;
    free_slot(s);
    if (callback) callback(object, kvrun_msg_ended, exit_code, i, 0, 0, 0, 0, 0, 0);
  }
  t.polling = false;
}

bool has_exe_extension(const std::string& name) {
  return name.size() > 4 && (name.compare(name.size() - 4, 4, ".exe") == 0 || name.compare(name.size() - 4, 4, ".EXE") == 0);
}

// The program to start for argv[0]: a name without "/" that exists in the
// current folder (as is, or without ".exe") is started from there.
std::string resolve_program(const std::string& name) {
  namespace fs = std::filesystem;
  if (name.find('/') != std::string::npos) {
    if (has_exe_extension(name)) {
      std::error_code ec;
      std::string plain = name.substr(0, name.size() - 4);
      if (!fs::exists(name, ec) && fs::is_regular_file(plain, ec)) return plain;
    }
    return name;
  }
  std::vector<std::string> candidates{name};
  if (has_exe_extension(name))
    candidates.push_back(name.substr(0, name.size() - 4));
  for (const std::string& c : candidates) {
    std::error_code ec;
    fs::path p = fs::current_path(ec) / c;
    if (ec || !fs::is_regular_file(p, ec)) continue;
    auto perms = fs::status(p, ec).permissions();
    if ((perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) != fs::perms::none)
      return p.string();
  }
  return candidates.back();
}

}  // namespace

namespace kivo::core {

std::vector<std::string> split_command_line(const char* command_line) {
  return kvsplit_commandline_words(command_line);
}

std::string resolve_program_name(const std::string& name) { return resolve_program(name); }

void reset_child_processes() {
  Table& t = table();
  for (Slot& s : t.slots) {
    if (!s.in_use) continue;
    processes().kill(s.handle);
    processes().release(s.handle);
    free_slot(s);
  }
  t.polling = false;
  kvset_childpoll_hook(poll_children);
  kvset_tempfiles_hook(delete_temp_files);
}

}  // namespace kivo::core

int kvrun(kvcallback callback, intptr_t object, const char* command_line, bool hidden) {
  kvset_childpoll_hook(poll_children);
  Table& t = table();
  int index = -1;
  for (int i = 0; i < kvrun_slots && index < 0; ++i)
    if (!t.slots[i].in_use) index = i;
  if (index < 0) return -1;
  kivo::port::ProcessSpec spec;
  spec.argv = kivo::core::split_command_line(command_line);
  if (spec.argv.empty()) return -1;
  spec.argv[0] = resolve_program(spec.argv[0]);
  spec.hidden = hidden;
  int handle = processes().spawn(spec);
  if (handle <= 0) return -1;
  Slot& s = t.slots[index];
  s.in_use = true;
  ++s.generation;
  s.callback = callback;
  s.object = object;
  s.handle = handle;
  return index;
}

bool kvrun_write(int slot, const char* text) {
  Slot* s = used_slot(slot);
  if (!s || !text || s->input_closed || s->close_input) return false;
  size_t n = std::strlen(text);
  if (s->input.size() + n > kvrun_input_max) return false;
  s->input.append(text, n);
  flush_input(*s);
  return true;
}

void kvrun_closeinput(int slot) {
  Slot* s = used_slot(slot);
  if (!s) return;
  s->close_input = true;
  flush_input(*s);
}

void kvrun_kill(int slot) {
  Slot* s = used_slot(slot);
  if (!s) return;
  processes().kill(s->handle);
  processes().release(s->handle);
  free_slot(*s);
}

bool kvrun_active(int slot) { return used_slot(slot) != nullptr; }

// ---- kvProcess ---------------------------------------------------------------

kvProcess::kvProcess() : code(kvnewid()) {}

kvProcess::~kvProcess() { kill(); }

bool kvProcess::start(const char* command_line, bool hidden) {
  if (slot_ >= 0) return false;
  slot_ = kvrun(callback, reinterpret_cast<intptr_t>(this), command_line, hidden);
  if (slot_ < 0) return false;
  exit_code_ = -1;
  return true;
}

void kvProcess::kill() {
  if (slot_ < 0) return;
  kvrun_kill(slot_);
  slot_ = -1;
  exit_code_ = 1;
}

bool kvProcess::write(const char* text) { return slot_ >= 0 && kvrun_write(slot_, text); }

void kvProcess::closeinput() {
  if (slot_ >= 0) kvrun_closeinput(slot_);
}

std::string kvProcess::read() {
  std::string text;
  text.reserve(size_t(count_));
  for (int i = 0; i < count_; ++i) text += ring_[(head_ + i) % ring_size];
  head_ = count_ = 0;
  lost_ = 0;
  return text;
}

void kvProcess::append(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (count_ == ring_size) {  // full: the oldest byte goes
      head_ = (head_ + 1) % ring_size;
      --count_;
      ++lost_;
    }
    ring_[(head_ + count_) % ring_size] = data[i];
    ++count_;
  }
}

intptr_t kvProcess::callback(intptr_t object, int message, intptr_t a1, intptr_t a2, intptr_t, intptr_t, intptr_t,
                             intptr_t, intptr_t, intptr_t) {
  auto* self = reinterpret_cast<kvProcess*>(object);
  if (!self) return 0;
  switch (message) {
    case kvrun_msg_output:
      if (a1 && a2 > 0) self->append(reinterpret_cast<const char*>(a1), size_t(a2));
      break;
    case kvrun_msg_char: {
      char c = char(a1);
      self->append(&c, 1);
      break;
    }
    case kvrun_msg_ended:
      self->slot_ = -1;
      self->exit_code_ = int(a1);
      break;
    default:
      return 0;
  }
  kvpostevent(self->code);
  return 1;
}
