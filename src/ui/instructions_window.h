#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QSize>
#include <optional>

#include "ui/picture/rgb_bitmap.h"

namespace vellumark {

// Tells the user how to prepare the sheet: a picture of an example sheet
// across the top and three lines of text below it. No inputs of its own.
class InstructionsWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr QSize kOuterSize{925, 220};

  // The picture stored with the program.
  static QByteArray StoredPicture();

  // `picture` is decoded the first time the background is painted.
  explicit InstructionsWindow(QByteArray picture = StoredPicture(),
                              QWidget* parent = nullptr);

  // Centred on the primary screen, then sized so the frame is kOuterSize
  // once the window manager has framed it.
  void ShowCentred();

  // Whether the picture was decoded; false before the first paint.
  bool HasPicture() const { return bitmap_.has_value(); }

  // Every way of closing (close box, Alt+F4, system menu, Esc) ends here.
  void done(int result) override;

 signals:
  // Emitted while the window is still shown, just before it goes away.
  void closing();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateLabels();
  void DecodeOnce();

  QByteArray stored_;
  bool decode_tried_ = false;
  std::optional<RgbBitmap> bitmap_;  // held until the window is destroyed
  QImage image_;                     // draws bitmap_'s pixels, no copy
};

}  // namespace vellumark
