// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_search.h"

#include <algorithm>

#include "contacts/contact_columns.h"
#include "contacts/text_fold.h"

namespace corvadex {

ContactSearch::ContactSearch(ContactList& list) : list_(list) { list_.AddObserver(this); }

ContactSearch::~ContactSearch() { list_.RemoveObserver(this); }

namespace {

// The filter bit of a pair of adjacent bytes.
std::uint32_t PairBit(unsigned char first, unsigned char second) {
  const std::uint32_t pair = (std::uint32_t{first} << 8) | second;
  return (pair * 2654435761u) >> 20;  // the top 12 bits: 0 .. 4095
}

std::vector<std::uint32_t> NeedlePairs(std::string_view needle) {
  std::vector<std::uint32_t> bits;
  for (std::size_t i = 0; i + 1 < needle.size(); ++i)
    bits.push_back(PairBit(static_cast<unsigned char>(needle[i]), static_cast<unsigned char>(needle[i + 1])));
  return bits;
}

}  // namespace

void ContactSearch::RowsChanged() {
  ready_ = false;
  std::string().swap(folded_);
  std::vector<std::uint64_t>().swap(starts_);
  std::vector<PairFilter>().swap(filters_);
}

void ContactSearch::Prepare() {
  if (ready_) return;
  // Sized once: folding rarely makes a text longer (ß becomes ss).
  std::size_t bytes = 0;
  for (std::size_t r = 0; r < list_.Count(); ++r)
    for (const ContactColumn& column : kContactColumns) bytes += list_.Item(r).Value(column).size() + 1;
  folded_.clear();
  folded_.reserve(bytes + bytes / 32);
  starts_.clear();
  starts_.reserve(list_.Count() + 1);
  for (std::size_t r = 0; r < list_.Count(); ++r) {
    starts_.push_back(folded_.size());
    const ContactRow& row = list_.Item(r);
    for (const ContactColumn& column : kContactColumns) {
      const std::string_view value = row.Value(column);
      if (value.empty()) continue;
      AppendFolded(value, folded_);
      folded_ += '\0';  // a match never runs from one value into the next
    }
  }
  starts_.push_back(folded_.size());
  folded_.shrink_to_fit();
  BuildFilters();
  ready_ = true;
}

void ContactSearch::BuildFilters() {
  const std::size_t rows = starts_.size() - 1;
  filters_.assign((rows + kBlockRows - 1) / kBlockRows, PairFilter{});
  const auto* bytes = reinterpret_cast<const unsigned char*>(folded_.data());
  for (std::size_t b = 0; b < filters_.size(); ++b) {
    PairFilter& filter = filters_[b];
    const std::size_t begin = starts_[b * kBlockRows];
    const std::size_t end = starts_[std::min(rows, (b + 1) * kBlockRows)];
    for (std::size_t i = begin; i + 1 < end; ++i) {
      const std::uint32_t bit = PairBit(bytes[i], bytes[i + 1]);
      filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
  }
}

bool ContactSearch::MayHold(std::size_t block, const std::vector<std::uint32_t>& pairs) const {
  const PairFilter& filter = filters_[block];
  for (const std::uint32_t bit : pairs)
    if ((filter[bit / 64] & (std::uint64_t{1} << (bit % 64))) == 0) return false;
  return true;
}

std::size_t ContactSearch::RowAt(std::size_t offset) const {
  // The last row whose text starts at or before the offset.
  const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

std::optional<std::size_t> ContactSearch::Forward(std::string_view needle,
                                                  const std::vector<std::uint32_t>& pairs,
                                                  std::size_t rowBegin, std::size_t rowEnd) const {
  for (std::size_t row = rowBegin; row < rowEnd;) {
    const std::size_t block = row / kBlockRows;
    const std::size_t stop = std::min(rowEnd, (block + 1) * kBlockRows);
    if (MayHold(block, pairs)) {
      const std::size_t begin = starts_[row];
      const std::string_view hay = std::string_view(folded_).substr(begin, starts_[stop] - begin);
      const std::size_t at = hay.find(needle);
      if (at != std::string_view::npos) return RowAt(begin + at);
    }
    row = stop;
  }
  return std::nullopt;
}

std::optional<std::size_t> ContactSearch::Backward(std::string_view needle,
                                                   const std::vector<std::uint32_t>& pairs,
                                                   std::size_t rowBegin, std::size_t rowEnd) const {
  for (std::size_t row = rowEnd; row > rowBegin;) {
    const std::size_t block = (row - 1) / kBlockRows;
    const std::size_t start = std::max(rowBegin, block * kBlockRows);
    if (MayHold(block, pairs)) {
      const std::size_t begin = starts_[start];
      const std::string_view hay = std::string_view(folded_).substr(begin, starts_[row] - begin);
      const std::size_t at = hay.rfind(needle);
      if (at != std::string_view::npos) return RowAt(begin + at);
    }
    row = start;
  }
  return std::nullopt;
}

std::optional<std::size_t> ContactSearch::Find(std::string_view text, std::optional<std::size_t> from,
                                               FindDirection direction) {
  const std::string needle = Folded(text);
  const std::size_t rows = list_.Count();
  if (needle.empty() || rows == 0) return std::nullopt;
  Prepare();
  const std::vector<std::uint32_t> pairs = NeedlePairs(needle);
  if (from && *from >= rows) from.reset();
  if (direction == FindDirection::Next) {
    // After `from` to the end, then from the start up to and with `from`.
    const std::size_t split = from ? *from + 1 : 0;
    if (auto row = Forward(needle, pairs, split, rows)) return row;
    return Forward(needle, pairs, 0, split);
  }
  // Before `from` back to the start, then from the end down to `from`.
  const std::size_t split = from ? *from : rows;
  if (auto row = Backward(needle, pairs, 0, split)) return row;
  return Backward(needle, pairs, split, rows);
}

}  // namespace corvadex
