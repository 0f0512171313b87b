// Downloads on worker threads, as the ticker's download thread does them,
// while the entry thread reads the download log.
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "support/local_servers.h"
#include "support/test_support.h"
#include "toolkit/core/http.h"
#include "toolkit/core/runtime_testing.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/headless/control.h"

namespace {

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The program chooses its backend on the entry thread before any other
// thread starts (kvinit does); so do the tests.
class HttpThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kivo::port::use_backend("headless"));
    kvruntime_reset();  // this thread is the entry thread
  }
};

TEST_F(HttpThreads, ParallelDownloadsKeepTheirOwnTranscriptsAndFiles) {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
  kivo::test::LocalHttpServer server;
  kivo::test::TempDir dir;
  constexpr int kThreads = 4;
  constexpr int kRounds = 8;
  for (int t = 0; t < kThreads; ++t) {
    server.route("/ok" + std::to_string(t), kivo::test::http_answer("200 OK", std::string(20000, char('a' + t))));
    server.route("/gone" + std::to_string(t), kivo::test::http_answer("404 Not Found", "gone"));
  }

  std::atomic<bool> running{true};
  std::atomic<int> failures{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        std::string id = std::to_string(t);
        std::string transcript;
        std::string file = dir.file("ok" + id);
        bool ok = kvhttpget(server.url("/ok" + id).c_str(), file.c_str(), &transcript);
        if (!ok || transcript.find("StatusCode=200\r\n") == std::string::npos ||
            transcript.find("/ok" + id + " -> ") == std::string::npos ||
            slurp(file) != std::string(20000, char('a' + t)))
          ++failures;
        ok = kvhttpget(server.url("/gone" + id).c_str(), dir.file("gone" + id).c_str(), &transcript);
        if (!ok || transcript.find("StatusCode=404\r\n") == std::string::npos) ++failures;
      }
    });
  }
  // The entry thread reads the log meanwhile: always one whole transcript.
  std::thread reader([&] {
    while (running.load()) {
      std::string log = kvhttplog();
      if (!log.empty() && log.rfind("get ", 0) != 0) ++failures;
      std::this_thread::yield();
    }
  });
  for (auto& w : workers) w.join();
  running.store(false);
  reader.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(kvhttplog().rfind("get ", 0), 0u);
}

TEST_F(HttpThreads, LimitsChangeWhileDownloadsRun) {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  kivo::test::LocalHttpServer server;
  kivo::test::TempDir dir;
  server.route("/a", kivo::test::http_answer("200 OK", "a"));
  std::thread worker([&] {
    for (int i = 0; i < 10; ++i) kvhttpget(server.url("/a").c_str(), dir.file("a").c_str());
  });
  for (int i = 0; i < 100; ++i) {
    kvhttp_limits limits = kvhttp_getlimits();
    limits.total_timeout_ms = 5000 + i;
    kvhttp_setlimits(limits);
  }
  worker.join();
  EXPECT_EQ(kvhttp_getlimits().total_timeout_ms, 5099);
}

TEST_F(HttpThreads, OnTheEntryThreadTheTransferRunsBesideThePump) {
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  kivo::test::LocalHttpServer server;
  kivo::test::TempDir dir;
  kivo::test::HttpAnswer slow = kivo::test::http_answer("200 OK", "late");
  slow.delay_ms = 200;
  server.route("/slow", slow);
  int delivered = 0;
  for (int i = 0; i < 3; ++i) kivo::port::headless::control()->post([&] { ++delivered; });
  std::string transcript;
  ASSERT_TRUE(kvhttpget(server.url("/slow").c_str(), dir.file("slow").c_str(), &transcript));
  EXPECT_EQ(delivered, 3);
  EXPECT_EQ(kvhttplog(), transcript);
}

}  // namespace
