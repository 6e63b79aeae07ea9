// SPDX-License-Identifier: Apache-2.0
#include "location/parse_integer.h"

#include <optional>

#include "base/hex.h"

namespace corvadex {

namespace {

std::optional<std::int32_t> parse(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  bool hex = false;
  if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    hex = true;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' &&
             (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;  // no digits at all

  std::uint64_t value = 0;
  if (hex) {
    for (; pos < text.size(); ++pos) {
      const int digit = hexDigitValue(text[pos]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
    if (value > limit) return std::nullopt;
  }
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                  : static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t parseInteger(std::string_view text) {
  if (auto value = parse(text)) return *value;
  throw NotAnIntegerError("'" + std::string(text) + "' is not a valid integer value.");
}

}  // namespace corvadex
