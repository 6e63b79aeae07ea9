// SPDX-License-Identifier: Apache-2.0
// Byte-string helpers for building on-disk structures: every multi-byte
// number in an ESE file is little-endian except the normalised keys, which
// are big-endian so that a plain byte comparison sorts them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/hex.h"

namespace corvadex::esew {

// Raw bytes. std::string is used as a byte container because it compares
// bytewise (the order of normalised keys) and hashes and prints easily.
using Bytes = std::string;

inline void putU8(Bytes& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }
inline void putU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>(v >> 8));
}
inline void putU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
inline void putU64(Bytes& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
inline void putBE16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v & 0xff));
}
inline void putBE32(Bytes& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
inline void putBE64(Bytes& out, std::uint64_t v) {
  for (int i = 7; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

// Stores into a fixed place of a buffer (page images, headers).
inline void storeU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v & 0xff);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void storeU32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xff);
}
inline void storeU64(unsigned char* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xff);
}
inline std::uint32_t loadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Little-endian encodings of single values, as a column stores them.
inline Bytes le16(std::uint16_t v) { Bytes b; putU16(b, v); return b; }
inline Bytes le32(std::uint32_t v) { Bytes b; putU32(b, v); return b; }
inline Bytes le64(std::uint64_t v) { Bytes b; putU64(b, v); return b; }
inline Bytes u8(std::uint8_t v) { return Bytes(1, static_cast<char>(v)); }
inline Bytes ieeeDouble(double d) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  return le64(bits);
}

// UTF-8 to UTF-16LE bytes (the code page 1200 text of a column).
Bytes utf16le(std::string_view utf8);

// Lowercase hex of bytes, as the dump format writes values.
using corvadex::hex;

}  // namespace corvadex::esew
