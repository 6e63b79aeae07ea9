// SPDX-License-Identifier: Apache-2.0
#include "location/parse_integer.h"

#include <gtest/gtest.h>

namespace corvadex {
namespace {

TEST(ParseInteger, AcceptsDecimalAndHexadecimalForms) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"0", 0},
      {"14", 14},
      {"007", 7},
      {"+16", 16},
      {"-3", -3},
      {"  15", 15},  // leading blanks are skipped
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$10", 16},
      {"$ff", 255},
      {"0x1F", 31},
      {"0X1f", 31},
      {"x10", 16},
      {"-$10", -16},
      {"$FFFFFFFF", -1},  // hexadecimal uses all 32 bits
      {"$80000000", -2147483647 - 1},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(parseInteger(text), value) << '"' << text << '"';
  }
}

TEST(ParseInteger, RejectsEverythingElseNamingTheText) {
  const char* cases[] = {"",   " ",  "-",  "+",   "$",  "0x", "1 ", "1.0", "12a",
                         "a1", "--1", "2147483648", "-2147483649", "$100000000", "1,000",
                         "\t5"};
  for (const char* text : cases) {
    try {
      parseInteger(text);
      ADD_FAILURE() << '"' << text << "\" was accepted";
    } catch (const NotAnIntegerError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value.");
    }
  }
}

}  // namespace
}  // namespace corvadex
