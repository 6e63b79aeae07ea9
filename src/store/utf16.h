// SPDX-License-Identifier: Apache-2.0
// The engine's text columns hold UTF-16, little-endian; the program's texts
// are UTF-8. The conversion keeps every character: a surrogate pair becomes
// one four-byte sequence, and only an unpaired surrogate is replaced, by
// U+FFFD. A trailing odd byte is not a code unit and is ignored.
#pragma once

#include <cstddef>
#include <string>

namespace corvadex {

// Appends the UTF-8 form of `size` bytes of UTF-16LE text to `out`.
void AppendUtf8FromUtf16Le(const unsigned char* bytes, std::size_t size, std::string& out);

// The same, into a fresh string.
std::string Utf8FromUtf16Le(const unsigned char* bytes, std::size_t size);

}  // namespace corvadex
