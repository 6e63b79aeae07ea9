// SPDX-License-Identifier: Apache-2.0
// The contact list: rows in load order, each with a caption, up to four
// sub-items and its TContactData record; at most one selected row. The list
// owns every row's texts (row_storage.h).
//
// Plain C++ with no toolkit in sight: the window adapts it to a view, the
// command line and the tests use it as it is. Observers hear of changes once
// per update bracket (BeginUpdate ... EndUpdate), so a load of a million rows
// costs the view one reset.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/large_memory.h"
#include "contacts/contact_row.h"
#include "contacts/row_storage.h"

namespace corvadex {

// Each observer overrides what it follows.
class ContactListObserver {
 public:
  virtual ~ContactListObserver() = default;
  // Rows are about to change / have changed (once per outermost bracket).
  virtual void rowsAboutToChange() {}
  virtual void rowsChanged() {}
  // The selected row changed; `row` is the newly selected one, or none.
  virtual void selectedRowChanged(std::optional<std::size_t> /*row*/) {}
};

class ContactList {
 public:
  ContactList() = default;
  ContactList(const ContactList&) = delete;
  ContactList& operator=(const ContactList&) = delete;

  std::size_t count() const { return rows_.size(); }
  const ContactRow& item(std::size_t index) const;

  // Appends a row holding the draft's texts.
  const ContactRow& Add(const ContactDraft& draft);
  // Appends it only if the list then holds at most `limit` heap bytes; a
  // read checks its memory bound so before every row.
  bool addWithin(const ContactDraft& draft, std::size_t limit);
  // Removes every row, freeing every row's texts.
  void clear();
  // Takes every row of `other` (a list a read filled away from this one's
  // observers), with its source identity, in one change; the rows held
  // before are freed and the selection goes. `other` is left empty.
  void takeRows(ContactList& other);

  void BeginUpdate();
  void EndUpdate();
  bool updating() const { return updateDepth_ > 0; }

  std::optional<std::size_t> selected() const { return selected_; }
  // The one selection of the list, which every view of it follows.
  // Selects a row (the previous selection goes) or, with selected == false,
  // unselects it if it is the selected one. Observers hear only of changes.
  void setSelected(std::size_t index, bool selected);
  void clearSelection();
  // Selects the first row, when there is one: what follows a read that shows
  // a contact at once (the start-up location, a file named at start).
  void selectFirst();

  void addObserver(ContactListObserver* observer);
  void removeObserver(ContactListObserver* observer);

  // The identity of the database the rows were read from (its signature,
  // raw bytes; empty when unknown). Cleared with the rows.
  std::string_view sourceIdentity() const { return sourceIdentity_; }
  void setSourceIdentity(std::string_view identity) { sourceIdentity_ = identity; }

  // Heap bytes held by the rows and their texts.
  std::size_t heapBytes() const { return rows_.capacity() * sizeof(ContactRow) + storage_.heldBytes(); }
  // The heap bytes Add(draft) would add (the rows are kept in one array,
  // which grows by doubling, and their texts in chunks).
  std::size_t bytesToAdd(const ContactDraft& draft) const;

 private:
  void aboutToChange();
  void changed();
  std::size_t nextCapacity() const;
  std::size_t bytesToAdd(const ContactRow::Layout& layout) const;
  const ContactRow& add(const ContactDraft& draft, const ContactRow::Layout& layout);
  void notifySelection();

  // Filled once by a read, a million rows at most times: on huge pages.
  std::vector<ContactRow, base::LargeAllocator<ContactRow>> rows_;
  RowStorage storage_;
  std::string sourceIdentity_;
  std::optional<std::size_t> selected_;
  int updateDepth_ = 0;
  std::vector<ContactListObserver*> observers_;
};

}  // namespace corvadex
