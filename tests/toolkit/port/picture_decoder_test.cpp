// The picture decoding service: GIF, JPEG, PNG and WebP into truecolor, and
// refusal of damaged or oversized data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../core/imagefile_test_util.h"
#include "support/test_support.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/picture_decoder.h"

namespace {

using kivo::port::DecodedPicture;

class PictureDecoding : public kivo::test::HeadlessTest {
 protected:
  bool decode(const std::vector<uint8_t>& bytes, DecodedPicture& out, std::string& error) {
    return kivo::port::backend().picture_decoder().decode(bytes.data(), bytes.size(), out, error);
  }
  std::vector<uint8_t> fixture(const std::string& name) {
    return kivo::test::file_bytes(kivo::test::source_path("tests/fixtures/pictures/" + name));
  }
};

TEST_F(PictureDecoding, LosslessFormatsGiveExactPixels) {
  const std::vector<uint32_t> expected = {0xFF0000, 0x00FF00, 0xFF0000, 0xFF0000,
                                          0xFF0000, 0xFF0000, 0x0000FF, 0xFF0000};
  for (const char* name : {"rgb.png", "lossless.webp"}) {
    DecodedPicture d;
    std::string error;
    ASSERT_TRUE(decode(fixture(name), d, error)) << name << ": " << error;
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.pixels, expected) << name;
    EXPECT_FALSE(d.has_transparency);
  }
  DecodedPicture d;
  std::string error;
  ASSERT_TRUE(decode(fixture("interlaced.png"), d, error)) << error;
  EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF, 0xFF0000, 0xFF0000}));
  EXPECT_EQ(d.format, "png");
}

TEST_F(PictureDecoding, PngAlphaIsCompositedOntoBlack) {
  DecodedPicture d;
  std::string error;
  ASSERT_TRUE(decode(fixture("alpha.png"), d, error)) << error;
  ASSERT_FALSE(d.pixels.empty());
  EXPECT_EQ(d.pixels[0], 0x800000u);  // red at 128/255
}

TEST_F(PictureDecoding, GifMarksTheTransparentIndex) {
  DecodedPicture d;
  std::string error;
  ASSERT_TRUE(decode(fixture("transparent.gif"), d, error)) << error;
  EXPECT_EQ(d.format, "gif");
  EXPECT_EQ(d.width, 4);
  EXPECT_EQ(d.height, 3);
  EXPECT_TRUE(d.has_transparency);
  EXPECT_EQ(d.pixels[0], d.transparent);
  EXPECT_EQ(d.pixels[1 + 4], 0x0000FFu);
}

TEST_F(PictureDecoding, JpegIsCloseToTheOriginal) {
  DecodedPicture d;
  std::string error;
  ASSERT_TRUE(decode(fixture("rgb.jpg"), d, error)) << error;
  ASSERT_EQ(d.pixels.size(), 8u);
  EXPECT_GT(d.pixels[0] >> 16 & 0xFF, 200u);
  EXPECT_LT(d.pixels[0] & 0xFF, 60u);
  ASSERT_TRUE(decode(fixture("gray.jpg"), d, error)) << error;
  uint32_t c = d.pixels[0];
  EXPECT_EQ(c >> 16 & 0xFF, c & 0xFF);  // grey becomes equal channels
  EXPECT_NEAR(double(c & 0xFF), 127.0, 3.0);
}

TEST_F(PictureDecoding, DamagedAndOversizedDataIsRefused) {
  std::vector<std::vector<uint8_t>> bad;
  bad.push_back({});
  bad.push_back({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!'});
  for (const char* name : {"rgb.png", "rgb.jpg", "transparent.gif", "lossless.webp"}) {
    std::vector<uint8_t> b = fixture(name);
    bad.push_back(std::vector<uint8_t>(b.begin(), b.begin() + long(b.size() / 2)));
    std::vector<uint8_t> flipped = b;
    for (size_t i = 12; i < flipped.size(); i += 3) flipped[i] ^= 0x5A;
    bad.push_back(flipped);
  }
  // A PNG header claiming 100000 x 100000 pixels.
  std::vector<uint8_t> png = fixture("rgb.png");
  png[16] = 0;
  png[17] = 1;
  png[18] = 0x86;
  png[19] = 0xA0;
  bad.push_back(png);
  // A GIF screen of 65535 x 65535.
  std::vector<uint8_t> gif = fixture("transparent.gif");
  gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
  bad.push_back(gif);
  for (size_t i = 0; i < bad.size(); ++i) {
    DecodedPicture d;
    std::string error;
    bool ok = decode(bad[i], d, error);
    if (!ok) {
      EXPECT_FALSE(error.empty()) << i;
      EXPECT_TRUE(d.pixels.empty()) << i;
    } else {
      // Some flipped bytes land in data a decoder tolerates; the result is sane.
      EXPECT_EQ(d.pixels.size(), size_t(d.width) * size_t(d.height)) << i;
    }
  }
  for (size_t i : {size_t(0), size_t(1), bad.size() - 2, bad.size() - 1}) {
    DecodedPicture d;
    std::string error;
    EXPECT_FALSE(decode(bad[i], d, error)) << i;
  }
}

}  // namespace
