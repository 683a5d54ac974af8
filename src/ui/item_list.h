#pragma once

#include <QTableView>
#include <cstdint>
#include <string_view>

#include "common/text_ops.h"
#include "ui/item_list_model.h"

namespace vellumark {

// The report-view list: grid lines, single selection that highlights the
// first cell only and hides while the list lacks the focus, a header that
// neither sorts nor reorders, no editing.
class ItemList : public QTableView {
  Q_OBJECT

 public:
  struct Column {
    QString caption;
    int width;
  };
  ItemList(const std::vector<Column>& columns, QWidget* parent = nullptr);

  std::int32_t InsertItem() { return model_->InsertItem(); }
  void SetItemText(std::int32_t row, std::int32_t column,
                   std::string_view text) {
    model_->SetItemText(row, column, text);
  }
  Text GetItemText(std::int32_t row, std::int32_t column) const {
    return model_->GetItemText(row, column);
  }
  std::int32_t ItemCount() const { return model_->ItemCount(); }

  ItemListModel* itemModel() const { return model_; }

 protected:
  void setSelection(const QRect& rect,
                    QItemSelectionModel::SelectionFlags command) override;
  void currentChanged(const QModelIndex& current,
                      const QModelIndex& previous) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ShowSelection(bool shown);

  ItemListModel* model_;
  QPalette focused_palette_;
};

}  // namespace vellumark
