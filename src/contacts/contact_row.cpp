// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_row.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace corvadex {
namespace {
constexpr std::size_t kNarrowLimit = 0xFFFF;
}  // namespace

std::size_t calendarDateSlot(ContactField field) {
  if (field == ContactField::Birthdate) return kKeySlot + 1;
  if (field == ContactField::Anniversary) return kKeySlot + 2;
  throw std::invalid_argument("not a date field");
}

void ContactDraft::clear() {
  for (auto& text : texts_) text.clear();
  subItems_ = 0;
  hasData_ = false;
}

void ContactDraft::addSubItem(std::string_view text) {
  if (subItems_ >= kSubItemCount) throw std::out_of_range("a row holds four sub-items");
  texts_[subItemSlot(subItems_++)] = text;
}

void ContactDraft::setField(ContactField field, std::string_view text) {
  texts_[fieldSlot(field)] = text;
  hasData_ = true;
}

void ContactDraft::setCalendarDate(ContactField field, std::string_view isoDate) {
  texts_[calendarDateSlot(field)] = isoDate;
}

void ContactDraft::setSubItemCount(std::size_t count) {
  if (count > kSubItemCount) throw std::out_of_range("a row holds four sub-items");
  subItems_ = static_cast<unsigned char>(count);
}

std::string_view TContactData::get(ContactField field) const { return row_->field(field); }

std::optional<TContactData> ContactRow::data() const {
  if (!hasData()) return std::nullopt;
  return TContactData(*this);
}

std::string_view ContactRow::SubItem(std::size_t index) const {
  if (index >= kSubItemCount) throw std::out_of_range("sub-item index out of range");
  return text(subItemSlot(index));
}

// The slots whose texts a row keeps: those not empty, but for sub-items
// beyond those added and the fields of a row without a record, which read as
// empty whatever the draft held.
std::uint64_t ContactRow::keptSlots(const ContactDraft& draft, std::size_t& texts) {
  std::uint64_t kept = 0;
  texts = 0;
  for (std::size_t slot = 0; slot < kRowSlotCount; ++slot) {
    if (slot >= subItemSlot(draft.subItemCount()) && slot < kFirstFieldSlot) continue;
    if (slot >= kFirstFieldSlot && slot < kKeySlot && !draft.hasData()) continue;
    if (draft.text(slot).empty()) continue;
    kept |= std::uint64_t{1} << slot;
    texts += draft.text(slot).size();
  }
  if (texts > UINT32_MAX) throw std::length_error("texts of one row exceed 4 GiB");
  return kept;
}

std::size_t ContactRow::blockBytes(const ContactDraft& draft) {
  std::size_t texts = 0;
  const std::uint64_t kept = keptSlots(draft, texts);
  return static_cast<std::size_t>(std::popcount(kept)) * (texts > kNarrowLimit ? 4 : 2) + texts;
}

ContactRow ContactRow::pack(const ContactDraft& draft, std::byte* block) {
  std::size_t texts = 0;
  const std::uint64_t kept = keptSlots(draft, texts);
  const bool wide = texts > kNarrowLimit;
  ContactRow row;
  row.block_ = block;
  row.bits_ = kept | std::uint64_t{draft.subItemCount()} << kSubItemShift |
              std::uint64_t{draft.hasData()} << kDataShift | std::uint64_t{wide} << kWideShift;
  const std::size_t width = wide ? 4 : 2;
  std::byte* ends = block;
  std::byte* bytes = block + width * static_cast<std::size_t>(std::popcount(kept));
  std::uint32_t end = 0;
  for (std::size_t slot = 0; slot < kRowSlotCount; ++slot) {
    if (!((kept >> slot) & 1u)) continue;
    const std::string& text = draft.text(slot);
    std::memcpy(bytes + end, text.data(), text.size());
    end += static_cast<std::uint32_t>(text.size());
    if (wide) {
      std::memcpy(ends, &end, 4);
    } else {
      const auto narrow = static_cast<std::uint16_t>(end);
      std::memcpy(ends, &narrow, 2);
    }
    ends += width;
  }
  return row;
}

std::size_t ContactRow::endOffset(std::size_t index) const {
  if (wide()) {
    std::uint32_t end;
    std::memcpy(&end, block_ + 4 * index, 4);
    return end;
  }
  std::uint16_t end;
  std::memcpy(&end, block_ + 2 * index, 2);
  return end;
}

std::size_t ContactRow::blockBytes() const {
  const auto present = static_cast<std::size_t>(std::popcount(bits_ & kSlotMask));
  if (present == 0) return 0;
  return present * (wide() ? 4 : 2) + endOffset(present - 1);
}

std::string_view ContactRow::text(std::size_t slot) const {
  if (!((bits_ >> slot) & 1u)) return {};
  const std::uint64_t below = bits_ & ((std::uint64_t{1} << slot) - 1);
  const auto index = static_cast<std::size_t>(std::popcount(below));
  const auto present = static_cast<std::size_t>(std::popcount(bits_ & kSlotMask));
  const std::size_t start = index == 0 ? 0 : endOffset(index - 1);
  const std::size_t end = endOffset(index);
  const auto* bytes = reinterpret_cast<const char*>(block_ + present * (wide() ? 4 : 2));
  return std::string_view(bytes + start, end - start);
}

}  // namespace corvadex
