// SPDX-License-Identifier: Apache-2.0
#include "export/sha1.h"

#include <cstring>

namespace corvadex {

namespace {

std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

// One 64-byte block: the message schedule of 80 words, then 80 rounds in
// four groups of twenty with their own function and constant.
void Sha1::block(const std::uint8_t* p) {
  std::uint32_t w[80];
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{p[4 * i]} << 24 | std::uint32_t{p[4 * i + 1]} << 16 |
           std::uint32_t{p[4 * i + 2]} << 8 | std::uint32_t{p[4 * i + 3]};
  for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
  for (int i = 0; i < 80; ++i) {
    std::uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999u;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1u;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDCu;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6u;
    }
    const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = rotl(b, 30);
    b = a;
    a = t;
  }
  h_[0] += a;
  h_[1] += b;
  h_[2] += c;
  h_[3] += d;
  h_[4] += e;
}

void Sha1::update(std::string_view bytes) {
  length_ += bytes.size();
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t n = bytes.size();
  while (n > 0) {
    const std::size_t take = std::min(n, buffer_.size() - buffered_);
    std::memcpy(buffer_.data() + buffered_, p, take);
    buffered_ += take;
    p += take;
    n -= take;
    if (buffered_ == buffer_.size()) {
      block(buffer_.data());
      buffered_ = 0;
    }
  }
}

// Padding: a 1 bit, zeros up to 56 bytes into a block, then the message
// length in bits as a 64-bit big-endian number.
Sha1::Digest Sha1::finish() {
  const std::uint64_t bits = length_ * 8;
  const char one = static_cast<char>(0x80);
  update(std::string_view(&one, 1));
  const char zero = 0;
  while (buffered_ != 56) update(std::string_view(&zero, 1));
  char tail[8];
  for (int i = 0; i < 8; ++i) tail[i] = static_cast<char>(bits >> (56 - 8 * i));
  update(std::string_view(tail, 8));
  Digest digest;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(h_[i] >> (24 - 8 * j));
  return digest;
}

}  // namespace corvadex
