// Fuzzes the GIF branch of the picture decoding service.
#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/port/posix/services.h"
#include "toolkit/port/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kivo::port::DecodedPicture out;
  std::string error;
  static auto decoder = kivo::port::make_posix_picture_decoder();
  decoder->decode(data, size, out, error);
  return 0;
}
