#include "ui/picture/picture_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "ui/picture/jpeg_decode.h"
#include "ui/picture/jpeg_encode.h"

namespace vellumark {
namespace {

struct Rgb {
  int r, g, b;
};

// Four flat 16x16 quadrants, aligned to the encoder's 2x2 chroma blocks so
// each colour survives compression closely.
constexpr Rgb kQuadrants[4] = {
    {220, 30, 40}, {30, 180, 60}, {40, 60, 200}, {250, 250, 250}};

RgbBitmap QuadrantBitmap() {
  RgbBitmap bitmap;
  bitmap.width = 32;
  bitmap.height = 32;
  bitmap.row_bytes = RgbBitmap::RowBytesFor(bitmap.width);
  bitmap.pixels.assign(bitmap.row_bytes * 32, 0);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Rgb& c = kQuadrants[(y / 16) * 2 + x / 16];
      std::uint8_t* p = bitmap.Row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(c.r);
      p[1] = static_cast<std::uint8_t>(c.g);
      p[2] = static_cast<std::uint8_t>(c.b);
    }
  }
  return bitmap;
}

// Busy enough that most of the file is entropy-coded data, not tables.
RgbBitmap PatternBitmap() {
  RgbBitmap bitmap;
  bitmap.width = 256;
  bitmap.height = 128;
  bitmap.row_bytes = RgbBitmap::RowBytesFor(bitmap.width);
  bitmap.pixels.assign(bitmap.row_bytes * 128, 0);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 256; ++x) {
      std::uint8_t* p = bitmap.Row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>((x * y) % 251);
      p[2] = static_cast<std::uint8_t>((x ^ y) * 7);
    }
  }
  return bitmap;
}

std::vector<std::uint8_t> Encode(const RgbBitmap& bitmap, bool progressive) {
  JpegEncodeOptions options;
  options.progressive = progressive;
  auto bytes = EncodeJpeg(bitmap, options);
  EXPECT_TRUE(bytes.ok()) << (bytes.ok() ? "" : bytes.reason());
  return bytes.ok() ? *bytes : std::vector<std::uint8_t>{};
}

bool HasMarker(const std::vector<std::uint8_t>& bytes, std::uint8_t marker) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == marker) return true;
  }
  return false;
}

constexpr std::uint8_t kBaselineFrame = 0xC0;
constexpr std::uint8_t kProgressiveFrame = 0xC2;

class JpegKindTest : public testing::TestWithParam<bool> {};

TEST_P(JpegKindTest, DecodesToSizeAndColours) {
  const bool progressive = GetParam();
  const auto bytes = Encode(QuadrantBitmap(), progressive);
  // The fixture really is of the kind under test.
  EXPECT_EQ(HasMarker(bytes, kProgressiveFrame), progressive);
  EXPECT_EQ(HasMarker(bytes, kBaselineFrame), !progressive);

  auto decoded = DecodePicture(bytes);
  ASSERT_TRUE(decoded.ok()) << decoded.reason();
  EXPECT_EQ(decoded->width, 32);
  EXPECT_EQ(decoded->height, 32);
  EXPECT_EQ(decoded->row_bytes, 96u);
  ASSERT_EQ(decoded->pixels.size(), 96u * 32);
  for (int q = 0; q < 4; ++q) {
    const int x = (q % 2) * 16 + 8;
    const int y = (q / 2) * 16 + 8;
    const std::uint8_t* p = decoded->Row(y) + x * 3;
    SCOPED_TRACE(testing::Message() << "quadrant " << q);
    EXPECT_NEAR(p[0], kQuadrants[q].r, 6);
    EXPECT_NEAR(p[1], kQuadrants[q].g, 6);
    EXPECT_NEAR(p[2], kQuadrants[q].b, 6);
  }
}

INSTANTIATE_TEST_SUITE_P(BaselineAndProgressive, JpegKindTest, testing::Bool(),
                         [](const auto& info) {
                           return info.param ? "Progressive" : "Baseline";
                         });

TEST(JpegDecodeTest, PadsRowsOfOddWidthsToFourBytes) {
  RgbBitmap bitmap;
  bitmap.width = 13;
  bitmap.height = 7;
  bitmap.row_bytes = RgbBitmap::RowBytesFor(13);
  bitmap.pixels.assign(bitmap.row_bytes * 7, 128);
  auto decoded = DecodePicture(Encode(bitmap, true));
  ASSERT_TRUE(decoded.ok()) << decoded.reason();
  EXPECT_EQ(decoded->width, 13);
  EXPECT_EQ(decoded->height, 7);
  EXPECT_EQ(decoded->row_bytes, 40u);
  EXPECT_EQ(decoded->pixels.size(), 40u * 7);
  EXPECT_NEAR(decoded->Row(6)[12 * 3 + 2], 128, 3);
}

TEST(JpegEncodeTest, WritesJfif101At96Dpi) {
  const auto bytes = Encode(QuadrantBitmap(), true);
  ASSERT_GE(bytes.size(), 20u);
  // SOI, then APP0: length 16, "JFIF\0", version 1.01, unit dpi, 96 x 96.
  const std::vector<std::uint8_t> head = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10,
                                          'J',  'F',  'I',  'F',  0x00, 0x01,
                                          0x01, 0x01, 0x00, 0x60, 0x00, 0x60};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
}

// Cutting a file anywhere must fail, never give a picture half filled
// with grey (libjpeg's own reaction to a premature end is a warning).
TEST_P(JpegKindTest, TruncatedFilesFail) {
  const auto whole = Encode(PatternBitmap(), GetParam());
  ASSERT_GT(whole.size(), 10000u);
  ASSERT_TRUE(DecodePicture(whole).ok());
  const std::size_t cuts[] = {2,
                              20,
                              whole.size() / 3,
                              whole.size() / 2,
                              whole.size() * 9 / 10,
                              whole.size() - 2};
  for (std::size_t cut : cuts) {
    const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + cut);
    auto decoded = DecodePicture(part);
    EXPECT_FALSE(decoded.ok()) << "cut at " << cut << " of " << whole.size();
    if (!decoded.ok()) {
      EXPECT_FALSE(decoded.reason().empty());
    }
  }
}

TEST(PictureDecodeTest, GarbageFails) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  std::vector<std::uint8_t> jpeg_noise = noise;
  jpeg_noise[0] = 0xFF;
  jpeg_noise[1] = 0xD8;
  std::vector<std::uint8_t> jpeg_head_only = {0xFF, 0xD8, 0xFF, 0xD9};
  std::vector<std::uint8_t> png_head = {0x89, 'P',  'N', 'G', 0x0D, 0x0A,
                                        0x1A, 0x0A, 0,   0,   0,    13};
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"one byte", {0xFF}},
      {"noise", noise},
      {"noise after a JPEG start", jpeg_noise},
      {"start and end marker only", jpeg_head_only},
      {"PNG signature", png_head},
  };
  for (const auto& c : cases) {
    auto decoded = DecodePicture(c.bytes);
    EXPECT_FALSE(decoded.ok()) << c.name;
    if (!decoded.ok()) {
      EXPECT_FALSE(decoded.reason().empty()) << c.name;
    }
  }
}

TEST(JpegDecodeTest, RecognisesOnlyTheStartOfImageMarker) {
  const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF};
  const std::vector<std::uint8_t> swapped = {0xD8, 0xFF, 0xFF};
  const std::vector<std::uint8_t> short_start = {0xFF};
  EXPECT_TRUE(LooksLikeJpeg(jpeg));
  EXPECT_FALSE(LooksLikeJpeg(swapped));
  EXPECT_FALSE(LooksLikeJpeg(short_start));
}

// A header may claim any size up to 65500 x 65500; such a claim is refused
// before the bitmap (12 GB here) is allocated.
TEST(JpegDecodeTest, RefusesAHeaderClaimingAHugePicture) {
  auto bytes = Encode(QuadrantBitmap(), false);
  const std::uint8_t marker[] = {0xFF, kBaselineFrame};
  auto frame = std::search(bytes.begin(), bytes.end(), std::begin(marker),
                           std::end(marker));
  ASSERT_NE(frame, bytes.end());
  // FF C0, length (2), precision (1), height (2), width (2).
  const std::size_t at = static_cast<std::size_t>(frame - bytes.begin());
  bytes[at + 5] = 0xFF;
  bytes[at + 6] = 0xD0;
  bytes[at + 7] = 0xFF;
  bytes[at + 8] = 0xD0;
  auto decoded = DecodePicture(bytes);
  ASSERT_FALSE(decoded.ok());
  EXPECT_NE(decoded.reason().find("too large"), std::string::npos)
      << decoded.reason();
}

TEST(JpegEncodeTest, RefusesAMalformedBitmap) {
  RgbBitmap bitmap;
  bitmap.width = 4;
  bitmap.height = 4;
  bitmap.row_bytes = 12;
  bitmap.pixels.assign(20, 0);  // fewer than 4 rows
  EXPECT_FALSE(EncodeJpeg(bitmap, {}).ok());
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The picture the instructions window shows, as checked in.
TEST(StoredPictureTest, IsAProgressiveJfif101PictureOf928By74) {
  const auto bytes = ReadFile(std::string(VELLUMARK_SOURCE_DIR) +
                              "/src/ui/resources/instructions.jpg");
  ASSERT_GT(bytes.size(), 1000u);
  // APP0 right after SOI: JFIF, version 1.01, dots per inch, 96 x 96.
  const std::vector<std::uint8_t> head = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10,
                                          'J',  'F',  'I',  'F',  0x00, 0x01,
                                          0x01, 0x01, 0x00, 0x60, 0x00, 0x60};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  EXPECT_FALSE(HasMarker(bytes, kBaselineFrame));
  const std::uint8_t marker[] = {0xFF, kProgressiveFrame};
  auto frame = std::search(bytes.begin(), bytes.end(), std::begin(marker),
                           std::end(marker));
  ASSERT_NE(frame, bytes.end());
  ASSERT_LT(frame + 10, bytes.end());
  // FF C2, length, precision, height, width, components.
  EXPECT_EQ(frame[4], 8);
  EXPECT_EQ((frame[5] << 8) | frame[6], 74);
  EXPECT_EQ((frame[7] << 8) | frame[8], 928);
  EXPECT_EQ(frame[9], 3);

  auto decoded = DecodePicture(bytes);
  ASSERT_TRUE(decoded.ok()) << decoded.reason();
  EXPECT_EQ(decoded->width, 928);
  EXPECT_EQ(decoded->height, 74);
}

}  // namespace
}  // namespace vellumark
