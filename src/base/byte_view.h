// SPDX-License-Identifier: Apache-2.0
// A bounds-checked view of untrusted bytes: a database page, an executable,
// a registry value.
//
// Every read names its offset and says whether the bytes were there; a read
// that would pass the end of the view reads nothing and reports failure, so
// no offset or length a file claims can reach memory beyond it. The reads
// are [[nodiscard]]: a caller that ignores whether a read succeeded does not
// compile. Integers are little-endian, as in every format read here; a
// caller that needs another order (keys of the long-value tree are
// big-endian) assembles the bytes itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvadex::base {

using Bytes = std::span<const std::byte>;

// Unchecked little-endian loads, for loops over a range already checked.
inline std::uint16_t loadLe16(const std::byte* p) {
  return static_cast<std::uint16_t>(static_cast<unsigned>(p[0]) |
                                    (static_cast<unsigned>(p[1]) << 8));
}
inline std::uint32_t loadLe32(const std::byte* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t loadLe64(const std::byte* p) {
  return static_cast<std::uint64_t>(loadLe32(p)) | (static_cast<std::uint64_t>(loadLe32(p + 4)) << 32);
}

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
  [[nodiscard]] bool Contains(std::size_t offset, std::size_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  [[nodiscard]] bool U8(std::size_t offset, std::uint8_t& out) const {
    if (!Contains(offset, 1)) return false;
    out = static_cast<std::uint8_t>(bytes_[offset]);
    return true;
  }
  [[nodiscard]] bool U16(std::size_t offset, std::uint16_t& out) const {
    if (!Contains(offset, 2)) return false;
    out = loadLe16(bytes_.data() + offset);
    return true;
  }
  [[nodiscard]] bool U32(std::size_t offset, std::uint32_t& out) const {
    if (!Contains(offset, 4)) return false;
    out = loadLe32(bytes_.data() + offset);
    return true;
  }
  // The sub-view [offset, offset + length); false, `out` untouched, when it
  // does not fit.
  [[nodiscard]] bool sub(std::size_t offset, std::size_t length, ByteView& out) const {
    if (!Contains(offset, length)) return false;
    out = ByteView(bytes_.subspan(offset, length));
    return true;
  }
  // The view from `offset` to the end (empty when `offset` is past it).
  ByteView from(std::size_t offset) const {
    return offset <= bytes_.size() ? ByteView(bytes_.subspan(offset)) : ByteView();
  }

 private:
  Bytes bytes_;
};

}  // namespace corvadex::base
