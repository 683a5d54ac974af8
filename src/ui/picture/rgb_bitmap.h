#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellumark {

// A 24-bit colour bitmap, top row first, each pixel red, green, blue. Rows
// are padded to a multiple of four bytes, as window systems expect of
// 24-bit bitmaps, so `row_bytes` may exceed 3 * width.
struct RgbBitmap {
  int width = 0;
  int height = 0;
  std::size_t row_bytes = 0;
  std::vector<std::uint8_t> pixels;  // row_bytes * height bytes

  static std::size_t RowBytesFor(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  }
  const std::uint8_t* Row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * row_bytes;
  }
  std::uint8_t* Row(int y) {
    return pixels.data() + static_cast<std::size_t>(y) * row_bytes;
  }
};

}  // namespace vellumark
