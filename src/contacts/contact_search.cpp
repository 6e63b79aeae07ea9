// SPDX-License-Identifier: Apache-2.0
#include "contacts/contact_search.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "contacts/contact_columns.h"
#include "contacts/text_fold.h"

namespace corvadex {

namespace {

// The filter bit of two or three adjacent bytes (the length is part of
// the hashed number, so "ab" and "\0ab" differ).
std::uint32_t GramBit(std::uint32_t gram, std::uint32_t length) {
  return ((gram | (length << 24)) * 2654435761u) >> 19;  // the top 13 bits: 0 .. 8191
}

template <std::size_t N>
void SetBit(std::array<std::uint64_t, N>& bits, std::uint32_t bit) {
  bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

template <std::size_t N>
bool HasBit(const std::array<std::uint64_t, N>& bits, std::uint32_t bit) {
  return (bits[bit / 64] >> (bit % 64)) & 1u;
}

// Folds rows [begin, end) into `text`, every value ended by a NUL; row
// begin + i starts at starts[i], and starts[end - begin] is the text's end.
void FoldRows(const ContactList& list, std::size_t begin, std::size_t end, std::string& text,
              std::vector<std::size_t>& starts) {
  text.clear();
  starts.clear();
  for (std::size_t r = begin; r < end; ++r) {
    starts.push_back(text.size());
    const ContactRow& row = list.Item(r);
    for (const ContactColumn& column : kContactColumns) {
      const std::string_view value = row.Value(column);
      if (value.empty()) continue;
      AppendFolded(value, text);
      text += '\0';
    }
  }
  starts.push_back(text.size());
}

}  // namespace

ContactSearch::ContactSearch(ContactList& list) : list_(list) {
  list_.AddObserver(this);
  Prepare();
}

ContactSearch::~ContactSearch() {
  Stop();
  list_.RemoveObserver(this);
}

void ContactSearch::Stop() {
  stop_.store(true);
  if (worker_.joinable()) worker_.join();
  stop_.store(false);
  started_ = false;
  readyBlocks_.store(0, std::memory_order_release);
}

void ContactSearch::RowsChanged() {
  Stop();
  std::vector<BlockFilter>().swap(filters_);
  Prepare();
}

void ContactSearch::Prepare() {
  // Rows being changed are not read by another thread; the next change's
  // end starts the work.
  if (started_ || list_.Updating() || list_.Count() == 0) return;
  filters_.assign((list_.Count() + kBlockRows - 1) / kBlockRows, BlockFilter{});
  started_ = true;
  worker_ = std::thread([this] {
    // Behind the window's own thread: painting and keys come first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    MakeFilters();
  });
}

void ContactSearch::WaitUntilPrepared() {
  if (worker_.joinable()) worker_.join();
}

void ContactSearch::MakeFilters() {
  std::string text;
  std::vector<std::size_t> starts;
  const std::size_t rows = list_.Count();
  for (std::size_t b = 0; b < filters_.size(); ++b) {
    if (stop_.load(std::memory_order_relaxed)) return;
    FoldRows(list_, b * kBlockRows, std::min(rows, (b + 1) * kBlockRows), text, starts);
    BlockFilter& filter = filters_[b];
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::uint32_t gram = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      SetBit(filter.bytes, bytes[i]);
      gram = ((gram << 8) | bytes[i]) & 0xFFFFFF;
      if (i >= 1) SetBit(filter.grams, GramBit(gram & 0xFFFF, 2));
      if (i >= 2) SetBit(filter.grams, GramBit(gram, 3));
    }
    readyBlocks_.store(b + 1, std::memory_order_release);
  }
}

bool ContactSearch::MayHold(std::size_t block, const NeedleKey& needle) const {
  if (block >= readyBlocks_.load(std::memory_order_acquire)) return true;  // not made yet
  const BlockFilter& filter = filters_[block];
  for (const std::uint32_t bit : needle.bytes)
    if (!HasBit(filter.bytes, bit)) return false;
  for (const std::uint32_t bit : needle.grams)
    if (!HasBit(filter.grams, bit)) return false;
  return true;
}

std::optional<std::size_t> ContactSearch::Search(const NeedleKey& needle, std::size_t rowBegin,
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
    if (!MayHold(block, needle)) continue;
    FoldRows(list_, from, to, text_, starts_);
    const std::size_t at = forward ? text_.find(needle.text) : text_.rfind(needle.text);
    if (at == std::string::npos) continue;
    // The last row whose text starts at or before the match.
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
    return from + static_cast<std::size_t>(it - starts_.begin()) - 1;
  }
  return std::nullopt;
}

std::optional<std::size_t> ContactSearch::Find(std::string_view text, std::optional<std::size_t> from,
                                               FindDirection direction) {
  NeedleKey needle;
  needle.text = Folded(text);
  const std::size_t rows = list_.Count();
  if (needle.text.empty() || rows == 0) return std::nullopt;
  Prepare();
  // Its bytes, and its pair (two bytes) or its runs of three.
  const auto* bytes = reinterpret_cast<const unsigned char*>(needle.text.data());
  const std::size_t length = needle.text.size();
  std::uint32_t gram = 0;
  for (std::size_t i = 0; i < length; ++i) {
    needle.bytes.push_back(bytes[i]);
    gram = ((gram << 8) | bytes[i]) & 0xFFFFFF;
    if (length == 2 && i == 1) needle.grams.push_back(GramBit(gram & 0xFFFF, 2));
    if (i >= 2) needle.grams.push_back(GramBit(gram, 3));
  }
  if (from && *from >= rows) from.reset();
  if (direction == FindDirection::Next) {
    // After `from` to the end, then from the start up to and with `from`.
    const std::size_t split = from ? *from + 1 : 0;
    if (auto row = Search(needle, split, rows, direction)) return row;
    return Search(needle, 0, split, direction);
  }
  // Before `from` back to the start, then from the end down to `from`.
  const std::size_t split = from ? *from : rows;
  if (auto row = Search(needle, 0, split, direction)) return row;
  return Search(needle, split, rows, direction);
}

}  // namespace corvadex
