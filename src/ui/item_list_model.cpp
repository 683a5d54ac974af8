#include "ui/item_list_model.h"

#include <limits>

namespace vellumark {

ItemListModel::ItemListModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)) {}

std::int32_t ItemListModel::ColumnCount() const {
  return static_cast<std::int32_t>(captions_.size());
}

std::int32_t ItemListModel::ItemCount() const {
  return ColumnCount() == 0
             ? 0
             : static_cast<std::int32_t>(cells_.size() / captions_.size());
}

std::int32_t ItemListModel::InsertItem() {
  const std::int32_t row = ItemCount();
  if (row == std::numeric_limits<std::int32_t>::max()) return -1;
  beginInsertRows(QModelIndex(), row, row);
  cells_.resize(cells_.size() + captions_.size());
  endInsertRows();
  return row;
}

bool ItemListModel::Exists(std::int32_t row, std::int32_t column) const {
  return row >= 0 && row < ItemCount() && column >= 0 && column < ColumnCount();
}

void ItemListModel::SetItemText(std::int32_t row, std::int32_t column,
                                std::string_view text) {
  if (!Exists(row, column)) return;
  cells_[static_cast<std::size_t>(row) * captions_.size() + column] = text;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

Text ItemListModel::GetItemText(std::int32_t row, std::int32_t column) const {
  if (!Exists(row, column)) return std::nullopt;
  const std::string& text =
      cells_[static_cast<std::size_t>(row) * captions_.size() + column];
  if (text.empty()) return std::nullopt;
  return text;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ItemCount();
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount();
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !Exists(index.row(), index.column())) {
    return {};
  }
  const std::string& text =
      cells_[static_cast<std::size_t>(index.row()) * captions_.size() +
             index.column()];
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation,
                                   int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= captions_.size()) {
    return {};
  }
  if (role == Qt::DisplayRole) return captions_.at(section);
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return {};
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace vellumark
