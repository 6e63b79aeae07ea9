// SPDX-License-Identifier: Apache-2.0
#include "export/utf8_text.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace corvadex {
namespace {

// Text passed through with nothing escaped and every code point kept: only
// malformed sequences change.
std::string keepAll(std::string_view text) {
  static constexpr ByteKinds kNothing = escapedBytes("");
  std::string out;
  appendEscapedUtf8(
      out, text, kNothing, [](std::string&, std::string_view, std::size_t) { return std::size_t{1}; },
      [](char32_t) { return true; });
  return out;
}

using test::kFffd;

TEST(Utf8Text, WellFormedTextOfEveryLengthPassesUnchanged) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBF";
  EXPECT_EQ(keepAll(text), text);
}

TEST(Utf8Text, MalformedSequencesBecomeReplacementCharacters) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"\x80", kFffd},                               // lone continuation byte
      {"\xC0\x80", kFffd + kFffd},                   // overlong NUL
      {"\xE0\x80\x80", kFffd + kFffd + kFffd},       // overlong three-byte form
      {"\xED\xA0\x80", kFffd + kFffd + kFffd},       // encoded surrogate
      {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},  // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", kFffd + kFffd + kFffd + kFffd + kFffd},
      {"ab\xE2\x82", "ab" + kFffd},                   // truncated at the end
      {"\xE2\x82z", kFffd + "z"},                     // cut short by ASCII
      {"\xFF", kFffd},
  };
  for (const auto& c : cases) EXPECT_EQ(keepAll(c.in), c.out) << ::testing::PrintToString(c.in);
}

}  // namespace
}  // namespace corvadex
