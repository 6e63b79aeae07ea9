// SPDX-License-Identifier: Apache-2.0
// The contact list as a table model: five columns (nickname, first, middle
// and last name, personal e-mail) over corvadex::ContactList, which knows
// nothing of Qt. The model copies nothing: it answers each cell from the row
// on request, so a million rows cost the view nothing until they are shown.
// The list tells the model once per update bracket; the model resets then.
#pragma once

#include <QAbstractTableModel>

#include "contacts/contact_list.h"

namespace corvadex {

class ContactListModel final : public QAbstractTableModel, private ContactListObserver {
 public:
  // Caption and width of each column of the contact list.
  struct Column {
    const char* caption;
    int width;
  };
  static constexpr int kColumnCount = 5;
  static const Column kColumns[kColumnCount];

  explicit ContactListModel(ContactList& list, QObject* parent = nullptr);
  ~ContactListModel() override;

  ContactList& list() { return list_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void rowsAboutToChange() override;
  void rowsChanged() override;

  ContactList& list_;
  bool resetting_ = false;
};

}  // namespace corvadex
