// Downloading a URL into a file, with a transcript of what happened.
//
// kvhttpget fetches http, https (certificates checked against the system's
// store) and ftp addresses; any other text fails. Redirects are followed (at
// most 10), connecting may take 30 s and the whole transfer 120 s, the proxy
// comes from the environment, gzip and deflate answers are decoded, and an
// answer larger than 64 MB is refused. The file is replaced only when the
// whole answer arrived; an error page (HTTP 404, 500, ...) counts as an
// answer and is saved like any other, its status is in the transcript after
// "StatusCode=" (for ftp the text after "StatusCode=" is empty: ftp has no
// HTTP status).
//
// Threads: kvhttpget may run on any thread, also several at once. On the
// entry thread it keeps the program responsive: the transfer runs on a
// helper thread while the caller pumps messages every 10 ms. On other
// threads it only waits. The transcript is published under a lock. The
// port backend must have been chosen on the entry thread first (kvinit or
// any earlier toolkit call does that).
#pragma once

#include <cstddef>
#include <string>

// Downloads url into file. An empty or missing file name means the part of
// url after its last "/". True when the answer arrived completely and the
// file was written. The transcript of this call goes to the process-wide
// download log and, when transcript is given, into it.
bool kvhttpget(const char* url, const char* file = nullptr, std::string* transcript = nullptr);

// The process-wide download log: the transcript of the latest download
// (started or finished), at most kvhttp_log_max characters.
std::string kvhttplog();
constexpr size_t kvhttp_log_max = 4999;

// Addresses longer than this are refused.
constexpr size_t kvhttp_max_url = 65536;

// Limits of every download; changeable (tests shorten them).
struct kvhttp_limits {
  int connect_timeout_ms = 30000;
  int total_timeout_ms = 120000;
  size_t max_bytes = size_t(64) << 20;
  int max_redirects = 10;
};
void kvhttp_setlimits(const kvhttp_limits& limits);
kvhttp_limits kvhttp_getlimits();
