// Entry, lifetime, the event queue and the loops that pump window-system
// messages. Timers and the periodic tick are in timers.cpp.
#include "toolkit/core/runtime.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "toolkit/core/environment.h"
#include "toolkit/core/files.h"
#include "toolkit/core/runtime_internal.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"
#include "toolkit/port/display.h"
#include "toolkit/port/sound.h"
#include "toolkit/port/system_info.h"

namespace {

constexpr const char* kVersion = "2.40.906.27";
constexpr const char* kLicence =
    "\n\nkivo is free software: you may use, copy, change and pass it on,\n"
    "alone or as part of your own programs, provided this notice is kept.\n"
    "It comes without any warranty.";

constexpr int kMaxExitHooks = 100;
constexpr int kF12 = 316;

struct Runtime {
  std::vector<char*> argv;       // slot 0 empty, arguments, then nullptr
  bool running = true;
  bool events_fetched = false;
  bool modal_wait = false;
  bool display_live = false;
  int exit_code = 0;
  int open_windows = 0;
  std::vector<void (*)()> exit_hooks;

  bool queue_ready = false;
  int queue[kvevent_queue_size] = {};
  int read_index = 0;
  int write_index = 0;
  int count = 0;
  int f12_count = 0;
  int next_id = 1000000;

  std::string progdir;
  std::thread::id entry_thread = std::this_thread::get_id();

  void (*first_redraw)() = nullptr;
  void (*child_poll)() = nullptr;
  void (*tempfiles)() = nullptr;
  void (*about)(const char*) = nullptr;
};

Runtime& rt() {
  static Runtime state;
  return state;
}

// Argument texts live as long as the process: every slot handed out stays
// valid, even after a new vector was built.
std::vector<std::unique_ptr<char[]>>& argument_storage() {
  static std::vector<std::unique_ptr<char[]>> storage;
  return storage;
}

char* copy_argument(const char* text, size_t length) {
  if (length > size_t(kvargs_max_length)) length = kvargs_max_length;
  auto slot = std::make_unique<char[]>(length + 1);
  std::memcpy(slot.get(), text, length);
  slot[length] = '\0';
  argument_storage().push_back(std::move(slot));
  return argument_storage().back().get();
}

void store_arguments(std::vector<char*> arguments) {
  Runtime& r = rt();
  r.argv.clear();
  r.argv.push_back(copy_argument("", 0));
  for (char* a : arguments) r.argv.push_back(a);
  r.argv.push_back(nullptr);
}

void ensure_queue() {
  Runtime& r = rt();
  if (r.queue_ready) return;
  r.queue_ready = true;
  r.read_index = r.write_index = r.count = 0;
  kivo::core::make_display_live();
}

int pop_event() {
  Runtime& r = rt();
  int code = r.queue[r.read_index];
  r.read_index = (r.read_index + 1) % kvevent_queue_size;
  --r.count;
  return code;
}

std::string strip_blanks(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p)
    if (*p != ' ' && *p != '\t') out += *p;
  return out;
}

std::string trim(const char* text) {
  std::string s(text);
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

kivo::port::Display& display() { return kivo::port::backend().display(); }
kivo::port::Clock& port_clock() { return kivo::port::backend().clock(); }

}  // namespace

namespace kivo::core {

void make_display_live() {
  Runtime& r = rt();
  if (r.display_live) return;
  r.display_live = true;
  if (r.first_redraw) r.first_redraw();
}

bool on_entry_thread() { return std::this_thread::get_id() == rt().entry_thread; }

void reset_runtime() {
  Runtime& r = rt();
  r = Runtime{};
  reset_timers();
  reset_colour_scheme();
  kvdir_restart();
}

}  // namespace kivo::core

// ---- Entry and lifetime ----------------------------------------------------

std::vector<std::string> kvsplit_commandline_words(const char* text, int max_arguments) {
  std::vector<std::string> words;
  if (!text) return words;
  const char* p = text;
  for (;;) {
    while (*p == ' ') ++p;
    if (!*p) break;
    std::string token;
    if (*p == '"') {
      ++p;
      while (*p && *p != '"') token += *p++;
      if (*p == '"') ++p;
    } else {
      bool quoted = false;
      while (*p && (quoted || *p != ' ')) {
        if (*p == '"')
          quoted = !quoted;
        else
          token += *p;
        ++p;
      }
    }
    if (int(words.size()) >= max_arguments) continue;  // surplus arguments are dropped
    if (token.size() > size_t(kvargs_max_length)) token.resize(kvargs_max_length);
    words.push_back(std::move(token));
  }
  return words;
}

int kvsplit_commandline(const char* text, char** out, int max_arguments) {
  std::vector<std::string> words = kvsplit_commandline_words(text, max_arguments);
  for (size_t i = 0; i < words.size(); ++i) out[i] = copy_argument(words[i].data(), words[i].size());
  return int(words.size());
}

void kvinit(int argc, char** argv) {
  Runtime& r = rt();
  if (argv != r.argv.data()) {
    std::vector<char*> arguments;
    for (int i = 1; i < argc && argv[i] && int(arguments.size()) < kvargs_max_arguments; ++i)
      arguments.push_back(copy_argument(argv[i], std::strlen(argv[i])));
    store_arguments(std::move(arguments));
  }
  r.entry_thread = std::this_thread::get_id();
  kivo::core::init_builtin_fonts();
  std::string path = kivo::port::backend().system_info().program_path();
  for (char& c : path)
    if (c == '\\') c = '/';
  size_t slash = path.rfind('/');
  path = slash == std::string::npos ? "." : path.substr(0, slash);
  if (path.size() > 299) path.resize(299);
  r.progdir = path;
  r.events_fetched = false;
  r.display_live = false;
  kivo::core::reset_child_processes();
  kivo::port::backend().sound().stop_all();
}

static int run_application(void (*application_main)()) {
  Runtime& r = rt();
  kvinit(int(r.argv.size()) - 1, r.argv.data());
  application_main();
  if (!r.events_fetched && r.open_windows > 0 && r.running) kvmainloop();
  kvcleanup(0);
  return 0;
}

int kventry(int argc, char** argv, void (*application_main)()) {
  std::vector<char*> arguments;
  for (int i = 1; i < argc && argv[i] && int(arguments.size()) < kvargs_max_arguments; ++i)
    arguments.push_back(copy_argument(argv[i], std::strlen(argv[i])));
  store_arguments(std::move(arguments));
  return run_application(application_main);
}

int kventry_commandline(const char* command_line, void (*application_main)()) {
  std::vector<char*> arguments(kvargs_max_arguments);
  int n = kvsplit_commandline(command_line, arguments.data(), kvargs_max_arguments);
  arguments.resize(size_t(n));
  store_arguments(std::move(arguments));
  return run_application(application_main);
}

void kvcleanup(int code) {
  Runtime& r = rt();
  r.exit_code = code;
  r.running = false;
  // Hooks may register further hooks; run by index so that they run too.
  for (size_t i = 0; i < r.exit_hooks.size(); ++i) r.exit_hooks[i]();
  if (r.tempfiles) r.tempfiles();
}

void kvexit(int code) {
  kvcleanup(code);
  std::fflush(stdout);
  std::exit(code);
}

void kvquit() {
  Runtime& r = rt();
  r.running = false;
  if (!r.events_fetched) kvexit(0);
}

bool kvatexit(void (*function)()) {
  Runtime& r = rt();
  if (!function || int(r.exit_hooks.size()) >= kMaxExitHooks) return false;
  r.exit_hooks.push_back(function);
  return true;
}

const char* kvgetprogdir() { return rt().progdir.c_str(); }

int kvargc() { return rt().argv.empty() ? 0 : int(rt().argv.size()) - 1; }
char** kvargv() { return rt().argv.data(); }

// ---- Command-line options --------------------------------------------------

int kvopt_sign(const char* name) {
  if (!name) return 0;
  const std::string minus = std::string("-") + name, plus = std::string("+") + name;
  for (char* slot : rt().argv) {
    if (!slot) continue;
    std::string s = strip_blanks(slot);
    if (s == minus) return -1;
    if (s == plus) return 1;
  }
  return 0;
}

bool kvopt_is_set(const char* name) { return kvopt_sign(name) != 0; }

bool kvopt_value(const char* name, std::string& value) {
  if (!name) return false;
  const std::string prefix = std::string("-") + name + "=";
  for (char* slot : rt().argv) {
    if (!slot) continue;
    std::string s = trim(slot);
    if (s.compare(0, prefix.size(), prefix) == 0) {
      value = s.substr(prefix.size());
      return true;
    }
  }
  return false;
}

// ---- Event queue -----------------------------------------------------------

std::string kvabout_text() {
  std::string text =
      "This program uses the kivo library, an easy-to-use toolkit for programs\n"
      "that run on several platforms.\n\n"
      "Supported platforms: Linux, MacOS X, FreeBSD, MS-Windows, QNX\n\n";
  text += "kivo version: ";
  text += kVersion;
  text += kLicence;
  return text;
}

void kvpostevent(int code) {
  ensure_queue();
  Runtime& r = rt();
  if (r.count < kvevent_queue_size) {
    r.queue[r.write_index] = code;
    r.write_index = (r.write_index + 1) % kvevent_queue_size;
    ++r.count;
  }
  if (code == kF12) {
    if (++r.f12_count >= 5) {
      r.f12_count = 0;
      std::string text = kvabout_text();
      if (r.about)
        r.about(text.c_str());
      else
        std::printf("%s\n", text.c_str());
    }
  } else if (code < kF12) {
    r.f12_count = 0;
  }
}

int kvqueued() { return rt().count; }
bool kvqueue_has_room() { return rt().count <= 32; }

int kvgetevent() {
  ensure_queue();
  kivo::core::make_display_live();
  Runtime& r = rt();
  r.events_fetched = true;
  while (r.running) {
    if (r.count == 0)
      kvidle();
    else
      return pop_event();
  }
  return 0;
}

int kvpollevent() {
  ensure_queue();
  kivo::core::make_display_live();
  Runtime& r = rt();
  r.events_fetched = true;
  kvpump();
  return r.count ? pop_event() : 0;
}

int kvwaitfor_list(int count, const int* codes) {
  ensure_queue();
  Runtime& r = rt();
  if (count > 1000) count = 1000;
  r.modal_wait = true;
  int found = 0;
  while (r.running && !found) {
    if (r.count) {
      int code = pop_event();
      for (int i = 0; i < count; ++i)
        if (codes[i] == code) found = code;
    } else {
      kvidle();
    }
  }
  r.modal_wait = false;
  return found;
}

int kvwaitfor(int count, ...) {
  if (count < 0) count = 0;
  if (count > 1000) count = 1000;
  std::vector<int> codes(static_cast<size_t>(count));
  va_list args;
  va_start(args, count);
  for (int i = 0; i < count; ++i) codes[size_t(i)] = va_arg(args, int);
  va_end(args);
  return kvwaitfor_list(count, codes.data());
}

void kvmainloop() {
  ensure_queue();
  kivo::core::make_display_live();
  while (rt().running) {
    kvidle();
    kvpollevent();
  }
}

static void deliver_background_work() {
  kivo::core::deliver_ticks();
  if (rt().child_poll) rt().child_poll();
}

void kvpump() {
  deliver_background_work();
  auto& d = display();
  while (d.dispatch_one()) {
  }
}

void kvidle() {
  Runtime& r = rt();
  auto& d = display();
  for (;;) {
    deliver_background_work();
    if (r.count) return;
    if (d.dispatch_one()) return;
    if (r.count) return;
    // Wait for the window system for up to 1 ms: an event ends the wait early.
    d.wait_pending(1);
    if (r.count || d.has_pending()) return;
    // A timer callback or a hook may have quit the program.
    if (!r.running) return;
  }
}

void kvyield() {
  if (kivo::core::on_entry_thread()) kvpump();
  port_clock().sleep_us(10000);
}

int kvnewid() { return rt().next_id++; }

// ---- Flags -----------------------------------------------------------------

bool kvrunning() { return rt().running; }
bool kvevents_fetched() { return rt().events_fetched; }
bool kvmodal_wait() { return rt().modal_wait; }
bool kvdisplay_live() { return rt().display_live; }
int kvexitcode() { return rt().exit_code; }
void kvwindows_opened() { ++rt().open_windows; }
void kvwindows_closed() {
  if (rt().open_windows > 0) --rt().open_windows;
}
int kvwindows_open() { return rt().open_windows; }

void kvset_firstredraw_hook(void (*hook)()) { rt().first_redraw = hook; }
void kvset_childpoll_hook(void (*hook)()) { rt().child_poll = hook; }
void kvset_tempfiles_hook(void (*hook)()) { rt().tempfiles = hook; }
void kvset_about_hook(void (*hook)(const char*)) { rt().about = hook; }

// ---- Time and waiting ------------------------------------------------------

void kvsleep(int64_t microseconds) {
  int64_t ms = microseconds / 1000;
  if (ms > 0) port_clock().sleep_us(ms * 1000);
}

void kvwait(double seconds) {
  if (seconds <= 0) return;
  kvwait_ms(int(seconds * 1000));
}

namespace {
bool g_waiting = false;
int g_wait_object;  // its address identifies the timed wait's timer entry

intptr_t wait_done(intptr_t, int, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                   intptr_t) {
  g_waiting = false;
  return 0;
}
}  // namespace

void kvwait_ms(int milliseconds) {
  if (milliseconds <= 0) return;
  kivo::core::make_display_live();
  g_waiting = true;
  const intptr_t object = reinterpret_cast<intptr_t>(&g_wait_object);
  if (kvtimer_add(wait_done, object, milliseconds, 0) < 0) {
    g_waiting = false;
    return;
  }
  while (g_waiting) {
    kvpump();
    port_clock().sleep_us(10000);
  }
  kvtimer_remove(object, 0);
}
