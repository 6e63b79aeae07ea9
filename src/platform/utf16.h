// SPDX-License-Identifier: Apache-2.0
// Conversions between the UTF-16 that Windows keeps its texts in and the
// UTF-8 that Corvadex uses for every text on Linux.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace corvadex::platform {

// UTF-16 code units to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Little-endian UTF-16 bytes to UTF-8, stopping at the first NUL code unit
// (a trailing odd byte is ignored).
std::string Utf16LeBytesToUtf8(std::span<const std::byte> bytes);

// UTF-8 to UTF-16 code units. Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace corvadex::platform
