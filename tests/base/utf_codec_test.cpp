// SPDX-License-Identifier: Apache-2.0
// The UTF-8/UTF-16 codec: every character kept, what is not a character
// replaced by U+FFFD, nothing read past the end.
#include "base/utf_codec.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "base/hex.h"

namespace corvadex {
namespace {

std::string leBytes(std::initializer_list<unsigned> units) {
  std::string out;
  for (unsigned u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

std::string fromLe(const std::string& bytes) {
  return utf8FromUtf16Le(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::u16string units(const std::string& le) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < le.size(); i += 2)
    out += static_cast<char16_t>(static_cast<unsigned char>(le[i]) | static_cast<unsigned char>(le[i + 1]) << 8);
  return out;
}

// Each case through both UTF-16 entry points (bytes and code units).
TEST(UtfCodec, Utf16ToUtf8) {
  const struct {
    std::string le;
    std::string utf8;
  } cases[] = {
      {leBytes({0x41, 0x7F}), "A\x7F"},
      {leBytes({0x80, 0x7FF}), "\u0080\u07FF"},
      {leBytes({0x800, 0xFFFF, 0xE000}), "\u0800\uFFFF\uE000"},
      {leBytes({0xD83D, 0xDE00}), "\U0001F600"},
      {leBytes({0xD800, 0xDC00, 0xDBFF, 0xDFFF}), "\U00010000\U0010FFFF"},
      {leBytes({0}), std::string(1, '\0')},
      {"", ""},
      {leBytes({0x41, 0x42, 0x100, 0x43}), "AB\u0100C"},  // a high byte alone is not ASCII
      // Unpaired surrogates, alone, before a letter, before or after a pair.
      {leBytes({0xD800}), "\uFFFD"},
      {leBytes({0xDC00, 0x41}), "\uFFFDA"},
      {leBytes({0xD800, 0x41}), "\uFFFDA"},
      {leBytes({0xD800, 0xD800, 0xDC00}), "\uFFFD\U00010000"},
      {leBytes({0xDC00, 0xD800}), "\uFFFD\uFFFD"},
      {leBytes({0x61, 0x62, 0x63, 0x64, 0xD800}), "abcd\uFFFD"},  // after a run of four
      {leBytes({0x42}) + "C", "B"},  // a trailing odd byte is not a unit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fromLe(c.le), c.utf8) << hex(c.le);
    EXPECT_EQ(utf8FromUtf16(units(c.le)), c.utf8) << hex(c.le);
  }
}

// The eight-at-a-time ASCII runs must stop and resume at every position,
// whichever byte of the unit is not ASCII, before a character of one unit
// or of a surrogate pair, in a text short or long enough to leave the
// stack buffer.
TEST(UtfCodec, AsciiRunsOfAnyLengthAroundOtherCharacters) {
  const std::pair<std::u16string, const char*> others[] = {{u"\u00E9", "\u00E9"},
                                                           {u"\u20AC", "\u20AC"},
                                                           {u"\u0141", "\u0141"},
                                                           {u"\U0001F600", "\U0001F600"},
                                                           {u"\u00E9\u0416", "\u00E9\u0416"},
                                                           {u"\u07FF\u0800", "\u07FF\u0800"},
                                                           {u"\xD800", "\uFFFD"},
                                                           {u"\xDC00\u0416", "\uFFFD\u0416"}};
  for (std::size_t length : {1, 2, 5, 8, 9, 15, 16, 17, 27, 300}) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const auto& [unit, utf8] : others) {
        std::u16string text(length, u'a');
        text.insert(at, unit);
        std::string expected(length, 'a');
        expected.insert(at, utf8);
        std::string le;
        for (char16_t u : text) le += leBytes({u});
        ASSERT_EQ(fromLe(le), expected) << length << " " << at << " " << utf8;
      }
    }
  }
}

TEST(UtfCodec, AppendingKeepsWhatWasThere) {
  std::string out = "ab";
  const std::string more = leBytes({0x3B1});
  appendUtf8FromUtf16Le(reinterpret_cast<const unsigned char*>(more.data()), more.size(), out);
  appendUtf8(out, U'\U0001F600');
  EXPECT_EQ(out, "ab\u03B1\U0001F600");
}

TEST(UtfCodec, WellFormedUtf8DecodesAndGoesToUtf16AndBack) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBF";
  std::size_t pos = 0;
  for (char32_t expected : {U'a', U'\u00E9', U'\u20AC', U'\U0001F600', U'\U0010FFFF', U'\uFFFF'})
    EXPECT_EQ(decodeUtf8(text, pos), expected);
  EXPECT_EQ(pos, text.size());
  const std::u16string units = utf16FromUtf8(text);
  EXPECT_EQ(units, u"a\u00E9\u20AC\U0001F600\U0010FFFF\uFFFF");
  EXPECT_EQ(utf8FromUtf16(units), text);
}

// A malformed sequence gives one U+FFFD for the lead byte and the
// continuation bytes that were valid up to the fault.
TEST(UtfCodec, MalformedUtf8BecomesReplacementCharacters) {
  const struct {
    std::string utf8;
    std::u16string units;
  } cases[] = {
      {"\x80", u"\uFFFD"},                                // lone continuation byte
      {"\xC0\x80", u"\uFFFD\uFFFD"},                      // overlong NUL
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"ab\xE2\x82", u"ab\uFFFD"},                        // truncated at the end
      {"\xE2\x82z", u"\uFFFDz"},                          // cut short by ASCII
      {"\xF0\x9F\x98", u"\uFFFD"},
      {"\xFF", u"\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf16FromUtf8(c.utf8), c.units) << hex(c.utf8);
}

TEST(Hex, TwoDigitsAByteHighHalfFirst) {
  EXPECT_EQ(hex(std::string("\x00\x0f\xa5\xff", 4)), "000fa5ff");
  EXPECT_EQ(hex(""), "");
  std::string out = "%";
  appendHexByte(out, 0x3c, HexCase::Upper);
  appendHexByte(out, 0xb2);
  EXPECT_EQ(out, "%3Cb2");
}

}  // namespace
}  // namespace corvadex
