#include "ui/picture/jpeg_encode.h"

#include <cstdlib>
#include <string>

#include "ui/picture/jpeg_error.h"

namespace vellumark {
namespace {

bool Encodable(const RgbBitmap& bitmap) {
  return bitmap.width > 0 && bitmap.height > 0 &&
         bitmap.row_bytes >= static_cast<std::size_t>(bitmap.width) * 3 &&
         bitmap.pixels.size() >=
             bitmap.row_bytes * static_cast<std::size_t>(bitmap.height);
}

// As in decoding: no object with a destructor in this frame. libjpeg
// allocates `*buffer` with malloc; the caller frees it, also on failure.
bool EncodeInto(const RgbBitmap& bitmap, const JpegEncodeOptions& options,
                unsigned char** buffer, unsigned long* size,
                std::string* reason) {
  jpeg_compress_struct codec{};
  jpeg_internal::ErrorManager errors;
  codec.err = jpeg_internal::InstallErrorManager(&errors);
  if (setjmp(errors.jump) != 0) {
    *reason =
        std::string("The JPEG picture cannot be encoded: ") + errors.message;
    jpeg_destroy_compress(&codec);
    return false;
  }
  jpeg_create_compress(&codec);
  jpeg_mem_dest(&codec, buffer, size);
  codec.image_width = static_cast<JDIMENSION>(bitmap.width);
  codec.image_height = static_cast<JDIMENSION>(bitmap.height);
  codec.input_components = 3;
  codec.in_color_space = JCS_RGB;
  jpeg_set_defaults(&codec);
  jpeg_set_quality(&codec, options.quality, TRUE);
  codec.write_JFIF_header = TRUE;
  codec.JFIF_major_version = 1;
  codec.JFIF_minor_version = 1;
  codec.density_unit = 1;  // dots per inch
  codec.X_density = static_cast<UINT16>(options.dots_per_inch);
  codec.Y_density = static_cast<UINT16>(options.dots_per_inch);
  if (options.progressive) jpeg_simple_progression(&codec);
  jpeg_start_compress(&codec, TRUE);
  while (codec.next_scanline < codec.image_height) {
    // libjpeg only reads the rows, its API just lacks the const.
    JSAMPROW row = const_cast<std::uint8_t*>(
        bitmap.Row(static_cast<int>(codec.next_scanline)));
    jpeg_write_scanlines(&codec, &row, 1);
  }
  jpeg_finish_compress(&codec);
  jpeg_destroy_compress(&codec);
  return true;
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeJpeg(const RgbBitmap& bitmap,
                                             const JpegEncodeOptions& options) {
  if (!Encodable(bitmap)) return Error{"The bitmap to encode is malformed."};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::string reason;
  const bool ok = EncodeInto(bitmap, options, &buffer, &size, &reason);
  std::vector<std::uint8_t> bytes;
  if (ok) bytes.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) return Error{reason};
  return bytes;
}

}  // namespace vellumark
