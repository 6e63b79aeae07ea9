// SPDX-License-Identifier: Apache-2.0
#include "contacts/text_fold.h"

#include <cstdint>

#include "base/utf_codec.h"

namespace corvadex {

namespace {

// U+00C0 to U+017F (Latin-1 Supplement letters and Latin Extended-A): the
// folded spelling of each code point, "" where the code point is kept.
constexpr const char* kLatinFold[] = {
    // U+00C0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    // U+00D0
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "ss",
    // U+00E0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    // U+00F0
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "y",
    // U+0100
    "a", "a", "a", "a", "a", "a", "c", "c", "c", "c", "c", "c", "c", "c", "d", "d",
    // U+0110
    "d", "d", "e", "e", "e", "e", "e", "e", "e", "e", "e", "e", "g", "g", "g", "g",
    // U+0120
    "g", "g", "g", "g", "h", "h", "h", "h", "i", "i", "i", "i", "i", "i", "i", "i",
    // U+0130
    "i", "i", "ij", "ij", "j", "j", "k", "k", "k", "l", "l", "l", "l", "l", "l", "l",
    // U+0140
    "l", "l", "l", "n", "n", "n", "n", "n", "n", "n", "n", "n", "o", "o", "o", "o",
    // U+0150
    "o", "o", "oe", "oe", "r", "r", "r", "r", "r", "r", "s", "s", "s", "s", "s", "s",
    // U+0160
    "s", "s", "t", "t", "t", "t", "t", "t", "u", "u", "u", "u", "u", "u", "u", "u",
    // U+0170
    "u", "u", "u", "u", "w", "w", "y", "y", "y", "z", "z", "z", "z", "z", "z", "s",
};
constexpr std::uint32_t kLatinFirst = 0xC0;
constexpr std::uint32_t kLatinEnd = kLatinFirst + sizeof(kLatinFold) / sizeof(kLatinFold[0]);
static_assert(kLatinEnd == 0x180);

// Decodes the code point starting at text[i]; returns its length in bytes,
// or 0 for a byte that does not start a well-formed sequence.
std::size_t decode(std::string_view text, std::size_t i, std::uint32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  std::size_t len;
  std::uint32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1Fu, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0Fu, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::uint32_t smallLetter(std::uint32_t cp) {
  if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 0x20;  // Greek capitals
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;                  // Cyrillic А..Я
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;                  // Cyrillic Ѐ..Џ
  return cp;
}

}  // namespace

void appendFolded(std::string_view text, std::string& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {  // a run of ASCII, by far the most common: lower case only
      std::size_t end = i + 1;
      while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
      const std::size_t at = out.size();
      out.resize(at + (end - i));
      for (std::size_t k = i; k < end; ++k) {
        const char c = text[k];
        out[at + (k - i)] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
      }
      i = end;
      continue;
    }
    std::uint32_t cp = 0;
    const std::size_t len = decode(text, i, cp);
    if (len == 0) {  // not UTF-8: kept as it is
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0x300 && cp <= 0x36F) continue;  // combining accents
    if (cp >= kLatinFirst && cp < kLatinEnd && *kLatinFold[cp - kLatinFirst] != '\0') {
      out += kLatinFold[cp - kLatinFirst];
      continue;
    }
    appendUtf8(out, smallLetter(cp));
  }
}

}  // namespace corvadex
