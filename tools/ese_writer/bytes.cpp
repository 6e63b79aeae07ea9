// SPDX-License-Identifier: Apache-2.0
#include "bytes.h"

namespace corvadex::esew {

Bytes utf16le(std::string_view s) {
  Bytes out;
  out.reserve(s.size() * 2);
  std::size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t cp = 0;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 0x6) {
      cp = c & 0x1fu;
      len = 2;
    } else if ((c >> 4) == 0xe) {
      cp = c & 0x0fu;
      len = 3;
    } else {
      cp = c & 0x07u;
      len = 4;
    }
    for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3fu);
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      putU16(out, static_cast<std::uint16_t>(0xd800 + (cp >> 10)));
      putU16(out, static_cast<std::uint16_t>(0xdc00 + (cp & 0x3ff)));
    } else {
      putU16(out, static_cast<std::uint16_t>(cp));
    }
  }
  return out;
}

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xf]);
  }
  return out;
}

}  // namespace corvadex::esew
