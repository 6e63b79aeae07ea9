#include "contacts/contact_search.h"

#include <algorithm>

#include "contacts/contact_columns.h"
#include "contacts/text_fold.h"

namespace corvadex {

ContactSearch::ContactSearch(ContactList& list) : list_(list) { list_.AddObserver(this); }

ContactSearch::~ContactSearch() { list_.RemoveObserver(this); }

void ContactSearch::RowsChanged() {
  ready_ = false;
  std::string().swap(folded_);
  std::vector<std::uint64_t>().swap(starts_);
}

void ContactSearch::Prepare() {
  if (ready_) return;
  folded_.clear();
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
  ready_ = true;
}

std::size_t ContactSearch::RowAt(std::size_t offset) const {
  // The last row whose text starts at or before the offset.
  const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

// The row of the first match lying wholly within [begin, end) of the buffer.
std::optional<std::size_t> ContactSearch::Forward(std::string_view needle, std::size_t begin,
                                                  std::size_t end) const {
  if (end <= begin || end - begin < needle.size()) return std::nullopt;
  const std::string_view hay = std::string_view(folded_).substr(begin, end - begin);
  const std::size_t at = hay.find(needle);
  if (at == std::string_view::npos) return std::nullopt;
  return RowAt(begin + at);
}

// The row of the last match lying wholly within [begin, end).
std::optional<std::size_t> ContactSearch::Backward(std::string_view needle, std::size_t begin,
                                                   std::size_t end) const {
  if (end <= begin || end - begin < needle.size()) return std::nullopt;
  const std::string_view hay = std::string_view(folded_).substr(begin, end - begin);
  const std::size_t at = hay.rfind(needle);
  if (at == std::string_view::npos) return std::nullopt;
  return RowAt(begin + at);
}

std::optional<std::size_t> ContactSearch::Find(std::string_view text, std::optional<std::size_t> from,
                                               FindDirection direction) {
  const std::string needle = Folded(text);
  if (needle.empty() || list_.Count() == 0) return std::nullopt;
  Prepare();
  const std::size_t total = folded_.size();
  if (from && *from >= list_.Count()) from.reset();
  if (direction == FindDirection::Next) {
    // After `from` to the end, then from the start up to and with `from`.
    const std::size_t split = from ? starts_[*from + 1] : 0;
    if (auto row = Forward(needle, split, total)) return row;
    return Forward(needle, 0, split == 0 ? total : split);
  }
  // Before `from` back to the start, then from the end down to `from`.
  const std::size_t split = from ? starts_[*from] : total;
  if (auto row = Backward(needle, 0, split)) return row;
  return Backward(needle, split == total ? 0 : split, total);
}

}  // namespace corvadex
