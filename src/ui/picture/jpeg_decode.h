#pragma once

#include <cstdint>
#include <span>

#include "common/result.h"
#include "ui/picture/rgb_bitmap.h"

namespace vellumark {

// True when the data starts with a JPEG start-of-image marker (FF D8).
bool LooksLikeJpeg(std::span<const std::uint8_t> bytes);

// Decodes a baseline or progressive JPEG (grey or colour) into RGB. Fails,
// without a partial result, on damaged or truncated data and on pictures
// too large to hold.
Result<RgbBitmap> DecodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace vellumark
