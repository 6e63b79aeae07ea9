// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_search.h"

#include <algorithm>

#include "base/background_thread.h"

#include "contacts/contact_columns.h"
#include "contacts/text_fold.h"

namespace corvadex {

namespace {

// The filter bit of two or three adjacent bytes (the length is part of
// the hashed number, so "ab" and "\0ab" differ).
std::uint32_t gramBit(std::uint32_t gram, std::uint32_t length) {
  return ((gram | (length << 24)) * 2654435761u) >> 19;  // the top 13 bits: 0 .. 8191
}

template <std::size_t N>
void setBit(std::array<std::uint64_t, N>& bits, std::uint32_t bit) {
  bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

template <std::size_t N>
bool hasBit(const std::array<std::uint64_t, N>& bits, std::uint32_t bit) {
  return (bits[bit / 64] >> (bit % 64)) & 1u;
}

// Folds rows [begin, end) into `text`, every value ended by a NUL; row
// begin + i starts at starts[i], and starts[end - begin] is the text's end.
void foldRows(const ContactList& list, std::size_t begin, std::size_t end, std::string& text,
              std::vector<std::size_t>& starts) {
  text.clear();
  starts.clear();
  for (std::size_t r = begin; r < end; ++r) {
    starts.push_back(text.size());
    const ContactRow& row = list.item(r);
    for (const ContactColumn& column : kContactColumns) {
      const std::string_view value = row.Value(column);
      if (value.empty()) continue;
      appendFolded(value, text);
      text += '\0';
    }
  }
  starts.push_back(text.size());
}

}  // namespace

ContactSearch::ContactSearch(ContactList& list) : list_(list) {
  list_.addObserver(this);
  prepare();
}

ContactSearch::~ContactSearch() {
  stop();
  list_.removeObserver(this);
}

void ContactSearch::stop() {
  stop_.store(true);
  if (worker_.joinable()) worker_.join();
  stop_.store(false);
  started_ = false;
  readyBlocks_.store(0, std::memory_order_release);
}

void ContactSearch::rowsChanged() {
  stop();
  std::vector<BlockFilter>().swap(filters_);
  prepare();
}

void ContactSearch::prepare() {
  // Rows being changed are not read by another thread; the next change's
  // end starts the work.
  if (started_ || list_.updating() || list_.count() == 0) return;
  filters_.assign((list_.count() + kBlockRows - 1) / kBlockRows, BlockFilter{});
  started_ = true;
  worker_ = std::thread([this] {
    // Behind the window's own thread: painting and keys come first.
    lowerThisThreadPriority();
    makeFilters();
  });
}

void ContactSearch::waitUntilPrepared() {
  if (worker_.joinable()) worker_.join();
}

void ContactSearch::makeFilters() {
  std::string text;
  std::vector<std::size_t> starts;
  const std::size_t rows = list_.count();
  for (std::size_t b = 0; b < filters_.size(); ++b) {
    if (stop_.load(std::memory_order_relaxed)) return;
    foldRows(list_, b * kBlockRows, std::min(rows, (b + 1) * kBlockRows), text, starts);
    BlockFilter& filter = filters_[b];
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::uint32_t gram = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      setBit(filter.bytes, bytes[i]);
      gram = ((gram << 8) | bytes[i]) & 0xFFFFFF;
      if (i >= 1) setBit(filter.grams, gramBit(gram & 0xFFFF, 2));
      if (i >= 2) setBit(filter.grams, gramBit(gram, 3));
    }
    readyBlocks_.store(b + 1, std::memory_order_release);
  }
}

bool ContactSearch::mayHold(std::size_t block, const NeedleKey& needle) const {
  if (block >= readyBlocks_.load(std::memory_order_acquire)) return true;  // not made yet
  const BlockFilter& filter = filters_[block];
  for (const std::uint32_t bit : needle.bytes)
    if (!hasBit(filter.bytes, bit)) return false;
  for (const std::uint32_t bit : needle.grams)
    if (!hasBit(filter.grams, bit)) return false;
  return true;
}

std::optional<std::size_t> ContactSearch::search(const NeedleKey& needle, std::size_t rowBegin,
                                                 std::size_t rowEnd, FindDirection direction) {
  const bool forward = direction == FindDirection::Next;
  // Block by block from the near end of the range to the far one.
  for (std::size_t done = rowBegin, left = rowEnd; done < left;) {
    const std::size_t block = forward ? done / kBlockRows : (left - 1) / kBlockRows;
    const std::size_t from = forward ? done : std::max(done, block * kBlockRows);
    const std::size_t to = forward ? std::min(left, (block + 1) * kBlockRows) : left;
    if (forward)
      done = to;
    else
      left = from;
    if (!mayHold(block, needle)) continue;
    foldRows(list_, from, to, text_, starts_);
    const std::size_t at = forward ? text_.find(needle.text) : text_.rfind(needle.text);
    if (at == std::string::npos) continue;
    // The last row whose text starts at or before the match.
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
    return from + static_cast<std::size_t>(it - starts_.begin()) - 1;
  }
  return std::nullopt;
}

std::optional<std::size_t> ContactSearch::find(std::string_view text, std::optional<std::size_t> from,
                                               FindDirection direction) {
  NeedleKey needle;
  needle.text = folded(text);
  const std::size_t rows = list_.count();
  if (needle.text.empty() || rows == 0) return std::nullopt;
  prepare();
  // Its bytes, and its pair (two bytes) or its runs of three.
  const auto* bytes = reinterpret_cast<const unsigned char*>(needle.text.data());
  const std::size_t length = needle.text.size();
  std::uint32_t gram = 0;
  for (std::size_t i = 0; i < length; ++i) {
    needle.bytes.push_back(bytes[i]);
    gram = ((gram << 8) | bytes[i]) & 0xFFFFFF;
    if (length == 2 && i == 1) needle.grams.push_back(gramBit(gram & 0xFFFF, 2));
    if (i >= 2) needle.grams.push_back(gramBit(gram, 3));
  }
  if (from && *from >= rows) from.reset();
  if (direction == FindDirection::Next) {
    // After `from` to the end, then from the start up to and with `from`.
    const std::size_t split = from ? *from + 1 : 0;
    if (auto row = search(needle, split, rows, direction)) return row;
    return search(needle, 0, split, direction);
  }
  // Before `from` back to the start, then from the end down to `from`.
  const std::size_t split = from ? *from : rows;
  if (auto row = search(needle, 0, split, direction)) return row;
  return search(needle, split, rows, direction);
}

}  // namespace corvadex
