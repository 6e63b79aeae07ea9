// SPDX-License-Identifier: Apache-2.0
// SHA-1 (FIPS 180-4), for the name-based identifiers of exported contacts.
// Not for anything that needs collision resistance.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace corvadex {

class Sha1 {
 public:
  using Digest = std::array<std::uint8_t, 20>;

  void update(std::string_view bytes);
  Digest finish();  // the object is spent afterwards

  static Digest of(std::string_view bytes) {
    Sha1 sha;
    sha.update(bytes);
    return sha.finish();
  }

 private:
  void block(const std::uint8_t* p);

  std::array<std::uint32_t, 5> h_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;  // bytes seen
};

}  // namespace corvadex
