#include "ui/instructions_window.h"

#include <QFile>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <cstdint>
#include <span>
#include <utility>

#include "ui/picture/picture_decode.h"
#include "ui/program_icon.h"
#include "ui/window_frame.h"

namespace vellumark {
namespace {

struct LabelTemplate {
  const char* name;
  QRect geometry;
  const char* text;
};

// In the order they are stored and created; top to bottom they read
// 标签2, 标签1, 标签4.
const LabelTemplate kLabels[] = {
    {"标签4", QRect(15, 153, 433, 28),
     "3.更新支持jpg格式。本意只用来下载透明图、增加jpg格式可下载淘宝天猫主图"},
    {"标签2", QRect(12, 80, 512, 28),
     "1.软件和导入数据的表格均放在透明图下载目录。"},
    {"标签1", QRect(13, 117, 643, 28),
     "2.导入表格如上图所示，第一列为\"宝贝ID（你想命名的图片名字）\"，"
     "第二列为\"透明图地址\"，表格格式最好为\".xlsx\""},
};

}  // namespace

QByteArray InstructionsWindow::StoredPicture() {
  QFile file(QStringLiteral(":/vellumark/instructions.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

InstructionsWindow::InstructionsWindow(QByteArray picture, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      stored_(std::move(picture)) {
  setObjectName(QStringLiteral("InstructionsWindow"));
  setWindowTitle(QString::fromUtf8("说明"));
  setWindowIcon(ProgramIcon());
  setSizeGripEnabled(false);
  // The whole client area is painted here: picture, then face colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(ClassicClientSize(kOuterSize));
  CreateLabels();
}

void InstructionsWindow::CreateLabels() {
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  for (const LabelTemplate& entry : kLabels) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromUtf8(entry.name));
    label->setGeometry(entry.geometry);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(entry.text));
    // One line, cut at the right edge; QLabel neither wraps nor elides.
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setPalette(palette);
    label->setBackgroundRole(QPalette::Window);
    label->setAutoFillBackground(true);
    label->setFocusPolicy(Qt::NoFocus);
  }
}

void InstructionsWindow::ShowCentred() {
  MoveCentred(this, kOuterSize);
  show();
  FitOuterSizeOnceFramed(this, kOuterSize);
}

void InstructionsWindow::done(int result) {
  emit closing();
  QDialog::done(result);
}

void InstructionsWindow::DecodeOnce() {
  if (decode_tried_) return;
  decode_tried_ = true;
  const std::span<const std::uint8_t> bytes(
      reinterpret_cast<const std::uint8_t*>(stored_.constData()),
      static_cast<std::size_t>(stored_.size()));
  auto decoded = DecodePicture(bytes);
  // An undecodable picture is not reported: the background stays plain.
  if (!decoded.ok()) return;
  bitmap_ = std::move(decoded).value();
  image_ =
      QImage(bitmap_->pixels.data(), bitmap_->width, bitmap_->height,
             static_cast<qsizetype>(bitmap_->row_bytes), QImage::Format_RGB888);
}

void InstructionsWindow::paintEvent(QPaintEvent* event) {
  DecodeOnce();
  QPainter painter(this);
  QRegion background = event->region();
  if (!image_.isNull()) {
    // Natural size from the top-left corner; what the narrower client
    // area cannot hold is cut off, never scaled.
    painter.drawImage(QPoint(0, 0), image_);
    background -= QRect(QPoint(0, 0), image_.size());
  }
  const QColor face = palette().color(QPalette::Window);
  for (const QRect& rect : background) painter.fillRect(rect, face);
}

}  // namespace vellumark
