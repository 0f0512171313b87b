// The runtime frame of every kivo program: process entry, argument vector,
// event queue, message pumping, the 10 ms tick with its timer table, timed
// waits and exit hooks.
//
// Everything here runs on the thread that entered the program. The only
// exception is the periodic timer, whose thread only adds to an atomic
// counter of pending ticks; the ticks are delivered on the entry thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/kvtypes.h"

// ---- Entry and lifetime ----------------------------------------------------

// The application's main function; every program defines it.
void kvmain();

// Process entry (called by main): builds the argument vector, runs kvinit,
// kvmain, kvmainloop when windows are still open, then kvcleanup(0).
int kventry(int argc, char** argv, void (*application_main)());

// Builds the argument vector from a command-line text and initialises the
// toolkit (the form of entry that receives one text, as from a launcher).
int kventry_commandline(const char* command_line, void (*application_main)());

// Limits of the argument vector: slot 0 is the (empty) program slot, then at
// most kvargs_max_arguments arguments, then a null. Further arguments are
// dropped and a longer argument is cut to kvargs_max_length characters.
constexpr int kvargs_max_slots = 500;
constexpr int kvargs_max_arguments = kvargs_max_slots - 2;
constexpr int kvargs_max_length = 2047;

void kvinit(int argc, char** argv);
[[noreturn]] void kvexit(int code);
void kvcleanup(int code);
void kvquit();
bool kvatexit(void (*function)());
const char* kvgetprogdir();

// The argument vector given to kvinit: kvargc() slots, then a null.
int kvargc();
char** kvargv();

// Splits a command-line text into arguments: blanks separate, double quotes
// group (and are removed). Appends at most `max_arguments` arguments, each cut
// to kvargs_max_length characters. Returns the number appended. The texts
// belong to the toolkit and stay valid for the life of the process.
int kvsplit_commandline(const char* text, char** out, int max_arguments);
// The same split into owned texts (for command lines split at run time).
std::vector<std::string> kvsplit_commandline_words(const char* text,
                                                   int max_arguments = kvargs_max_arguments);

// ---- Command-line options --------------------------------------------------

int kvopt_sign(const char* name);
bool kvopt_is_set(const char* name);
bool kvopt_value(const char* name, std::string& value);

// ---- Event queue and loops -------------------------------------------------

constexpr int kvevent_queue_size = 64;

void kvpostevent(int code);
int kvgetevent();
int kvpollevent();
int kvwaitfor(int count, ...);
int kvwaitfor_list(int count, const int* codes);
void kvmainloop();
void kvpump();
void kvidle();
void kvyield();
int kvnewid();

// Number of codes waiting in the queue.
int kvqueued();
// True while the queue has room for timer codes (no more than 32 queued).
bool kvqueue_has_room();

// ---- Runtime flags ---------------------------------------------------------

bool kvrunning();
bool kvevents_fetched();
bool kvmodal_wait();
bool kvdisplay_live();
int kvexitcode();
// Open top-level windows, kept by the window classes as they open and close.
void kvwindows_opened();
void kvwindows_closed();
int kvwindows_open();

// Hook the window framework installs: broadcasts the first-time redraw to
// every host that asked for it. Called once, when the display becomes live.
void kvset_firstredraw_hook(void (*hook)());
// Hook that polls child processes (installed by the process service).
void kvset_childpoll_hook(void (*hook)());
// Hook that closes and deletes the temporary files (installed by the
// temporary-file service); the exit sequence runs it after the exit hooks.
void kvset_tempfiles_hook(void (*hook)());
// Hook that shows the about text (installed by the message boxes); without
// one the text goes to standard output.
void kvset_about_hook(void (*hook)(const char* text));
// The about text shown after five F12 presses.
std::string kvabout_text();

// ---- Time and waiting ------------------------------------------------------

void kvsleep(int64_t microseconds);
void kvwait(double seconds);
void kvwait_ms(int milliseconds);

// ---- Timers ------------------------------------------------------------------

constexpr int kvtimer_table_size = 100;
constexpr int kvtimer_message = 2029;

// Registers or re-arms the entry for (object, key); returns its index or -1.
// A zero or negative interval is treated as 1 ms.
int kvtimer_add(kvcallback callback, intptr_t object, int interval, intptr_t key);
void kvtimer_remove(intptr_t object, intptr_t key);
void kvtimer_change(int interval, intptr_t object, intptr_t key);

// Starts the periodic tick: function(1) is called once per tick on the
// entry thread, rate ticks per second.
void kvtick_start(void (*function)(int), int rate);
// Coarse mode (a 50 ms window-system timer drives the tick) is in use.
bool kvtick_coarse();
// Ticks counted by the timer thread and not delivered yet.
unsigned kvtick_pending();

class kvTimer {
 public:
  kvTimer();
  explicit kvTimer(int interval);
  ~kvTimer();
  kvTimer(const kvTimer&) = delete;
  kvTimer& operator=(const kvTimer&) = delete;

  void start(int interval);
  int interval = 0;
  int code = 0;
};
