// SPDX-License-Identifier: Apache-2.0
// ListViewContacts: the contact list in report view. One row can be selected;
// its highlight spans the whole row and is drawn only while the list has the
// keyboard focus. Rows cannot be edited in place and stay in load order
// (clicking a header does nothing). The selection is the contact list's
// (ContactList::Selected): a click selects in the list, and the view follows
// every selection made on the list, by the view or by code.
#pragma once

#include <QTreeView>
#include <optional>

#include "contacts/contact_list.h"

namespace corvadex {

class ContactListModel;

class ContactListView final : public QTreeView, private ContactListObserver {
 public:
  ContactListView(ContactListModel* model, QWidget* parent);
  ~ContactListView() override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void copySelectionToList();
  void selectedRowChanged(std::optional<std::size_t> row) override;

  ContactListModel* model_;
  bool copying_ = false;
};

}  // namespace corvadex
