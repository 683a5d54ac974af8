#pragma once

#include <cstdint>
#include <vector>

#include "common/result.h"
#include "ui/picture/rgb_bitmap.h"

namespace vellumark {

struct JpegEncodeOptions {
  int quality = 90;         // 1 to 100
  bool progressive = true;  // libjpeg's simple progression script
  int dots_per_inch = 96;   // JFIF density, both directions
};

// Encodes an RGB bitmap as a JFIF 1.01 file with three 8-bit components.
// Used by the picture generator and by tests that need fixtures.
Result<std::vector<std::uint8_t>> EncodeJpeg(const RgbBitmap& bitmap,
                                             const JpegEncodeOptions& options);

}  // namespace vellumark
