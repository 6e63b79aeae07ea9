// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_list.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace corvadex {

const ContactRow& ContactList::item(std::size_t index) const {
  if (index >= rows_.size()) throw std::out_of_range("contact list index out of range");
  return rows_[index];
}

const ContactRow& ContactList::Add(const ContactDraft& draft) { return add(draft, ContactRow::layout(draft)); }

bool ContactList::addWithin(const ContactDraft& draft, std::size_t limit) {
  const ContactRow::Layout layout = ContactRow::layout(draft);
  if (heapBytes() + bytesToAdd(layout) > limit) return false;
  add(draft, layout);
  return true;
}

const ContactRow& ContactList::add(const ContactDraft& draft, const ContactRow::Layout& layout) {
  aboutToChange();
  if (rows_.size() == rows_.capacity()) rows_.reserve(nextCapacity());
  std::byte* block = storage_.allocate(layout.blockBytes);
  const ContactRow& row = rows_.emplace_back(ContactRow::pack(draft, layout, block));
  changed();
  return row;
}

std::size_t ContactList::nextCapacity() const { return std::max<std::size_t>(16, 2 * rows_.capacity()); }

std::size_t ContactList::bytesToAdd(const ContactDraft& draft) const {
  return bytesToAdd(ContactRow::layout(draft));
}

std::size_t ContactList::bytesToAdd(const ContactRow::Layout& layout) const {
  const std::size_t growth =
      rows_.size() == rows_.capacity() ? (nextCapacity() - rows_.capacity()) * sizeof(ContactRow) : 0;
  return growth + storage_.bytesToAllocate(layout.blockBytes);
}

void ContactList::clear() {
  aboutToChange();
  const bool hadSelection = selected_.has_value();
  selected_.reset();
  rows_.clear();
  rows_.shrink_to_fit();
  storage_.clear();
  sourceIdentity_.clear();
  changed();
  if (hadSelection) notifySelection();
}

void ContactList::takeRows(ContactList& other) {
  if (&other == this) return;
  aboutToChange();
  const bool hadSelection = selected_.has_value();
  selected_.reset();
  rows_.swap(other.rows_);
  std::swap(storage_, other.storage_);
  sourceIdentity_.swap(other.sourceIdentity_);
  changed();
  if (hadSelection) notifySelection();
  other.clear();
}

void ContactList::BeginUpdate() {
  if (updateDepth_++ == 0) {
    for (auto* o : observers_) o->rowsAboutToChange();
  }
}

void ContactList::EndUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ == 0) {
    for (auto* o : observers_) o->rowsChanged();
  }
}

void ContactList::aboutToChange() {
  if (updateDepth_ == 0) {
    for (auto* o : observers_) o->rowsAboutToChange();
  }
}

void ContactList::changed() {
  if (updateDepth_ == 0) {
    for (auto* o : observers_) o->rowsChanged();
  }
}

void ContactList::setSelected(std::size_t index, bool selected) {
  if (index >= rows_.size()) throw std::out_of_range("contact list index out of range");
  if (selected) {
    if (selected_ == index) return;
    selected_ = index;
  } else {
    if (selected_ != index) return;
    selected_.reset();
  }
  notifySelection();
}

void ContactList::clearSelection() {
  if (!selected_) return;
  selected_.reset();
  notifySelection();
}

void ContactList::selectFirst() {
  if (!rows_.empty()) setSelected(0, true);
}

void ContactList::notifySelection() {
  for (auto* o : observers_) o->selectedRowChanged(selected_);
}

void ContactList::addObserver(ContactListObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void ContactList::removeObserver(ContactListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace corvadex
