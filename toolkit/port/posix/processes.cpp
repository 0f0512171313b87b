// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingProcesses : public Processes {
 public:
  int spawn(const ProcessSpec&) override { return 0; }
  long read(int, Stream, char*, size_t) override { return -1; }
  bool write(int, const std::string&) override { return false; }
  bool exited(int, int&) override { return true; }
  bool kill(int) override { return false; }
  void release(int) override {}
};

}  // namespace

std::unique_ptr<Processes> make_posix_processes() { return std::make_unique<PendingProcesses>(); }

}  // namespace kivo::port
