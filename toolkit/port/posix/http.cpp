// Downloads over libcurl: http, https (certificates checked against the
// system's store), ftp. Redirects are followed, time-outs bound every
// transfer, the proxy comes from the environment (http_proxy, https_proxy,
// ftp_proxy, all_proxy, no_proxy), gzip and deflate answers are decoded.
//
// The answer is streamed into a temporary file beside the target and renamed
// over it only when it arrived completely, so a failed download never leaves
// half a file behind and never holds more than one chunk in memory.
#include <curl/curl.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

bool starts_with_nocase(const std::string& text, const char* prefix) {
  size_t n = std::strlen(prefix);
  return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

// The answer on its way into the temporary file.
struct Transfer {
  const HttpRequest* request = nullptr;
  std::string temp_name;
  int fd = -1;
  size_t bytes = 0;
  bool too_large = false;
  bool write_failed = false;
  std::string write_error;

  bool ensure_file() {
    if (fd >= 0) return true;
    // Created like any new file (0666 less the umask), under a name no one
    // else uses.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp_name = request->target_file + ".part" + std::to_string(getpid()) + "-" +
                  std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
      fd = ::open(temp_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      write_failed = true;
      write_error = std::strerror(errno);
      temp_name.clear();
      return false;
    }
    return true;
  }

  bool write_all(const char* data, size_t size) {
    while (size > 0) {
      ssize_t n = ::write(fd, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        write_failed = true;
        write_error = std::strerror(n < 0 ? errno : ENOSPC);
        return false;
      }
      data += n;
      size -= size_t(n);
    }
    return true;
  }

  void discard() {
    if (fd >= 0) ::close(fd);
    fd = -1;
    if (!temp_name.empty()) ::unlink(temp_name.c_str());
    temp_name.clear();
  }

  // Gives the file its final name; false (and the reason) if that fails.
  bool finish() {
    if (!ensure_file()) return false;
    bool ok = ::close(fd) == 0;
    fd = -1;
    if (!ok || ::rename(temp_name.c_str(), request->target_file.c_str()) != 0) {
      write_failed = true;
      write_error = std::strerror(errno);
      ::unlink(temp_name.c_str());
      temp_name.clear();
      return false;
    }
    temp_name.clear();
    return true;
  }
};

size_t on_data(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  if (n > t->request->max_bytes - t->bytes || t->bytes > t->request->max_bytes) {
    t->too_large = true;
    return 0;  // stops the transfer with CURLE_WRITE_ERROR
  }
  if (!t->ensure_file() || !t->write_all(data, n)) return 0;
  t->bytes += n;
  return n;
}

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* t = static_cast<Transfer*>(user);
  const std::atomic<bool>* cancel = t->request->cancel;
  return cancel && cancel->load(std::memory_order_acquire) ? 1 : 0;
}

class CurlHttp : public Http {
 public:
  bool open() override {
    std::call_once(init_once_, [this] { initialised_ = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return initialised_;
  }

  HttpResult get(const HttpRequest& request) override {
    HttpResult result;
    const std::string& url = request.url;
    result.is_http = starts_with_nocase(url, "http://") || starts_with_nocase(url, "https://");
    if (!result.is_http && !starts_with_nocase(url, "ftp://")) {
      result.failure = HttpFailure::BadUrl;
      result.error = "only http, https and ftp addresses are fetched";
      return result;
    }
    if (request.target_file.empty()) {
      result.failure = HttpFailure::FileWrite;
      result.error = "no file name";
      return result;
    }
    if (!open()) {
      result.failure = HttpFailure::NoAnswer;
      result.error = "the transfer library could not start";
      return result;
    }
    CURL* curl = curl_easy_init();
    if (!curl) {
      result.failure = HttpFailure::NoAnswer;
      result.error = "out of memory";
      return result;
    }

    Transfer transfer;
    transfer.request = &request;
    char error_text[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Pragma: no-cache");
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    const std::string agent = request.user_agent.empty() ? "kivo" : request.user_agent;

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error_text);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.max_redirects > 0 ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long(request.max_redirects));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(request.connect_timeout_ms));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(request.total_timeout_ms));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // every encoding libcurl decodes
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.max_bytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, on_data);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    result.bytes = transfer.bytes;
    result.error_code = int(code);
    // A redirect that could not be followed (a loop, a refused scheme) means
    // the resource itself never answered.
    bool redirect = result.status >= 300 && result.status < 400;
    result.answered = transfer.bytes > 0 || code == CURLE_PARTIAL_FILE ||
                      (result.is_http && result.status > 0 && !redirect);

    if (code == CURLE_OK) {
      if (transfer.finish()) {
        result.ok = true;
        return result;
      }
      result.failure = HttpFailure::FileWrite;
      result.error = "file not written: " + transfer.write_error;
      return result;
    }
    transfer.discard();
    if (transfer.too_large || code == CURLE_FILESIZE_EXCEEDED) {
      result.failure = HttpFailure::TooLarge;
      result.error = "answer larger than " + std::to_string(request.max_bytes) + " bytes";
    } else if (transfer.write_failed) {
      result.failure = HttpFailure::FileWrite;
      result.error = "file not written: " + transfer.write_error;
    } else {
      if (code == CURLE_OPERATION_TIMEDOUT)
        result.failure = HttpFailure::TimedOut;
      else if (code == CURLE_ABORTED_BY_CALLBACK)
        result.failure = HttpFailure::Cancelled;
      else if (code == CURLE_URL_MALFORMAT)
        result.failure = HttpFailure::BadUrl;
      else
        result.failure = result.answered ? HttpFailure::Transfer : HttpFailure::NoAnswer;
      result.error = error_text[0] ? error_text : curl_easy_strerror(code);
    }
    return result;
  }

 private:
  std::once_flag init_once_;
  bool initialised_ = false;
};

}  // namespace

std::unique_ptr<Http> make_posix_http() { return std::make_unique<CurlHttp>(); }

}  // namespace kivo::port
