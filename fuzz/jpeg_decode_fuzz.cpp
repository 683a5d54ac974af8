// libFuzzer entry point for the picture decoder: any bytes must give a
// bitmap of the size the header gave or a refusal with a reason, never a
// crash, an ended process or runaway memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/picture/picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const auto decoded = vellumark::DecodePicture(std::span(data, size));
  if (decoded.ok()) {
    const vellumark::RgbBitmap& bitmap = *decoded;
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() !=
            bitmap.row_bytes * static_cast<std::size_t>(bitmap.height)) {
      __builtin_trap();
    }
    // Touch the last pixel the window would draw.
    volatile std::uint8_t last =
        bitmap.Row(bitmap.height - 1)[bitmap.width * 3 - 1];
    (void)last;
  } else if (decoded.reason().empty()) {
    __builtin_trap();  // every refusal must say why
  }
  return 0;
}
