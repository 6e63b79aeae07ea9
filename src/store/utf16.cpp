// SPDX-License-Identifier: Apache-2.0
#include "store/utf16.h"

#include <cstdint>
#include <cstring>

namespace corvadex {

namespace {

inline std::uint32_t unitAt(const unsigned char* bytes, std::size_t index) {
  return static_cast<std::uint32_t>(bytes[2 * index]) |
         (static_cast<std::uint32_t>(bytes[2 * index + 1]) << 8);
}

inline bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

void AppendUtf8FromUtf16Le(const unsigned char* bytes, std::size_t size, std::string& out) {
  const std::size_t units = size / 2;
  // Worst case three bytes per unit (a pair of units makes four bytes).
  const std::size_t start = out.size();
  out.resize(start + units * 3);
  char* p = out.data() + start;
  std::size_t i = 0;
  while (i < units) {
    // Most contact texts are ASCII: four units at a time while they are.
    while (i + 4 <= units) {
      std::uint64_t word;
      std::memcpy(&word, bytes + 2 * i, 8);
      if (word & 0xFF80FF80FF80FF80u) break;
      p[0] = static_cast<char>(bytes[2 * i]);
      p[1] = static_cast<char>(bytes[2 * i + 2]);
      p[2] = static_cast<char>(bytes[2 * i + 4]);
      p[3] = static_cast<char>(bytes[2 * i + 6]);
      p += 4;
      i += 4;
    }
    if (i >= units) break;
    std::uint32_t u = unitAt(bytes, i++);
    if (u < 0x80) {
      *p++ = static_cast<char>(u);
      continue;
    }
    if (u < 0x800) {
      *p++ = static_cast<char>(0xC0 | (u >> 6));
      *p++ = static_cast<char>(0x80 | (u & 0x3F));
      continue;
    }
    if (isHighSurrogate(u) && i < units && isLowSurrogate(unitAt(bytes, i))) {
      const std::uint32_t cp = 0x10000 + ((u - 0xD800) << 10) + (unitAt(bytes, i++) - 0xDC00);
      *p++ = static_cast<char>(0xF0 | (cp >> 18));
      *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (cp & 0x3F));
      continue;
    }
    if (isHighSurrogate(u) || isLowSurrogate(u)) u = 0xFFFD;
    *p++ = static_cast<char>(0xE0 | (u >> 12));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::string Utf8FromUtf16Le(const unsigned char* bytes, std::size_t size) {
  std::string out;
  AppendUtf8FromUtf16Le(bytes, size, out);
  return out;
}

}  // namespace corvadex
