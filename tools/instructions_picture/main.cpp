// make_instructions_picture OUTPUT.jpg: draws the example sheet and writes
// it as a progressive JFIF 1.01 JPEG at 96 x 96 dpi.

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/file_write.h"
#include "sheet_drawing.h"
#include "ui/picture/jpeg_encode.h"

namespace {

vellumark::RgbBitmap BitmapOf(const QImage& drawn) {
  const QImage image = drawn.convertToFormat(QImage::Format_RGB888);
  vellumark::RgbBitmap bitmap;
  bitmap.width = image.width();
  bitmap.height = image.height();
  bitmap.row_bytes = vellumark::RgbBitmap::RowBytesFor(bitmap.width);
  bitmap.pixels.assign(bitmap.row_bytes * bitmap.height, 0);
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(bitmap.Row(y), image.constScanLine(y),
                static_cast<std::size_t>(bitmap.width) * 3);
  }
  return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
    return 2;
  }
  // Drawing text needs a GUI application, not a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);

  vellumark::JpegEncodeOptions options;
  options.quality = 92;
  options.progressive = true;
  options.dots_per_inch = 96;
  auto jpeg = vellumark::EncodeJpeg(
      BitmapOf(vellumark::tools::DrawExampleSheet()), options);
  if (!jpeg.ok()) {
    std::fprintf(stderr, "%s\n", jpeg.reason().c_str());
    return 1;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(jpeg->data()),
                               jpeg->size());
  if (!vellumark::WriteBytesToFile(argv[1], bytes)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
