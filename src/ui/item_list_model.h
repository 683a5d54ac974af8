#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_ops.h"

namespace vellumark {

// The rows of the list, held as UTF-8 texts: the program's only store of
// imported data. One contiguous vector, no object per cell, so a sheet of
// many thousand rows fills the list quickly.
class ItemListModel : public QAbstractTableModel {
 public:
  explicit ItemListModel(QStringList captions, QObject* parent = nullptr);

  // Appends an empty row; its index, or -1 when the list cannot take more.
  std::int32_t InsertItem();
  // A cell that does not exist changes nothing.
  void SetItemText(std::int32_t row, std::int32_t column,
                   std::string_view text);
  // Absent for an empty cell and for a row or column that does not exist.
  Text GetItemText(std::int32_t row, std::int32_t column) const;

  std::int32_t ItemCount() const;
  std::int32_t ColumnCount() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool Exists(std::int32_t row, std::int32_t column) const;

  QStringList captions_;
  std::vector<std::string> cells_;  // row-major, captions_.size() per row
};

}  // namespace vellumark
