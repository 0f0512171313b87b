// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingSystemFonts : public SystemFonts {
 public:
  int open(const SystemFontRequest&) override { return 0; }
  void close(int) override {}
  SystemFontMetrics metrics(int) override { return {}; }
  bool glyph(int, char32_t, SystemGlyph&) override { return false; }
};

}  // namespace

std::unique_ptr<SystemFonts> make_posix_system_fonts() { return std::make_unique<PendingSystemFonts>(); }

}  // namespace kivo::port
