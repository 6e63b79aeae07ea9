// SPDX-License-Identifier: Apache-2.0
// A bounds-checked view of untrusted bytes (a file read from disk).
//
// Every read names its offset and says whether the bytes were there; nothing
// is ever read past the end, whatever offset or length the file claims.
// Integers are little-endian, as in every Windows file format read here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corvadex::platform {

class ByteView {
 public:
  ByteView() = default;
  explicit ByteView(std::span<const std::byte> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }

  // True when [offset, offset + length) lies inside the view.
  bool Has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(byteAt(offset) | byteAt(offset + 1) << 8);
  }

  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(byteAt(offset) | byteAt(offset + 1) << 8 |
                                      byteAt(offset + 2) << 16) |
           static_cast<std::uint32_t>(byteAt(offset + 3)) << 24;
  }

  // The sub-view [offset, offset + length), or none when it does not fit.
  std::optional<ByteView> Sub(std::uint64_t offset, std::uint64_t length) const {
    if (!Has(offset, length)) return std::nullopt;
    return ByteView(bytes_.subspan(static_cast<std::size_t>(offset),
                                   static_cast<std::size_t>(length)));
  }

 private:
  unsigned byteAt(std::uint64_t offset) const {
    return std::to_integer<unsigned>(bytes_[static_cast<std::size_t>(offset)]);
  }

  std::span<const std::byte> bytes_;
};

}  // namespace corvadex::platform
