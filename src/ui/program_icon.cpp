#include "ui/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vellumark {
namespace {

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);

  // The picture: a sky, a sun and a hill inside a frame.
  painter.setPen(QPen(QColor(0x2f, 0x4f, 0x6f), 1.5));
  painter.setBrush(QColor(0xcf, 0xe8, 0xff));
  painter.drawRoundedRect(QRectF(2, 2, 22, 18), 2, 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xf5, 0xb7, 0x00));
  painter.drawEllipse(QPointF(8, 8), 3, 3);
  QPainterPath hill;
  hill.moveTo(3, 19);
  hill.lineTo(11, 11);
  hill.lineTo(16, 15);
  hill.lineTo(19, 12);
  hill.lineTo(23, 19);
  hill.closeSubpath();
  painter.setBrush(QColor(0x3c, 0x9a, 0x4a));
  painter.drawPath(hill);

  // The download arrow, bottom right.
  QPainterPath arrow;
  arrow.moveTo(22, 14);
  arrow.lineTo(28, 14);
  arrow.lineTo(28, 22);
  arrow.lineTo(31, 22);
  arrow.lineTo(25, 30);
  arrow.lineTo(19, 22);
  arrow.lineTo(22, 22);
  arrow.closeSubpath();
  painter.setPen(QPen(Qt::white, 1.2));
  painter.setBrush(QColor(0xd3, 0x3a, 0x2c));
  painter.drawPath(arrow);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace vellumark
