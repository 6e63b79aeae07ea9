// SPDX-License-Identifier: Apache-2.0
#include "export/sha1.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace corvadex {

namespace {

std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

// One 64-byte block: 80 rounds in four groups of twenty with their own
// function and constant (a loop per group, so that no round chooses its
// function at run time). The message schedule's words are made as the
// rounds need them, in a ring of the last sixteen.
void Sha1::block(const std::uint8_t* p) {
  std::uint32_t w[16];
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{p[4 * i]} << 24 | std::uint32_t{p[4 * i + 1]} << 16 |
           std::uint32_t{p[4 * i + 2]} << 8 | std::uint32_t{p[4 * i + 3]};
  // Word i, for i from 16: w[i-3] ^ w[i-8] ^ w[i-14] ^ w[i-16], rotated.
  const auto word = [&](int i) {
    if (i < 16) return w[i];
    const std::uint32_t x = rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
    w[i & 15] = x;
    return x;
  };
  std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
  const auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t scheduled) {
    const std::uint32_t t = rotl(a, 5) + f + e + k + scheduled;
    e = d;
    d = c;
    c = rotl(b, 30);
    b = a;
    a = t;
  };
  for (int i = 0; i < 20; ++i) round((b & c) | (~b & d), 0x5A827999u, word(i));
  for (int i = 20; i < 40; ++i) round(b ^ c ^ d, 0x6ED9EBA1u, word(i));
  for (int i = 40; i < 60; ++i) round((b & c) | (b & d) | (c & d), 0x8F1BBCDCu, word(i));
  for (int i = 60; i < 80; ++i) round(b ^ c ^ d, 0xCA62C1D6u, word(i));
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
  buffer_[buffered_++] = 0x80;  // update leaves fewer than 64 bytes buffered
  if (buffered_ > 56) {
    std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(buffered_), buffer_.end(), std::uint8_t{0});
    block(buffer_.data());
    buffered_ = 0;
  }
  std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(buffered_), buffer_.begin() + 56, std::uint8_t{0});
  for (std::size_t i = 0; i < 8; ++i) buffer_[56 + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  block(buffer_.data());
  buffered_ = 0;
  Digest digest;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(h_[i] >> (24 - 8 * j));
  return digest;
}

}  // namespace corvadex
