#include "ui/picture/jpeg_decode.h"

#include <string>

#include "ui/picture/jpeg_error.h"

namespace vellumark {
namespace {

// Far above any picture this program holds (4000 x 4000 pixels fit); a
// forged header asking for more is refused before libjpeg or this code
// allocates anything for it.
constexpr std::size_t kMaxBitmapBytes = std::size_t{64} << 20;

// Every object with a destructor lives outside this frame, since a
// longjmp back to the setjmp below skips destructors.
bool DecodeInto(std::span<const std::uint8_t> bytes, RgbBitmap* out,
                std::string* reason) {
  jpeg_decompress_struct codec{};
  jpeg_internal::ErrorManager errors;
  codec.err = jpeg_internal::InstallErrorManager(&errors);
  if (setjmp(errors.jump) != 0) {
    *reason =
        std::string("The JPEG picture cannot be decoded: ") + errors.message;
    jpeg_destroy_decompress(&codec);
    return false;
  }
  jpeg_create_decompress(&codec);
  jpeg_mem_src(&codec, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&codec, TRUE);
  codec.out_color_space = JCS_RGB;
  const std::size_t row_bytes =
      RgbBitmap::RowBytesFor(static_cast<int>(codec.image_width));
  if (row_bytes * codec.image_height > kMaxBitmapBytes) {
    *reason = "The JPEG picture is too large.";
    jpeg_destroy_decompress(&codec);
    return false;
  }
  jpeg_start_decompress(&codec);
  if (codec.output_components != 3) {
    *reason = "The JPEG picture has no RGB form.";
    jpeg_destroy_decompress(&codec);
    return false;
  }
  out->width = static_cast<int>(codec.output_width);
  out->height = static_cast<int>(codec.output_height);
  out->row_bytes = RgbBitmap::RowBytesFor(out->width);
  out->pixels.assign(out->row_bytes * codec.output_height, 0);
  while (codec.output_scanline < codec.output_height) {
    JSAMPROW row = out->Row(static_cast<int>(codec.output_scanline));
    jpeg_read_scanlines(&codec, &row, 1);
  }
  jpeg_finish_decompress(&codec);
  jpeg_destroy_decompress(&codec);
  return true;
}

}  // namespace

bool LooksLikeJpeg(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

Result<RgbBitmap> DecodeJpeg(std::span<const std::uint8_t> bytes) {
  if (!LooksLikeJpeg(bytes)) return Error{"The data is not a JPEG picture."};
  RgbBitmap bitmap;
  std::string reason;
  if (!DecodeInto(bytes, &bitmap, &reason)) return Error{reason};
  return bitmap;
}

}  // namespace vellumark
