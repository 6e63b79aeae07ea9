// SPDX-License-Identifier: Apache-2.0
#include "window/contact_list_view.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include "window/contact_list_model.h"

namespace corvadex {

namespace {

// Draws selected rows as unselected while the view does not have the focus.
class FocusOnlyHighlight final : public QStyledItemDelegate {
 public:
  explicit FocusOnlyHighlight(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem plain(option);
    if (!view_->hasFocus()) plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
  }

 private:
  QAbstractItemView* view_;
};

}  // namespace

ContactListView::ContactListView(ContactListModel* model, QWidget* parent)
    : QTreeView(parent), model_(model) {
  setModel(model);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);  // keeps a million rows cheap to lay out
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setItemDelegate(new FocusOnlyHighlight(this));
  header()->setSectionsClickable(false);
  header()->setSectionsMovable(false);
  // The last column takes the width the others leave; each can be widened
  // by dragging its edge.
  header()->setStretchLastSection(true);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  for (int c = 0; c < ContactListModel::kColumnCount; ++c)
    setColumnWidth(c, ContactListModel::kColumns[c].width);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { copySelectionToList(); });
  model_->list().addObserver(this);
}

ContactListView::~ContactListView() { model_->list().removeObserver(this); }

void ContactListView::focusInEvent(QFocusEvent* event) {
  QTreeView::focusInEvent(event);
  viewport()->update();
}

void ContactListView::focusOutEvent(QFocusEvent* event) {
  QTreeView::focusOutEvent(event);
  viewport()->update();
}

void ContactListView::copySelectionToList() {
  ContactList& list = model_->list();
  const QModelIndexList rows = selectionModel()->selectedRows();
  copying_ = true;
  try {
    if (rows.isEmpty())
      list.clearSelection();
    else
      list.setSelected(static_cast<std::size_t>(rows.first().row()), true);
  } catch (...) {
    copying_ = false;
    throw;
  }
  copying_ = false;
}

void ContactListView::selectedRowChanged(std::optional<std::size_t> row) {
  if (copying_) return;
  if (!row) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = model_->index(static_cast<int>(*row), 0);
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

}  // namespace corvadex
