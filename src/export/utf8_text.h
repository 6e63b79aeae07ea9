// SPDX-License-Identifier: Apache-2.0
// UTF-8 text as the exports meet it: the list's values are UTF-8, but they
// come from an untrusted file, so a value may hold malformed sequences or
// characters that an output format cannot carry.
//
// Every export copies a value in one pass: runs of bytes that pass unchanged
// are appended in one piece (most values are one run), and only the bytes a
// format must replace are looked at one by one. Nothing is allocated per
// value beyond the growth of the output.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/utf_codec.h"

namespace corvadex {

// What a copy does with each byte value: 0 copies it, 1 hands it to the
// format's escape (ASCII bytes only), 2 starts a non-ASCII sequence (every
// byte from 0x80 up). One look-up per byte.
using ByteKinds = std::array<unsigned char, 256>;

// The kinds for escaping the ASCII `bytes`, and the control bytes (0x00 to
// 0x1F and 0x7F) too when `withControls` is true.
constexpr ByteKinds escapedBytes(std::string_view bytes, bool withControls = false) {
  ByteKinds kinds{};
  for (char c : bytes) kinds[static_cast<unsigned char>(c) & 0x7F] = 1;
  if (withControls) {
    for (std::size_t b = 0; b < 0x20; ++b) kinds[b] = 1;
    kinds[0x7F] = 1;
  }
  for (std::size_t b = 0x80; b < 0x100; ++b) kinds[b] = 2;
  return kinds;
}

// decodeUtf8, with the common well-formed two- and three-byte sequences
// decoded in line; `pos` is at a byte of 0x80 or more.
inline char32_t decodeUtf8NonAscii(std::string_view text, std::size_t& pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continues = [&](std::size_t i) { return i < text.size() && (at(i) & 0xC0) == 0x80; };
  const unsigned char lead = at(pos);
  if (lead >= 0xC2 && lead <= 0xDF && continues(pos + 1)) {
    const char32_t cp = (char32_t{lead} & 0x1F) << 6 | (at(pos + 1) & 0x3Fu);
    pos += 2;
    return cp;
  }
  // E0 and ED restrict their second byte (no overlong forms, no
  // surrogates); the general decoder handles them.
  if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && continues(pos + 1) && continues(pos + 2)) {
    const char32_t cp = (char32_t{lead} & 0x0F) << 12 | (at(pos + 1) & 0x3Fu) << 6 | (at(pos + 2) & 0x3Fu);
    pos += 3;
    return cp;
  }
  return decodeUtf8(text, pos);
}

// Whether every sequence in `text` is well-formed and none is U+FFFD: text
// that the replacement of malformed sequences leaves as it is.
inline bool isCleanUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80)
      ++pos;
    else if (decodeUtf8NonAscii(text, pos) == kReplacementCharacter)
      return false;
  }
  return true;
}

// Appends `text` to `out`. An ASCII byte of kind 1 in `kinds` is handed to
// `escape(out, text, i)`, which appends what stands for it and returns how
// many bytes it took (at least one); every other ASCII byte is copied. A
// malformed UTF-8 sequence, and a well-formed one whose code point
// `keepNonAscii` refuses, becomes U+FFFD.
template <typename Escape, typename Keep>
void appendEscapedUtf8(std::string& out, std::string_view text, const ByteKinds& kinds, Escape escape,
                       Keep keepNonAscii) {
  std::size_t pos = 0, run = 0;
  const std::size_t size = text.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  while (pos < size) {
    const unsigned k = kinds[bytes[pos]];
    if (k == 0) {
      ++pos;
      continue;
    }
    if (k == 1) {
      out.append(text.data() + run, pos - run);
      pos += escape(out, text, pos);
      run = pos;
      continue;
    }
    const std::size_t start = pos;
    const char32_t cp = decodeUtf8NonAscii(text, pos);
    if (cp == kReplacementCharacter || !keepNonAscii(cp)) {
      // A genuine U+FFFD is rewritten as itself, which changes nothing.
      out.append(text.data() + run, start - run);
      out.append("\xEF\xBF\xBD");
      run = pos;
    }
  }
  out.append(text.data() + run, pos - run);
}

}  // namespace corvadex
