// SPDX-License-Identifier: Apache-2.0
// The contact list: rows in load order, each with a caption, up to four
// sub-items and the TContactData record it owns; at most one selected row.
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

#include "contacts/contact_columns.h"
#include "contacts/contact_data.h"
#include "contacts/packed_texts.h"

namespace corvadex {

class ContactRow {
 public:
  std::string_view Caption() const { return texts_.get(0); }
  void setCaption(std::string_view text) { texts_.set(0, text); }

  // Sub-items are added in order; one that was never added reads as empty.
  std::size_t subItemCount() const { return subItems_; }
  std::string_view SubItem(std::size_t index) const;
  void addSubItem(std::string_view text);

  // The record attached to the row, or none; the row owns it.
  const TContactData* data() const { return data_.get(); }
  void setData(std::unique_ptr<TContactData> data);
  bool hasData() const { return data_ != nullptr; }
  // One field of the record; empty when the row has no record.
  std::string_view field(ContactField field) const {
    return data_ ? data_->get(field) : std::string_view{};
  }

  // The value of one of the 33 contact columns, wherever the row keeps it
  // (empty when the row has no record).
  std::string_view Value(const ContactColumn& column) const;

  // What the exports for other address books need beyond the shown texts:
  // the row's primary key in its table (raw bytes, the same on every read of
  // the same file), and the two dates as "YYYY-MM-DD", empty when the
  // stored date is null, zero or unreadable.
  std::string_view recordKey() const { return texts_.get(kKeySlot); }
  void setRecordKey(std::string_view key) { texts_.set(kKeySlot, key); }
  // `field` is ContactField::Birthdate or ContactField::Anniversary.
  std::string_view calendarDate(ContactField field) const;
  void setCalendarDate(ContactField field, std::string_view isoDate);

  std::size_t heapBytes() const;
  // Makes room for `bytes` bytes of the row's own texts at once.
  void reserveTexts(std::size_t bytes) { texts_.reserve(bytes); }

 private:
  static constexpr std::size_t kKeySlot = 1 + kSubItemCount;
  static std::size_t dateSlot(ContactField field);
  PackedTexts<kKeySlot + 3> texts_;
  unsigned char subItems_ = 0;
  std::unique_ptr<TContactData> data_;
};

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

  // Appends an empty row and returns it for filling.
  ContactRow& Add();
  // Removes the last row (a row that did not fit, say).
  void removeLast();
  // Removes every row, freeing each row's record.
  void clear();

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

  // Heap bytes held by the rows and their records, counted row by row
  // (for the benchmarks and the tests).
  std::size_t heapBytes() const;
  // The same figure kept as the rows come, at no cost per call: what a read
  // checks against its memory bound after every row. A row counts as
  // complete once the next one is added (rows are filled only through the
  // reference Add gives).
  std::size_t heldBytes() const;
  // The bytes the next Add takes for the row itself (the rows are kept in
  // one array, which grows by doubling).
  std::size_t addBytes() const;

 private:
  void aboutToChange();
  void changed();
  std::size_t nextCapacity() const;
  void notifySelection();

  std::vector<ContactRow> rows_;
  std::size_t completeRowBytes_ = 0;  // heap bytes of every row but the last
  std::string sourceIdentity_;
  std::optional<std::size_t> selected_;
  int updateDepth_ = 0;
  std::vector<ContactListObserver*> observers_;
};

}  // namespace corvadex
