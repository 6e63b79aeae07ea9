// SPDX-License-Identifier: Apache-2.0
// UTF-16LE to UTF-8, every character kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_jet.h"
#include "store/utf16.h"

namespace corvadex::testing {
namespace {

std::string Convert(const Bytes& bytes) { return Utf8FromUtf16Le(bytes.data(), bytes.size()); }

Bytes Units(std::initializer_list<unsigned> units) {
  Bytes out;
  for (unsigned u : units) {
    out.push_back(static_cast<unsigned char>(u & 0xFF));
    out.push_back(static_cast<unsigned char>(u >> 8));
  }
  return out;
}

TEST(Utf16, EveryEncodedLengthIsRight) {
  EXPECT_EQ(Convert(Units({0x41, 0x7F})), "A\x7F");
  EXPECT_EQ(Convert(Units({0x80, 0x7FF})), "\u0080\u07FF");
  EXPECT_EQ(Convert(Units({0x800, 0xFFFF, 0xE000})), "\u0800\uFFFF\uE000");
  EXPECT_EQ(Convert(Units({0xD83D, 0xDE00})), "\U0001F600");
  EXPECT_EQ(Convert(Units({0xD800, 0xDC00, 0xDBFF, 0xDFFF})), "\U00010000\U0010FFFF");
  EXPECT_EQ(Convert(Units({0})), std::string(1, '\0'));
}

TEST(Utf16, AsciiRunsOfAnyLengthAroundOtherCharacters) {
  for (std::size_t length = 1; length <= 13; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::u16string text(length, u'a');
      text[at] = u'\u00E9';
      std::string expected(length, 'a');
      expected.replace(at, 1, "\u00E9");
      const Bytes bytes = Utf16(text);
      ASSERT_EQ(Convert(bytes), expected) << length << " " << at;
    }
  }
  // A high byte alone (U+0100) is not ASCII either.
  EXPECT_EQ(Convert(Units({0x41, 0x42, 0x100, 0x43})), "AB\u0100C");
}

TEST(Utf16, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(Convert(Units({0xD800})), "\uFFFD");
  EXPECT_EQ(Convert(Units({0xDC00, 0x41})), "\uFFFDA");
  EXPECT_EQ(Convert(Units({0xD800, 0x41})), "\uFFFDA");
  EXPECT_EQ(Convert(Units({0xD800, 0xD800, 0xDC00})), "\uFFFD\U00010000");
  EXPECT_EQ(Convert(Units({0xDC00, 0xD800})), "\uFFFD\uFFFD");
}

TEST(Utf16, OddTrailingByteIsIgnoredAndAppendingKeepsWhatWasThere) {
  Bytes bytes = Units({0x42});
  bytes.push_back(0x43);
  EXPECT_EQ(Convert(bytes), "B");
  EXPECT_EQ(Convert(Bytes{}), "");
  std::string out = "ab";
  const Bytes more = Units({0x3B1});
  AppendUtf8FromUtf16Le(more.data(), more.size(), out);
  EXPECT_EQ(out, "ab\u03B1");
}

}  // namespace
}  // namespace corvadex::testing
