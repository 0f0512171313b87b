// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingShell : public Shell {
 public:
  bool open(const std::string&) override { return false; }
  bool start(const std::string&, const std::vector<std::string>&) override { return false; }
};

}  // namespace

std::unique_ptr<Shell> make_posix_shell() { return std::make_unique<PendingShell>(); }

}  // namespace kivo::port
