// SPDX-License-Identifier: Apache-2.0
#include "window/contact_list_model.h"

#include <QCoreApplication>
#include <climits>

namespace corvadex {

const ContactListModel::Column ContactListModel::kColumns[kColumnCount] = {
    {QT_TRANSLATE_NOOP("ContactListModel", "NickName"), 80},
    {QT_TRANSLATE_NOOP("ContactListModel", "First Name"), 80},
    {QT_TRANSLATE_NOOP("ContactListModel", "Middle Name"), 100},
    {QT_TRANSLATE_NOOP("ContactListModel", "Last Name"), 110},
    {QT_TRANSLATE_NOOP("ContactListModel", "EMail"), 80},
};

ContactListModel::ContactListModel(ContactList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  list_.addObserver(this);
}

ContactListModel::~ContactListModel() { list_.removeObserver(this); }

int ContactListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || resetting_) return 0;
  // A view addresses rows with int; rows past that are not shown.
  return list_.count() > INT_MAX ? INT_MAX : static_cast<int>(list_.count());
}

int ContactListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || resetting_) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (row >= list_.count() || index.column() < 0 || index.column() >= kColumnCount) return {};
  const ContactRow& item = list_.item(row);
  const std::string_view text =
      index.column() == 0 ? item.Caption()
                          : item.SubItem(static_cast<std::size_t>(index.column() - 1));
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount)
    return {};
  return QCoreApplication::translate("ContactListModel", kColumns[section].caption);
}

Qt::ItemFlags ContactListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ContactListModel::rowsAboutToChange() {
  beginResetModel();
  resetting_ = true;
}

void ContactListModel::rowsChanged() {
  resetting_ = false;
  endResetModel();
}

}  // namespace corvadex
