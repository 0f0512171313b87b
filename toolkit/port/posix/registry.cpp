// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingRegistry : public Registry {
 public:
  bool read(const std::string&, std::string&) override { return false; }
  bool write(const std::string&, const std::string&) override { return false; }
  bool remove(const std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<Registry> make_posix_registry() { return std::make_unique<PendingRegistry>(); }

}  // namespace kivo::port
