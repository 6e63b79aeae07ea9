// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_list.h"

#include <algorithm>
#include <stdexcept>

namespace corvadex {

std::string_view ContactRow::SubItem(std::size_t index) const {
  if (index >= kSubItemCount) throw std::out_of_range("sub-item index out of range");
  return index < subItems_ ? texts_.get(1 + index) : std::string_view{};
}

void ContactRow::addSubItem(std::string_view text) {
  if (subItems_ >= kSubItemCount) throw std::out_of_range("a row holds four sub-items");
  texts_.set(1 + subItems_, text);
  ++subItems_;
}

void ContactRow::setData(std::unique_ptr<TContactData> data) {
  if (data) data->compact();
  texts_.compact();
  data_ = std::move(data);
}

std::string_view ContactRow::Value(const ContactColumn& column) const {
  switch (column.place.kind) {
    case ContactPlace::Kind::Caption:
      return Caption();
    case ContactPlace::Kind::SubItem:
      return SubItem(column.place.subItem);
    case ContactPlace::Kind::Field:
      return field(column.place.field);
  }
  return {};
}

std::size_t ContactRow::dateSlot(ContactField field) {
  if (field == ContactField::Birthdate) return kKeySlot + 1;
  if (field == ContactField::Anniversary) return kKeySlot + 2;
  throw std::invalid_argument("not a date field");
}

std::string_view ContactRow::calendarDate(ContactField field) const { return texts_.get(dateSlot(field)); }

void ContactRow::setCalendarDate(ContactField field, std::string_view isoDate) {
  texts_.set(dateSlot(field), isoDate);
}

std::size_t ContactRow::heapBytes() const {
  std::size_t bytes = texts_.heapBytes();
  if (data_) bytes += sizeof(TContactData) + data_->heapBytes();
  return bytes;
}

const ContactRow& ContactList::item(std::size_t index) const {
  if (index >= rows_.size()) throw std::out_of_range("contact list index out of range");
  return rows_[index];
}

ContactRow& ContactList::Add() {
  aboutToChange();
  if (!rows_.empty()) completeRowBytes_ += rows_.back().heapBytes();
  if (rows_.size() == rows_.capacity()) rows_.reserve(nextCapacity());
  ContactRow& row = rows_.emplace_back();
  changed();
  return row;
}

void ContactList::removeLast() {
  if (rows_.empty()) return;
  aboutToChange();
  const bool wasSelected = selected_ == rows_.size() - 1;
  if (wasSelected) selected_.reset();
  rows_.pop_back();
  if (!rows_.empty()) completeRowBytes_ -= rows_.back().heapBytes();
  changed();
  if (wasSelected) notifySelection();
}

std::size_t ContactList::nextCapacity() const { return std::max<std::size_t>(16, 2 * rows_.capacity()); }

std::size_t ContactList::addBytes() const {
  const std::size_t growth =
      rows_.size() == rows_.capacity() ? (nextCapacity() - rows_.capacity()) * sizeof(ContactRow) : 0;
  return growth;
}

void ContactList::clear() {
  aboutToChange();
  const bool hadSelection = selected_.has_value();
  selected_.reset();
  rows_.clear();
  rows_.shrink_to_fit();
  completeRowBytes_ = 0;
  sourceIdentity_.clear();
  changed();
  if (hadSelection) notifySelection();
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

std::size_t ContactList::heapBytes() const {
  std::size_t bytes = rows_.capacity() * sizeof(ContactRow);
  for (const auto& row : rows_) bytes += row.heapBytes();
  return bytes;
}

std::size_t ContactList::heldBytes() const {
  return rows_.capacity() * sizeof(ContactRow) + completeRowBytes_ +
         (rows_.empty() ? 0 : rows_.back().heapBytes());
}

}  // namespace corvadex
