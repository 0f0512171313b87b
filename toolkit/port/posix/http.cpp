// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingHttp : public Http {
 public:
  HttpResult get(const HttpRequest&) override {
    HttpResult result;
    result.error = "downloads are not available yet";
    return result;
  }
};

}  // namespace

std::unique_ptr<Http> make_posix_http() { return std::make_unique<PendingHttp>(); }

}  // namespace kivo::port
