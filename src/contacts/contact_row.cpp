// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_row.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#include "base/small_copy.h"

namespace corvadex {
namespace {
constexpr std::size_t kNarrowLimit = 0xFFFF;

// The bits set in the slot bits, a byte at a time from a table: every text a
// row hands out needs this count, and the processors this program is built
// for need not have an instruction for it (std::popcount then calls a
// library routine several times slower).
constexpr std::array<unsigned char, 256> kBitsInByte = [] {
  std::array<unsigned char, 256> table{};
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<unsigned char>(std::popcount(i));
  return table;
}();
constexpr std::size_t bitCount(std::uint64_t bits) {
  std::size_t count = 0;
  for (; bits != 0; bits >>= 8) count += kBitsInByte[bits & 0xFF];
  return count;
}
static_assert(bitCount(0xF0F0F0F0F) == 20);
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

// A row keeps the texts that are not empty, but for sub-items beyond those
// added and the fields of a row without a record, which read as empty
// whatever the draft held.
ContactRow::Layout ContactRow::layout(const ContactDraft& draft) {
  Layout layout;
  const std::size_t end = draft.hasData() ? kKeySlot : kFirstFieldSlot;
  const auto keep = [&](std::size_t from, std::size_t to) {
    for (std::size_t slot = from; slot < to; ++slot) {
      const std::size_t size = draft.text(slot).size();
      if (size == 0) continue;
      layout.kept |= std::uint64_t{1} << slot;
      layout.textBytes += size;
    }
  };
  keep(kCaptionSlot, subItemSlot(draft.subItemCount()));
  keep(kFirstFieldSlot, end);
  keep(kKeySlot, kRowSlotCount);
  if (layout.textBytes > UINT32_MAX) throw std::length_error("texts of one row exceed 4 GiB");
  const std::size_t width = layout.textBytes > kNarrowLimit ? 4 : 2;
  layout.blockBytes = bitCount(layout.kept) * width + layout.textBytes;
  return layout;
}

ContactRow ContactRow::pack(const ContactDraft& draft, const Layout& layout, std::byte* block) {
  const std::uint64_t kept = layout.kept;
  const bool wide = layout.textBytes > kNarrowLimit;
  const auto present = std::uint64_t{bitCount(kept)};
  ContactRow row;
  row.block_ = block;
  row.bits_ = kept | std::uint64_t{draft.subItemCount()} << kSubItemShift |
              std::uint64_t{draft.hasData()} << kDataShift | std::uint64_t{wide} << kWideShift |
              present << kCountShift;
  const std::size_t width = wide ? 4 : 2;
  std::byte* ends = block;
  std::byte* bytes = block + width * present;
  std::uint32_t end = 0;
  for (std::uint64_t left = kept; left != 0; left &= left - 1) {
    const std::string& text = draft.text(static_cast<std::size_t>(std::countr_zero(left)));
    base::copySmall(bytes + end, text.data(), text.size());
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

std::string_view ContactRow::text(std::size_t slot) const {
  if (!((bits_ >> slot) & 1u)) return {};
  const std::uint64_t below = bits_ & ((std::uint64_t{1} << slot) - 1);
  const auto index = bitCount(below);
  const std::size_t present = presentCount();
  const std::size_t start = index == 0 ? 0 : endOffset(index - 1);
  const std::size_t end = endOffset(index);
  const auto* bytes = reinterpret_cast<const char*>(block_ + present * (wide() ? 4 : 2));
  return std::string_view(bytes + start, end - start);
}

void ContactRow::texts(SlotTexts& out) const {
  out.fill({});
  const std::size_t present = presentCount();
  const auto* bytes = reinterpret_cast<const char*>(block_ + present * (wide() ? 4 : 2));
  std::size_t start = 0;
  std::size_t index = 0;
  for (std::uint64_t left = bits_ & kSlotMask; left != 0; left &= left - 1) {
    const auto slot = static_cast<std::size_t>(std::countr_zero(left));
    const std::size_t end = endOffset(index++);
    out[slot] = std::string_view(bytes + start, end - start);
    start = end;
  }
}

}  // namespace corvadex
