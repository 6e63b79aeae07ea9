// SPDX-License-Identifier: Apache-2.0
// Finding a contact by any of its 33 values, ignoring case and accents.
//
// Rows are taken in blocks of 32. For each block a filter is kept: the
// bytes its folded text holds (256 bits) and its runs of two and of three
// adjacent bytes (8192 bits, hashed). A block lacking a byte or a run of
// the folded needle cannot hold it and is skipped; a block that may hold it has its
// rows folded there and then (each value ended by a NUL, so a match never
// runs from one value into the next) and searched.
//
// Only the filters are kept: some 33 MB for a million contacts, where the
// folded texts themselves would take 500 MB. They are made by a thread of
// their own once the rows stop changing; until a block's filter is made a
// find folds that block itself, so a find gives the same answer at any
// moment. The thread is stopped before the list changes.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "contacts/contact_list.h"

namespace corvadex {

enum class FindDirection { Next, Previous };

class ContactSearch final : private ContactListObserver {
 public:
  explicit ContactSearch(ContactList& list);
  ~ContactSearch() override;
  ContactSearch(const ContactSearch&) = delete;
  ContactSearch& operator=(const ContactSearch&) = delete;

  // The row with the text in one of its values nearest after (Next) or
  // before (Previous) `from`, wrapping round the list; `from` itself comes
  // last. Without `from`, Next starts at the first row and Previous at the
  // last. None when no row holds the text, or the text is empty.
  std::optional<std::size_t> find(std::string_view text, std::optional<std::size_t> from,
                                  FindDirection direction);

  // Starts making the filters if they are neither made nor being made.
  void prepare();
  // Waits until every block's filter is made (for the benchmarks).
  void waitUntilPrepared();
  // Blocks whose filter is made so far.
  std::size_t preparedBlocks() const { return readyBlocks_.load(std::memory_order_acquire); }

  std::size_t heapBytes() const {
    return filters_.capacity() * sizeof(BlockFilter) + text_.capacity() +
           starts_.capacity() * sizeof(std::size_t);
  }

  static constexpr std::size_t kBlockRows = 32;

 private:
  void rowsAboutToChange() override { stop(); }
  void rowsChanged() override;
  void selectedRowChanged(std::optional<std::size_t>) override {}

  struct BlockFilter {
    std::array<std::uint64_t, 4> bytes{};
    std::array<std::uint64_t, 128> grams{};
  };
  // What a block must hold for the needle: its bytes and its runs' bits.
  struct NeedleKey {
    std::string text;
    std::vector<std::uint32_t> bytes;
    std::vector<std::uint32_t> grams;
  };

  void stop();
  void makeFilters();
  bool mayHold(std::size_t block, const NeedleKey& needle) const;
  // The first (last) row in [rowBegin, rowEnd) whose text holds the needle.
  std::optional<std::size_t> search(const NeedleKey& needle, std::size_t rowBegin,
                                    std::size_t rowEnd, FindDirection direction);

  ContactList& list_;
  std::vector<BlockFilter> filters_;  // sized before the thread starts
  std::atomic<std::size_t> readyBlocks_{0};
  std::atomic<bool> stop_{false};
  std::thread worker_;
  bool started_ = false;
  // The find's scratch space: folded rows and where each row starts.
  std::string text_;
  std::vector<std::size_t> starts_;
};

}  // namespace corvadex
