// SPDX-License-Identifier: Apache-2.0
// Bytes as hexadecimal digits, two a byte, high half first: the dumps'
// values, the contacts' identifiers, the escapes of unprintable bytes.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace corvadex {

enum class HexCase { Lower, Upper };

inline void appendHexByte(std::string& out, unsigned char byte, HexCase letters = HexCase::Lower) {
  const char* digits = letters == HexCase::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
  out.push_back(digits[byte >> 4]);
  out.push_back(digits[byte & 0x0F]);
}

inline void appendHex(std::string& out, std::span<const unsigned char> bytes) {
  out.reserve(out.size() + 2 * bytes.size());
  for (unsigned char byte : bytes) appendHexByte(out, byte);
}

// The value of one hexadecimal digit, either case, or -1 for any other character.
inline int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline std::string hex(std::string_view bytes) {
  std::string out;
  appendHex(out, {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
  return out;
}

}  // namespace corvadex
