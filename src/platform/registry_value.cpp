// SPDX-License-Identifier: Apache-2.0
#include "platform/registry_value.h"

#include "base/utf_codec.h"

namespace corvadex::platform {

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::optional<std::string> registryText(const RegistryValue& value) {
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return std::nullopt;
  // The text ends at its first NUL code unit.
  const auto* bytes = reinterpret_cast<const unsigned char*>(value.data.data());
  std::size_t size = 0;
  while (size + 1 < value.data.size() && (bytes[size] | bytes[size + 1]) != 0) size += 2;
  return utf8FromUtf16Le(bytes, size);
}

std::optional<std::uint32_t> registryDword(const RegistryValue& value) {
  if (value.type != REG_DWORD || value.data.size() != 4) return std::nullopt;
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    n |= std::to_integer<std::uint32_t>(value.data[i]) << (8 * i);
  }
  return n;
}

}  // namespace corvadex::platform
