// SPDX-License-Identifier: Apache-2.0
// A fixed number of texts kept in one heap buffer.
//
// A million contacts hold 33 million short texts; one std::string each would
// spend 32 bytes of header and usually a heap block per text. Here a slot is
// two 32-bit numbers (offset, length) into one shared byte buffer, and the
// buffer is trimmed to its size once the owner is complete.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvadex {

template <std::size_t N>
class PackedTexts {
 public:
  static constexpr std::size_t kSlots = N;

  std::string_view get(std::size_t slot) const {
    if (slot >= N) throw std::out_of_range("text slot out of range");
    return std::string_view(bytes_).substr(offset_[slot], length_[slot]);
  }

  // Stores the text of a slot. A slot written a second time keeps its old
  // bytes in the buffer; the owners write each slot once.
  void set(std::size_t slot, std::string_view text) {
    if (slot >= N) throw std::out_of_range("text slot out of range");
    if (text.size() > UINT32_MAX || bytes_.size() > UINT32_MAX - text.size())
      throw std::length_error("texts of one row exceed 4 GiB");
    offset_[slot] = static_cast<std::uint32_t>(bytes_.size());
    length_[slot] = static_cast<std::uint32_t>(text.size());
    bytes_.append(text);
  }

  // Makes room for `bytes` more bytes of text at once (one allocation for
  // texts whose sizes are known before they are stored).
  void reserve(std::size_t bytes) { bytes_.reserve(bytes_.size() + bytes); }

  // Gives back the growth reserve of the buffer once no more texts come.
  void compact() { bytes_.shrink_to_fit(); }

  // Heap bytes this object holds beyond its own size.
  std::size_t heapBytes() const { return bytes_.capacity() > 15 ? bytes_.capacity() + 1 : 0; }

 private:
  std::string bytes_;
  std::array<std::uint32_t, N> offset_{};
  std::array<std::uint32_t, N> length_{};
};

}  // namespace corvadex
