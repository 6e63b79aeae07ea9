// SPDX-License-Identifier: Apache-2.0
// A bounds-checked view of untrusted bytes from the database file.
//
// Every read of file content goes through ByteView: a read that would pass
// the end of the view reports failure instead of touching memory beyond it.
// Multi-byte integers are little-endian on disk unless a caller says
// otherwise (keys in the long-value tree are big-endian).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace ese {

using Bytes = std::span<const std::byte>;

class ByteView {
 public:
  ByteView() = default;
  explicit ByteView(Bytes bytes) : bytes_(bytes) {}
  ByteView(const std::byte* data, std::size_t size) : bytes_(data, size) {}

  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  const std::byte* data() const { return bytes_.data(); }
  Bytes bytes() const { return bytes_; }

  // True when [offset, offset + length) lies inside the view.
  bool Contains(std::size_t offset, std::size_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  bool U8(std::size_t offset, std::uint8_t& out) const {
    if (!Contains(offset, 1)) return false;
    out = static_cast<std::uint8_t>(bytes_[offset]);
    return true;
  }
  bool U16(std::size_t offset, std::uint16_t& out) const {
    if (!Contains(offset, 2)) return false;
    out = LoadU16(bytes_.data() + offset);
    return true;
  }
  bool U32(std::size_t offset, std::uint32_t& out) const {
    if (!Contains(offset, 4)) return false;
    out = LoadU32(bytes_.data() + offset);
    return true;
  }
  bool U64(std::size_t offset, std::uint64_t& out) const {
    if (!Contains(offset, 8)) return false;
    out = LoadU64(bytes_.data() + offset);
    return true;
  }
  // The sub-view [offset, offset + length), or false when it does not fit.
  bool Sub(std::size_t offset, std::size_t length, ByteView& out) const {
    if (!Contains(offset, length)) return false;
    out = ByteView(bytes_.subspan(offset, length));
    return true;
  }

  // Unchecked little-endian loads; callers have checked the range.
  static std::uint16_t LoadU16(const std::byte* p) {
    return static_cast<std::uint16_t>(static_cast<unsigned>(p[0]) |
                                      (static_cast<unsigned>(p[1]) << 8));
  }
  static std::uint32_t LoadU32(const std::byte* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  static std::uint64_t LoadU64(const std::byte* p) {
    return static_cast<std::uint64_t>(LoadU32(p)) |
           (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
  }

 private:
  Bytes bytes_;
};

}  // namespace ese
