// SPDX-License-Identifier: Apache-2.0
// Copying a few dozen bytes without a call: most values a contact holds are
// that short, and for them the call to memcpy costs more than the copy.
#pragma once

#include <cstddef>
#include <cstring>

namespace corvadex::base {

namespace detail {

// Copies `n` bytes, W <= n <= 2W, as the first W and the last W, which may
// overlap (fixed-size copies the compiler makes moves).
template <std::size_t W>
inline void copyEnds(unsigned char* d, const unsigned char* s, std::size_t n) {
  unsigned char head[W], tail[W];
  std::memcpy(head, s, W);
  std::memcpy(tail, s + n - W, W);
  std::memcpy(d, head, W);
  std::memcpy(d + n - W, tail, W);
}

}  // namespace detail

// Copies `n` bytes from `from` to `to` (which do not overlap).
inline void copySmall(void* to, const void* from, std::size_t n) {
  auto* d = static_cast<unsigned char*>(to);
  const auto* s = static_cast<const unsigned char*>(from);
  if (n > 32) {
    std::memcpy(d, s, n);
  } else if (n >= 16) {
    detail::copyEnds<16>(d, s, n);
  } else if (n >= 8) {
    detail::copyEnds<8>(d, s, n);
  } else if (n >= 4) {
    detail::copyEnds<4>(d, s, n);
  } else {
    for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
  }
}

}  // namespace corvadex::base
