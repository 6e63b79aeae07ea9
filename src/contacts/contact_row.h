// SPDX-License-Identifier: Apache-2.0
// One row of the contact list: a caption, up to four sub-items, the record
// of 28 fields, the row's key and its two dates in calendar form.
//
// A million contacts hold some 36 million short texts, most of them empty.
// A row therefore keeps all of its texts in one block: the end offsets of
// the texts that are not empty (16-bit, or 32-bit when the texts pass
// 64 KiB), then their bytes. Which slots hold a text is a bit set in the row
// itself, so an empty text costs nothing. The blocks live in the list's
// storage (row_storage.h); a row is 16 bytes beside its block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contacts/contact_columns.h"
#include "contacts/contact_data.h"

namespace corvadex {

// The texts of a row by slot: the caption, the four sub-items, the 28
// record fields, the key and the two calendar dates.
inline constexpr std::size_t kCaptionSlot = 0;
inline constexpr std::size_t kFirstFieldSlot = 1 + kSubItemCount;
inline constexpr std::size_t kKeySlot = kFirstFieldSlot + kContactFieldCount;
inline constexpr std::size_t kRowSlotCount = kKeySlot + 3;

constexpr std::size_t subItemSlot(std::size_t index) { return 1 + index; }
constexpr std::size_t fieldSlot(ContactField field) {
  return kFirstFieldSlot + static_cast<std::size_t>(field);
}
// The slot of the value a column's place names.
constexpr std::size_t placeSlot(const ContactPlace& place) {
  switch (place.kind) {
    case ContactPlace::Kind::Caption: return kCaptionSlot;
    case ContactPlace::Kind::SubItem: return subItemSlot(place.subItem);
    case ContactPlace::Kind::Field: return fieldSlot(place.field);
  }
  return kCaptionSlot;
}
// `field` is ContactField::Birthdate or ContactField::Anniversary; anything
// else throws std::invalid_argument.
std::size_t calendarDateSlot(ContactField field);

// The texts of a row about to be added, filled in any order. Its buffers
// are kept by clear(), so that one draft serves a whole read.
class ContactDraft {
 public:
  void clear();

  void setCaption(std::string_view text) { texts_[kCaptionSlot] = text; }
  // Sub-items are added in order; a fifth throws std::out_of_range.
  void addSubItem(std::string_view text);
  // Setting a field gives the row its record (all of whose other fields are
  // empty); setHasData does so without a field.
  void setField(ContactField field, std::string_view text);
  void setHasData() { hasData_ = true; }
  void setRecordKey(std::string_view key) { texts_[kKeySlot] = key; }
  void setCalendarDate(ContactField field, std::string_view isoDate);

  // A slot's text, to be filled in place (a reader writing straight into it).
  std::string& text(std::size_t slot) { return texts_.at(slot); }
  const std::string& text(std::size_t slot) const { return texts_.at(slot); }
  // Marks sub-items 0 to count - 1 as added (count at most four).
  void setSubItemCount(std::size_t count);

  std::size_t subItemCount() const { return subItems_; }
  bool hasData() const { return hasData_; }

 private:
  std::array<std::string, kRowSlotCount> texts_;
  unsigned char subItems_ = 0;
  bool hasData_ = false;
};

class ContactRow {
 public:
  std::string_view Caption() const { return text(kCaptionSlot); }
  // Sub-items are added in order; one that was never added reads as empty.
  std::size_t subItemCount() const { return (bits_ >> kSubItemShift) & 7u; }
  std::string_view SubItem(std::size_t index) const;

  // The record attached to the row, or none.
  std::optional<TContactData> data() const;
  bool hasData() const { return (bits_ >> kDataShift) & 1u; }
  // One field of the record; empty when the row has no record.
  std::string_view field(ContactField field) const { return text(fieldSlot(field)); }

  // The value of one of the 33 contact columns, wherever the row keeps it
  // (empty when the row has no record).
  std::string_view Value(const ContactColumn& column) const { return text(placeSlot(column.place)); }

  // What the exports for other address books need beyond the shown texts:
  // the row's primary key in its table (raw bytes, the same on every read of
  // the same file), and the two dates as "YYYY-MM-DD", empty when the
  // stored date is null, zero or unreadable.
  std::string_view recordKey() const { return text(kKeySlot); }
  // `field` is ContactField::Birthdate or ContactField::Anniversary.
  std::string_view calendarDate(ContactField field) const { return text(calendarDateSlot(field)); }

  // Every slot's text at once (one pass over the block), by slot number:
  // for code that reads most of a row.
  using SlotTexts = std::array<std::string_view, kRowSlotCount>;
  void texts(SlotTexts& out) const;

  // How a draft packs: which slots it keeps and the size of its block.
  struct Layout {
    std::uint64_t kept = 0;
    std::size_t textBytes = 0;
    std::size_t blockBytes = 0;
  };
  static Layout layout(const ContactDraft& draft);
  // Packs the draft into `block`, of layout.blockBytes bytes, which
  // outlives the row.
  static ContactRow pack(const ContactDraft& draft, const Layout& layout, std::byte* block);

 private:
  static constexpr unsigned kSubItemShift = kRowSlotCount;
  static constexpr unsigned kDataShift = kSubItemShift + 3;
  static constexpr unsigned kWideShift = kDataShift + 1;
  static constexpr unsigned kCountShift = kWideShift + 1;
  static constexpr std::uint64_t kSlotMask = (std::uint64_t{1} << kRowSlotCount) - 1;
  static_assert(kCountShift + 6 <= 64);

  std::string_view text(std::size_t slot) const;
  bool wide() const { return (bits_ >> kWideShift) & 1u; }
  std::size_t presentCount() const { return (bits_ >> kCountShift) & 63u; }
  std::size_t endOffset(std::size_t index) const;

  const std::byte* block_ = nullptr;
  // Bit s set: slot s holds a text. Above them the sub-item count, whether
  // the row has a record, whether the offsets are 32-bit, and how many slots
  // hold a text.
  std::uint64_t bits_ = 0;
};

}  // namespace corvadex
