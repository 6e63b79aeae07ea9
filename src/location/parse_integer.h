// SPDX-License-Identifier: Apache-2.0
// Text to a 32-bit integer, strictly: the mail client's version number is
// read with it at start-up, and empty text (no mail client) is an error with
// a message the user is shown, not 0.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvadex {

// A failed conversion; what() is the text the user is shown.
class NotAnIntegerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Accepts leading blanks, an optional sign, then either decimal digits or
// hexadecimal digits after "$", "0x" or "x" (either case), and nothing
// after them. Decimal values must fit a signed 32-bit integer; hexadecimal
// ones may use all 32 bits and are taken as two's complement
// ("$FFFFFFFF" is -1). Anything else throws
// NotAnIntegerError("'<text>' is not a valid integer value.").
std::int32_t parseInteger(std::string_view text);

}  // namespace corvadex
