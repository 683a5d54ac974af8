#include "sheet_drawing.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <array>

namespace vellumark::tools {
namespace {

constexpr int kWidth = 928;
constexpr int kHeight = 74;
constexpr int kHeaderHeight = 20;  // the row of column letters
constexpr int kRowHeight = 18;
constexpr int kRowHeaderWidth = 32;     // the column of row numbers
constexpr int kFirstColumnWidth = 104;  // widened to fit the 12 digits
constexpr int kColumnWidth = 72;
constexpr int kColumns = 12;  // A to L
constexpr int kRows = 3;

const QColor kGrid(0xd4, 0xd4, 0xd4);
const QColor kHeaderFace(0xf0, 0xf0, 0xf0);
const QColor kHeaderSelected(0xd2, 0xd2, 0xd2);
const QColor kHeaderLine(0xbf, 0xbf, 0xbf);
const QColor kHeaderText(0x44, 0x44, 0x44);
const QColor kSelection(0x21, 0x73, 0x46);
const QColor kTextMark(0x1f, 0x9a, 0x4a);  // "number stored as text"

struct Row {
  const char* id;
  const char* address;
};
constexpr std::array<Row, 2> kExampleRows = {{
    {"602318457790",
     "https://img.example.com/shop/pictures/602318457790/white-ground.png"},
    {"602318461025",
     "https://img.example.com/shop/pictures/602318461025/white-ground.png"},
}};

int ColumnLeft(int column) {
  if (column == 0) return kRowHeaderWidth;
  return kRowHeaderWidth + kFirstColumnWidth + (column - 1) * kColumnWidth;
}
int ColumnWidth(int column) {
  return column == 0 ? kFirstColumnWidth : kColumnWidth;
}
int RowTop(int row) { return kHeaderHeight + row * kRowHeight; }

QFont SheetFont(int pixels) {
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(pixels);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void DrawGrid(QPainter& painter) {
  painter.setPen(kGrid);
  for (int column = 0; column < kColumns; ++column) {
    const int right = ColumnLeft(column) + ColumnWidth(column) - 1;
    // The addresses run over the empty cells to their right, so no grid
    // line is drawn through them.
    for (int row = 0; row < kRows; ++row) {
      const bool covered = row < 2 && column >= 1;
      const int top = RowTop(row);
      if (!covered) painter.drawLine(right, top, right, top + kRowHeight - 1);
    }
  }
  for (int row = 0; row < kRows; ++row) {
    const int bottom = RowTop(row) + kRowHeight - 1;
    painter.drawLine(kRowHeaderWidth, bottom, kWidth - 1, bottom);
  }
}

void DrawHeaders(QPainter& painter) {
  painter.setFont(SheetFont(12));
  // Column letters.
  painter.fillRect(0, 0, kWidth, kHeaderHeight, kHeaderFace);
  for (int column = 0; column < kColumns; ++column) {
    const QRect cell(ColumnLeft(column), 0, ColumnWidth(column), kHeaderHeight);
    const bool selected = column == 0;
    if (selected) painter.fillRect(cell, kHeaderSelected);
    painter.setPen(kHeaderLine);
    painter.drawLine(cell.right(), 0, cell.right(), kHeaderHeight - 1);
    painter.setPen(selected ? kSelection : kHeaderText);
    painter.drawText(cell, Qt::AlignCenter, QString(QChar(u'A' + column)));
    if (selected) {
      painter.fillRect(cell.left(), kHeaderHeight - 2, cell.width(), 2,
                       kSelection);
    }
  }
  painter.setPen(kHeaderLine);
  painter.drawLine(0, kHeaderHeight - 1, kWidth - 1, kHeaderHeight - 1);

  // Row numbers, and the corner above them.
  painter.fillRect(0, kHeaderHeight, kRowHeaderWidth, kHeight - kHeaderHeight,
                   kHeaderFace);
  for (int row = 0; row < kRows; ++row) {
    const QRect cell(0, RowTop(row), kRowHeaderWidth, kRowHeight);
    const bool selected = row == 0;
    if (selected) painter.fillRect(cell, kHeaderSelected);
    painter.setPen(kHeaderLine);
    painter.drawLine(0, cell.bottom(), kRowHeaderWidth - 1, cell.bottom());
    painter.setPen(selected ? kSelection : kHeaderText);
    painter.drawText(cell, Qt::AlignCenter, QString::number(row + 1));
    if (selected) {
      painter.fillRect(kRowHeaderWidth - 2, cell.top(), 2, cell.height(),
                       kSelection);
    }
  }
  painter.setPen(kHeaderLine);
  painter.drawLine(kRowHeaderWidth - 1, 0, kRowHeaderWidth - 1, kHeight - 1);
  // The select-all triangle in the corner.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xb4, 0xb4, 0xb4));
  painter.drawPolygon(
      QPolygon({QPoint(kRowHeaderWidth - 4, 5),
                QPoint(kRowHeaderWidth - 4, kHeaderHeight - 4),
                QPoint(kRowHeaderWidth - 15, kHeaderHeight - 4)}));
}

void DrawCells(QPainter& painter) {
  painter.setFont(SheetFont(12));
  for (std::size_t i = 0; i < kExampleRows.size(); ++i) {
    const int top = RowTop(static_cast<int>(i));
    const QRect id_cell(ColumnLeft(0) + 3, top, ColumnWidth(0) - 4,
                        kRowHeight - 1);
    painter.setPen(Qt::black);
    painter.drawText(id_cell, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(kExampleRows[i].id));
    // Numbers kept as text get a small green mark in the cell's corner.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTextMark);
    const int left = ColumnLeft(0);
    painter.drawPolygon(QPolygon(
        {QPoint(left, top), QPoint(left + 5, top), QPoint(left, top + 5)}));
    painter.setPen(Qt::black);
    const QRect address(ColumnLeft(1) + 3, top, kWidth, kRowHeight - 1);
    painter.drawText(address, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(kExampleRows[i].address));
  }
}

void DrawSelection(QPainter& painter) {
  const QRect a1(ColumnLeft(0) - 1, RowTop(0) - 1, ColumnWidth(0) + 1,
                 kRowHeight + 1);
  painter.setPen(
      QPen(kSelection, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(a1.adjusted(1, 1, 0, 0));
  // The fill handle at the bottom-right corner.
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(kSelection);
  painter.drawRect(a1.right() - 3, a1.bottom() - 3, 5, 5);
}

}  // namespace

QImage DrawExampleSheet() {
  QImage image(kWidth, kHeight, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawGrid(painter);
  DrawCells(painter);
  DrawHeaders(painter);
  DrawSelection(painter);
  return image;
}

}  // namespace vellumark::tools
