// kvrun and kvProcess: output and exit codes arrive as messages through
// kvpump, input reaches the child, kill works, the table has 100 slots.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/test_support.h"
#include "toolkit/core/process.h"
#include "toolkit/core/runtime.h"

namespace {

struct Received {
  std::string text;
  int outputs = 0;
  int ended = 0;
  int exit_code = -999;
  int slot_seen = -1;
};

intptr_t record(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t, intptr_t, intptr_t,
                intptr_t, intptr_t) {
  auto* r = reinterpret_cast<Received*>(object);
  if (code == kvrun_msg_output) {
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(a1)), size_t(a2)) << "the text is zero-terminated";
    r->text.append(reinterpret_cast<const char*>(a1), size_t(a2));
    ++r->outputs;
    r->slot_seen = int(a3);
  } else if (code == kvrun_msg_ended) {
    ++r->ended;
    r->exit_code = int(a1);
  }
  return 0;
}

class ChildProcesses : public kivo::test::HeadlessTest {
 protected:
  void TearDown() override {
    std::filesystem::current_path(start_folder_);
    HeadlessTest::TearDown();
  }
  std::filesystem::path start_folder_ = std::filesystem::current_path();

  // Pumps (the children are real processes: real time passes) until done.
  template <typename Done>
  bool pump_until(Done done, int timeout_ms = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      kvpump();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
};

TEST_F(ChildProcesses, OutputThenErrorThenTheExitCodeArriveAsMessages) {
  const struct {
    const char* command;
    std::string text;
    int exit_code;
  } cases[] = {
      {"sh -c \"echo out; echo err >&2; exit 3\"", "out\nerr\n", 3},
      {"printf %s|%s \"a b\" \"\"", "a b|", 0},
      {"sh -c \"kill -TERM $$\"", "", 128 + 15},
      {"sh -c \"head -c 50000 /dev/zero | tr '\\0' x\"", std::string(50000, 'x'), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    Received r;
    int slot = kvrun(record, reinterpret_cast<intptr_t>(&r), c.command, true);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(kvrun_active(slot));
    ASSERT_TRUE(pump_until([&] { return r.ended > 0; }));
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.exit_code, c.exit_code);
    EXPECT_EQ(r.ended, 1);
    EXPECT_FALSE(kvrun_active(slot)) << "the slot is free after 2052";
    if (!c.text.empty()) {
      EXPECT_EQ(r.slot_seen, slot);
    }
  }
}

TEST_F(ChildProcesses, ALargeOutputComesInPassesOfAtMost19000Bytes) {
  struct Sizes {
    std::vector<size_t> sizes;
    bool ended = false;
  } s;
  auto cb = [](intptr_t object, int code, intptr_t, intptr_t a2, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
               intptr_t) -> intptr_t {
    auto* s = reinterpret_cast<Sizes*>(object);
    if (code == kvrun_msg_output) s->sizes.push_back(size_t(a2));
    if (code == kvrun_msg_ended) s->ended = true;
    return 0;
  };
  ASSERT_GE(kvrun(cb, reinterpret_cast<intptr_t>(&s), "head -c 300000 /dev/zero", true), 0);
  ASSERT_TRUE(pump_until([&] { return s.ended; }));
  size_t total = 0;
  for (size_t n : s.sizes) {
    EXPECT_LE(n, size_t(kvrun_pass_bytes));
    total += n;
  }
  EXPECT_EQ(total, 300000u);
}

TEST_F(ChildProcesses, InputReachesTheChildAndClosingItEndsIt) {
  Received r;
  int slot = kvrun(record, reinterpret_cast<intptr_t>(&r), "cat", true);
  ASSERT_GE(slot, 0);
  EXPECT_TRUE(kvrun_write(slot, "first line\n"));
  ASSERT_TRUE(pump_until([&] { return r.text == "first line\n"; }));
  std::string big(200000, 'z');  // more than a pipe holds: written as cat reads
  EXPECT_TRUE(kvrun_write(slot, big.c_str()));
  kvrun_closeinput(slot);
  EXPECT_FALSE(kvrun_write(slot, "too late")) << "input was closed";
  ASSERT_TRUE(pump_until([&] { return r.ended > 0; }));
  EXPECT_EQ(r.text, "first line\n" + big);
  EXPECT_EQ(r.exit_code, 0);
}

TEST_F(ChildProcesses, WritingToAChildThatStoppedReadingDoesNotKillUs) {
  Received r;
  int slot = kvrun(record, reinterpret_cast<intptr_t>(&r), "sh -c \"exec 0<&-; sleep 0.3\"", true);
  ASSERT_GE(slot, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kvrun_write(slot, "nobody reads this\n");  // a broken pipe, no SIGPIPE
  ASSERT_TRUE(pump_until([&] { return r.ended > 0; }));
  EXPECT_EQ(r.exit_code, 0);
}

TEST_F(ChildProcesses, KillEndsTheChildAtOnceAndFreesTheSlot) {
  Received r;
  auto start = std::chrono::steady_clock::now();
  int slot = kvrun(record, reinterpret_cast<intptr_t>(&r), "sleep 30", true);
  ASSERT_GE(slot, 0);
  kvpump();
  kvrun_kill(slot);
  EXPECT_FALSE(kvrun_active(slot));
  for (int i = 0; i < 10; ++i) kvpump();
  EXPECT_EQ(r.ended, 0) << "no 2052 after a kill";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  kvrun_kill(slot);  // a free slot: nothing happens
  kvrun_kill(-1);
  kvrun_kill(kvrun_slots);
}

TEST_F(ChildProcesses, FailedStartsAndAFullTableGiveMinusOne) {
  Received r;
  const intptr_t object = reinterpret_cast<intptr_t>(&r);
  EXPECT_EQ(kvrun(record, object, "/no/such/program", false), -1);
  EXPECT_EQ(kvrun(record, object, "no-such-program-anywhere --help", false), -1);
  EXPECT_EQ(kvrun(record, object, "", false), -1);
  EXPECT_EQ(kvrun(record, object, nullptr, false), -1);

  std::vector<int> slots;
  for (int i = 0; i < kvrun_slots; ++i) {
    int slot = kvrun(record, object, "sleep 30", true);
    ASSERT_EQ(slot, i) << "the first free slot is taken";
    slots.push_back(slot);
  }
  EXPECT_EQ(kvrun(record, object, "sleep 30", true), -1);
  kvrun_kill(42);
  EXPECT_EQ(kvrun(record, object, "sleep 30", true), 42);
  for (int slot : slots) kvrun_kill(slot);
}

TEST_F(ChildProcesses, AProgramInTheCurrentFolderIsFoundAlsoUnderItsExeName) {
  kivo::test::TempDir dir;
  std::string script = dir.file("hello");
  std::ofstream(script) << "#!/bin/sh\necho \"hello $1\"\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  std::filesystem::current_path(dir.path());
  for (const char* command : {"hello world", "hello.exe world"}) {
    SCOPED_TRACE(command);
    Received r;
    ASSERT_GE(kvrun(record, reinterpret_cast<intptr_t>(&r), command, false), 0);
    ASSERT_TRUE(pump_until([&] { return r.ended > 0; }));
    EXPECT_EQ(r.text, "hello world\n");
  }
}

TEST_F(ChildProcesses, KvProcessKeepsTheNewestOutputAndPostsItsCode) {
  kvProcess p;
  EXPECT_GE(p.code, 1000000);
  ASSERT_TRUE(p.start("sh -c \"head -c 20000 /dev/zero | tr '\\0' a; printf END\""));
  EXPECT_TRUE(p.running());
  EXPECT_FALSE(p.start("true")) << "one child at a time";
  EXPECT_EQ(p.exitcode(), -1);
  bool posted = false;
  ASSERT_TRUE(pump_until([&] {
    while (int code = kvqueued() ? kvpollevent() : 0) posted = posted || code == p.code;
    return !p.running();
  }));
  EXPECT_TRUE(posted);
  EXPECT_EQ(p.exitcode(), 0);
  EXPECT_EQ(p.available(), kvProcess::ring_size);
  EXPECT_EQ(p.lost(), 20003 - kvProcess::ring_size);
  std::string text = p.read();
  std::string expected(size_t(kvProcess::ring_size - 3), 'a');
  expected.append("END");
  EXPECT_EQ(text, expected);
  EXPECT_EQ(p.available(), 0);

  kvProcess::callback(reinterpret_cast<intptr_t>(&p), kvrun_msg_char, 'q', 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.read(), "q");
}

TEST_F(ChildProcesses, KvProcessKillAndDestructionEndTheChild) {
  auto* p = new kvProcess;
  ASSERT_TRUE(p->start("sleep 30", true));
  p->kill();
  EXPECT_FALSE(p->running());
  EXPECT_EQ(p->exitcode(), 1);
  ASSERT_TRUE(p->start("sleep 30", true));
  delete p;  // ends the child and frees its slot
  for (int i = 0; i < 3; ++i) kvpump();
  int in_use = 0;
  for (int s = 0; s < kvrun_slots; ++s) in_use += kvrun_active(s);
  EXPECT_EQ(in_use, 0);
}

}  // namespace
