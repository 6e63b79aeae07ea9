// SPDX-License-Identifier: Apache-2.0
// The one converter between the UTF-16 that the database and the Windows
// registry keep their texts in and the UTF-8 that every text of the program
// is held in. Both directions keep every character: a surrogate pair becomes
// one four-byte sequence and back. What is not a character (an unpaired
// surrogate, a malformed UTF-8 sequence) becomes U+FFFD; nothing is dropped
// silently and nothing is read past the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvadex {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point that starts at `pos`, advancing `pos` past it. A
// malformed, overlong or truncated sequence, an encoded surrogate or a value
// above U+10FFFF yields U+FFFD and advances by the one bad lead byte (or the
// lead byte and the continuation bytes that were valid up to the fault), so
// decoding always makes progress.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 encoding of a code point (which must be a scalar value).
void appendUtf8(std::string& out, char32_t cp);

// Appends the UTF-8 form of `size` bytes of UTF-16LE text; a trailing odd
// byte is not a code unit and is ignored.
void appendUtf8FromUtf16Le(const unsigned char* bytes, std::size_t size, std::string& out);
std::string utf8FromUtf16Le(const unsigned char* bytes, std::size_t size);

// The same for code units already in memory.
std::string utf8FromUtf16(std::u16string_view units);

// UTF-8 to UTF-16 code units.
std::u16string utf16FromUtf8(std::string_view text);

}  // namespace corvadex
