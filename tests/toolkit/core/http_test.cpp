// kvhttpget against servers on 127.0.0.1: answers, error pages, redirects,
// time-outs, the size cap, compressed answers, broken servers, ftp.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/local_servers.h"
#include "support/test_support.h"
#include "toolkit/core/http.h"
#include "toolkit/port/headless/control.h"

namespace {

using kivo::test::http_answer;
using kivo::test::HttpAnswer;

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Download : public kivo::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    // The servers are local: no proxy of the environment may stand between.
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    kvhttp_limits limits;
    limits.connect_timeout_ms = 1000;
    limits.total_timeout_ms = 1500;
    limits.max_bytes = 1 << 20;
    kvhttp_setlimits(limits);
  }

  void TearDown() override {
    std::filesystem::current_path(start_folder_);
    HeadlessTest::TearDown();
  }

  std::filesystem::path start_folder_ = std::filesystem::current_path();
  kivo::test::LocalHttpServer server;
  kivo::test::TempDir dir;
};

struct Case {
  const char* name;
  HttpAnswer answer;
  bool ok;
  std::string file;                // expected file content when ok
  std::vector<std::string> lines;  // expected in the transcript
};

TEST_F(Download, AnswersErrorsAndBrokenServersLeaveTheTranscriptTheyShould) {
  std::string big(3 << 20, 'x');
  HttpAnswer unbounded;  // no length: the answer ends when the server closes
  unbounded.bytes = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big;
  HttpAnswer cut = http_answer("200 OK", std::string(1000, 'y'));
  cut.cut_after = cut.bytes.size() - 900;
  HttpAnswer slow = http_answer("200 OK", "late");
  slow.delay_ms = 2500;
  HttpAnswer garbage;
  garbage.bytes = "this is not HTTP at all\r\n\r\n";

  const Case cases[] = {
      {"ok", http_answer("200 OK", "hello"), true, "hello",
       {"InternetOpenUrl ok\r\n", "InternetReadFile ok, read=5\r\n", "StatusCode=200\r\n", "ok\r\n"}},
      {"empty", http_answer("200 OK", ""), true, "", {"InternetReadFile ok, read=0\r\n", "StatusCode=200\r\n"}},
      {"missing", http_answer("404 Not Found", "not here"), true, "not here", {"StatusCode=404\r\n", "ok\r\n"}},
      {"failing", http_answer("500 Internal Server Error", "oops"), true, "oops", {"StatusCode=500\r\n"}},
      {"gzip", http_answer("200 OK", kivo::test::gzip("compressed text, decoded on arrival"), "Content-Encoding: gzip\r\n"),
       true, "compressed text, decoded on arrival", {"read=35\r\n", "StatusCode=200\r\n"}},
      {"toolarge", http_answer("200 OK", big), false, "", {"answer larger than 1048576 bytes, stopped\r\n", "file not read\r\n"}},
      {"unbounded", unbounded, false, "", {"answer larger than 1048576 bytes, stopped\r\n", "file not read\r\n"}},
      {"cut", cut, false, "", {"InternetOpenUrl ok\r\n", "file not read\r\n", "err=18 "}},
      {"slow", slow, false, "", {"InternetOpenUrl failed (28)\r\n", "timed out\r\n"}},
      {"garbage", garbage, false, "", {"InternetOpenUrl failed ("}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = std::string("/") + c.name;
    server.route(path, c.answer);
    std::string target = dir.file(c.name);
    std::ofstream(target) << "previous content";
    std::string transcript;
    bool ok = kvhttpget(server.url(path).c_str(), target.c_str(), &transcript);
    EXPECT_EQ(ok, c.ok) << transcript;
    EXPECT_EQ(transcript.rfind("get " + server.url(path) + " -> ", 0), 0u) << transcript;
    for (const std::string& line : c.lines) EXPECT_TRUE(has(transcript, line)) << line << " in\n" << transcript;
    EXPECT_EQ(slurp(target), c.ok ? c.file : "previous content") << "a failed download leaves the file alone";
    EXPECT_EQ(kvhttplog(), transcript);
    EXPECT_LE(transcript.size(), kvhttp_log_max);
  }
  // No temporary file is left beside the targets.
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, int(std::size(cases)));
}

TEST_F(Download, OpensTheLibraryOnceAndNamesTheProgramAndNoCacheInTheRequest) {
  server.route("/a", http_answer("200 OK", "a"));
  std::string first, second;
  ASSERT_TRUE(kvhttpget(server.url("/a").c_str(), dir.file("a").c_str(), &first));
  ASSERT_TRUE(kvhttpget(server.url("/a").c_str(), dir.file("a").c_str(), &second));
  // The very first download of the process opens the library (each test
  // runs in a process of its own, but a filtered run may share one).
  EXPECT_TRUE(has(first, "\r\nInternetOpen ok\r\n") || has(first, "\r\nalready open\r\n")) << first;
  EXPECT_TRUE(has(second, "already open\r\n")) << second;
  std::string request = server.last_request("/a");
  EXPECT_TRUE(has(request, "User-Agent: test_toolkit_core (kivo)")) << request;
  EXPECT_TRUE(has(request, "Pragma: no-cache")) << request;
  EXPECT_TRUE(has(request, "Accept-Encoding: ")) << request;
}

TEST_F(Download, FollowsRedirectsButNotLoopsNorOtherSchemes) {
  for (int i = 1; i <= 5; ++i)
    server.route("/hop" + std::to_string(i),
                 http_answer("302 Found", "", "Location: /hop" + std::to_string(i + 1) + "\r\n"));
  server.route("/hop6", http_answer("200 OK", "arrived"));
  server.route("/loop", http_answer("301 Moved Permanently", "", "Location: /loop\r\n"));
  server.route("/tofile", http_answer("302 Found", "", "Location: file:///etc/passwd\r\n"));

  std::string log;
  EXPECT_TRUE(kvhttpget(server.url("/hop1").c_str(), dir.file("hops").c_str(), &log)) << log;
  EXPECT_EQ(slurp(dir.file("hops")), "arrived");
  EXPECT_TRUE(has(log, "StatusCode=200\r\n")) << log;

  EXPECT_FALSE(kvhttpget(server.url("/loop").c_str(), dir.file("loop").c_str(), &log));
  EXPECT_TRUE(has(log, "InternetOpenUrl failed (47)\r\n")) << log;
  EXPECT_LE(server.requests("/loop"), 11) << "at most 10 redirects are followed";

  EXPECT_FALSE(kvhttpget(server.url("/tofile").c_str(), dir.file("tofile").c_str(), &log));
  EXPECT_TRUE(has(log, "InternetOpenUrl failed (")) << log;
  EXPECT_FALSE(std::filesystem::exists(dir.file("tofile")));
}

TEST_F(Download, RefusesWhatItMustNotFetch) {
  const std::string long_url = "http://127.0.0.1/" + std::string(kvhttp_max_url, 'a');
  const struct {
    std::string url;
    std::string line;
  } cases[] = {
      {"file:///etc/passwd", "unsupported address (only http, https and ftp are fetched)\r\n"},
      {"gopher://127.0.0.1/x", "unsupported address"},
      {"www.example.com/feed", "unsupported address"},
      {"", "unsupported address"},
      {long_url, "URL too long ("},
      {"http://127.0.0.1:" + std::to_string(kivo::test::refused_port()) + "/x", "InternetOpenUrl failed (7)\r\n"},
      {"http://[::1/broken", "InternetOpenUrl failed ("},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url.substr(0, 60));
    std::string log;
    EXPECT_FALSE(kvhttpget(c.url.c_str(), dir.file("out").c_str(), &log));
    EXPECT_TRUE(has(log, c.line)) << log.substr(0, 300);
    EXPECT_TRUE(has(log, " -> " + dir.file("out") + "\r\n")) << "the first line is whole, even for a huge URL";
    EXPECT_LE(log.size(), kvhttp_log_max);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
  }
}

TEST_F(Download, WithoutAFileNameUsesThePartAfterTheLastSlash) {
  server.route("/feeds/news.xml", http_answer("200 OK", "<rss/>"));
  std::filesystem::current_path(dir.path());
  ASSERT_TRUE(kvhttpget(server.url("/feeds/news.xml").c_str()));
  EXPECT_EQ(slurp(dir.file("news.xml")), "<rss/>");
  ASSERT_TRUE(kvhttpget(server.url("/feeds/news.xml").c_str(), ""));
  std::string log;
  EXPECT_FALSE(kvhttpget(server.url("/").c_str(), nullptr, &log)) << "no name after the last slash";
  EXPECT_TRUE(has(log, "no file name\r\n")) << log;
}

TEST_F(Download, AFileThatCannotBeWrittenIsAFailure) {
  server.route("/a", http_answer("200 OK", "a"));
  std::string log;
  EXPECT_FALSE(kvhttpget(server.url("/a").c_str(), dir.file("no/such/folder/a").c_str(), &log));
  EXPECT_TRUE(has(log, "StatusCode=200\r\nfile not written")) << log;
}

TEST_F(Download, KeepsWindowsAliveOnTheEntryThread) {
  HttpAnswer slow = http_answer("200 OK", "late");
  slow.delay_ms = 300;
  server.route("/slow", slow);
  int delivered = 0;
  for (int i = 0; i < 5; ++i) kivo::port::headless::control()->post([&] { ++delivered; });
  ASSERT_TRUE(kvhttpget(server.url("/slow").c_str(), dir.file("slow").c_str()));
  EXPECT_EQ(delivered, 5) << "window-system events were dispatched while the answer was awaited";
}

TEST_F(Download, FetchesFilesOverFtp) {
  kivo::test::TempDir served;
  std::ofstream(served.file("feed.txt")) << "line one\nline two\n";
  kivo::test::LocalFtpServer ftp(served.path());
  ASSERT_TRUE(ftp.ok()) << ftp.error();

  std::string log;
  ASSERT_TRUE(kvhttpget(ftp.url("/feed.txt").c_str(), dir.file("feed").c_str(), &log)) << log;
  EXPECT_EQ(slurp(dir.file("feed")), "line one\nline two\n");
  EXPECT_TRUE(has(log, "InternetReadFile ok, read=18\r\nStatusCode=\r\nok\r\n")) << log;

  EXPECT_FALSE(kvhttpget(ftp.url("/missing.txt").c_str(), dir.file("missing").c_str(), &log));
  EXPECT_TRUE(has(log, "InternetOpenUrl failed (78)\r\n")) << log;
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

}  // namespace
