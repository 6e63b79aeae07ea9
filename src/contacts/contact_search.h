// SPDX-License-Identifier: Apache-2.0
// Finding a contact by any of its 33 values, ignoring case and accents.
//
// The folded text of every row (its values folded and joined, each value
// ended by a NUL) is kept in one buffer with each row's start, made on the
// first find after the list changed. A find is then a substring search of
// that buffer from the current row on, wrapping once round the list.
//
// A million contacts fold to some 500 MB, more than a find may scan in the
// time a user waits. So rows are taken in blocks of 32, and each block keeps
// a 4096-bit filter of the pairs of adjacent bytes in its text (hashed): a
// block lacking one of the text's pairs cannot hold it and is not scanned.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
  std::optional<std::size_t> Find(std::string_view text, std::optional<std::size_t> from,
                                  FindDirection direction);

  // Makes the folded texts now if they are not made yet.
  void Prepare();
  std::size_t heapBytes() const {
    return folded_.capacity() + starts_.capacity() * sizeof(std::uint64_t) +
           filters_.capacity() * sizeof(PairFilter);
  }

 private:
  void RowsAboutToChange() override {}
  void RowsChanged() override;
  void SelectionChanged(std::optional<std::size_t>) override {}

  static constexpr std::size_t kBlockRows = 32;
  static constexpr std::size_t kFilterBits = 4096;
  using PairFilter = std::array<std::uint64_t, kFilterBits / 64>;

  std::size_t RowAt(std::size_t offset) const;
  void BuildFilters();
  bool MayHold(std::size_t block, const std::vector<std::uint32_t>& pairs) const;
  // The first (last) row in [rowBegin, rowEnd) whose text holds the needle.
  std::optional<std::size_t> Forward(std::string_view needle, const std::vector<std::uint32_t>& pairs,
                                     std::size_t rowBegin, std::size_t rowEnd) const;
  std::optional<std::size_t> Backward(std::string_view needle, const std::vector<std::uint32_t>& pairs,
                                      std::size_t rowBegin, std::size_t rowEnd) const;

  ContactList& list_;
  bool ready_ = false;
  std::string folded_;
  std::vector<std::uint64_t> starts_;  // row r's text: [starts_[r], starts_[r + 1])
  std::vector<PairFilter> filters_;    // one per block of kBlockRows rows
};

}  // namespace corvadex
