#include "ui/picture/picture_decode.h"

#include "ui/picture/jpeg_decode.h"

namespace vellumark {

Result<RgbBitmap> DecodePicture(std::span<const std::uint8_t> bytes) {
  if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
  return Error{"The picture is in no known format."};
}

}  // namespace vellumark
