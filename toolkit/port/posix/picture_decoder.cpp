// Placeholder: answers "failed" until the real service is written, so that
// callers take their error paths.
#include "toolkit/port/posix/services.h"

namespace kivo::port {
namespace {

class PendingPictureDecoder : public PictureDecoder {
 public:
  bool decode(const uint8_t*, size_t, DecodedPicture&, std::string& error) override {
    error = "picture decoding is not available yet";
    return false;
  }
};

}  // namespace

std::unique_ptr<PictureDecoder> make_posix_picture_decoder() { return std::make_unique<PendingPictureDecoder>(); }

}  // namespace kivo::port
