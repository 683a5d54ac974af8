#pragma once

#include <cstdint>
#include <span>

#include "common/result.h"
#include "ui/picture/rgb_bitmap.h"

namespace vellumark {

// Decodes a stored picture into a 24-bit bitmap. The format is recognised
// by the first bytes; only JPEG (FF D8) is known. Unknown, damaged or
// truncated data gives an error, never a partial picture.
Result<RgbBitmap> DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace vellumark
