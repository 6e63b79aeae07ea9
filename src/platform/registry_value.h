// SPDX-License-Identifier: Apache-2.0
// A registry value as Windows returns it: its type and its raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvadex::platform {

// Value types (the numbers Windows uses).
constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::uint32_t REG_MULTI_SZ = 7;

// Text values hold little-endian UTF-16 with their terminating NUL, as the
// registry stores them; a DWORD holds four little-endian bytes.
struct RegistryValue {
  std::uint32_t type = REG_NONE;
  std::vector<std::byte> data;
};

// ASCII lower-case, the folding used for registry and file names.
std::string asciiLower(std::string_view text);

// The text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL, in UTF-8
// (an expandable value is not expanded); none for any other type.
std::optional<std::string> registryText(const RegistryValue& value);

// The number of a REG_DWORD value of four bytes; none otherwise.
std::optional<std::uint32_t> registryDword(const RegistryValue& value);

}  // namespace corvadex::platform
