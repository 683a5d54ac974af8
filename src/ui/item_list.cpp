#include "ui/item_list.h"

#include <QHeaderView>

namespace vellumark {
namespace {

QStringList CaptionsOf(const std::vector<ItemList::Column>& columns) {
  QStringList captions;
  for (const auto& column : columns) captions << column.caption;
  return captions;
}

}  // namespace

ItemList::ItemList(const std::vector<Column>& columns, QWidget* parent)
    : QTableView(parent), model_(new ItemListModel(CaptionsOf(columns), this)) {
  setModel(model_);

  setShowGrid(true);
  setWordWrap(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setTabKeyNavigation(false);  // Tab moves the focus on, not between cells
  setCornerButtonEnabled(false);
  viewport()->setAttribute(Qt::WA_Hover, false);  // no hot tracking
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);

  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  focused_palette_ = colours;
  ShowSelection(false);

  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setSortIndicatorShown(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    setColumnWidth(i, columns[i].width);
  }
}

// Whatever cell is clicked or reached by keyboard, the row's first cell is
// the one selected, as a report view without full-row selection shows it.
void ItemList::setSelection(const QRect& rect,
                            QItemSelectionModel::SelectionFlags command) {
  const int row = rowAt(rect.top());
  if (row < 0) {
    selectionModel()->clearSelection();
    return;
  }
  selectionModel()->select(model_->index(row, 0), command);
}

// The focus mark, too, belongs to the row's first cell.
void ItemList::currentChanged(const QModelIndex& current,
                              const QModelIndex& previous) {
  if (current.isValid() && current.column() != 0) {
    selectionModel()->setCurrentIndex(current.siblingAtColumn(0),
                                      QItemSelectionModel::NoUpdate);
    return;
  }
  QTableView::currentChanged(current, previous);
}

// The selection stays but is painted like any other cell while the list
// lacks the focus.
void ItemList::ShowSelection(bool shown) {
  QPalette colours = focused_palette_;
  if (!shown) {
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
      colours.setColor(group, QPalette::Highlight,
                       colours.color(group, QPalette::Base));
      colours.setColor(group, QPalette::HighlightedText,
                       colours.color(group, QPalette::Text));
    }
  }
  setPalette(colours);
}

void ItemList::focusInEvent(QFocusEvent* event) {
  ShowSelection(true);
  QTableView::focusInEvent(event);
}

void ItemList::focusOutEvent(QFocusEvent* event) {
  ShowSelection(false);
  QTableView::focusOutEvent(event);
}

}  // namespace vellumark
