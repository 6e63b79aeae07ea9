// SPDX-License-Identifier: Apache-2.0
// ListViewContacts: the contact list in report view. One row can be selected;
// its highlight spans the whole row and is drawn only while the list has the
// keyboard focus. Rows cannot be edited in place and stay in load order
// (clicking a header does nothing). The view and corvadex::ContactList keep
// one selection: a click selects in the list, and a selection made by code on
// the list shows in the view.
#pragma once

#include <QTreeView>

namespace corvadex {

class ContactListModel;

class ContactListView final : public QTreeView {
 public:
  ContactListView(ContactListModel* model, QWidget* parent);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void CopySelectionToList();
  void ShowListSelection(std::optional<std::size_t> row);

  ContactListModel* model_;
  bool copying_ = false;
};

}  // namespace corvadex
