// SPDX-License-Identifier: Apache-2.0
// Tests of stored-value decompression. The compressed inputs are built here
// from the format's description: a small 7-bit packer, and an XPRESS token
// writer that follows the "plain LZ77" encoding rules (flag words, paired
// length half bytes, 8/16/32-bit length escapes). Decoding what they produce
// must give back the text they were built from.
#include "ese/compression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ese {
namespace {

using Bytes = std::vector<std::byte>;

Bytes B(std::initializer_list<unsigned> values) {
  Bytes out;
  for (unsigned v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

std::string toString(const Bytes& bytes) {
  std::string s;
  for (std::byte b : bytes) s.push_back(static_cast<char>(std::to_integer<unsigned char>(b)));
  return s;
}

// --- 7-bit packing --------------------------------------------------------

// Packs 7-bit codes least significant bit first after a header byte of
// (scheme << 3 | bits used in the last byte - 1).
Bytes packSevenBit(unsigned scheme, const std::vector<unsigned>& codes) {
  Bytes out{static_cast<std::byte>(scheme << 3)};
  std::size_t bit = 0;
  for (unsigned code : codes) {
    for (unsigned i = 0; i < 7; ++i, ++bit) {
      if (bit % 8 == 0) out.push_back(std::byte{0});
      if ((code >> i) & 1) out.back() |= static_cast<std::byte>(1u << (bit % 8));
    }
  }
  const std::size_t used_in_last = bit - (out.size() - 2) * 8;
  out[0] |= static_cast<std::byte>(used_in_last - 1);
  return out;
}

std::vector<unsigned> codes(const std::string& s) {
  std::vector<unsigned> codes;
  for (char c : s) codes.push_back(static_cast<unsigned char>(c));
  return codes;
}

TEST(SevenBitAscii, DecodesTheEightCharacterVectorOfTheEngine) {
  // "01234567": eight 7-bit codes fill exactly seven bytes, so the last byte
  // uses all 8 bits and the header is (1 << 3) | 7.
  const Bytes stored = B({0x0f, 0xb0, 0x98, 0x6c, 0x46, 0xab, 0xd9, 0x6e});
  Bytes out;
  ASSERT_EQ(decompressValue(stored, out), JET_errSuccess);
  EXPECT_EQ(toString(out), "01234567");
  EXPECT_EQ(packSevenBit(1, codes("01234567")), stored);
}

TEST(SevenBitAscii, RoundTripsEveryLengthAndEveryCode) {
  std::mt19937 rng(7);
  for (std::size_t length = 1; length <= 70; ++length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(rng() % 128));
    Bytes out;
    ASSERT_EQ(decompressValue(packSevenBit(1, codes(text)), out), JET_errSuccess) << length;
    EXPECT_EQ(toString(out), text) << length;
  }
  std::string all;
  for (int c = 0; c < 128; ++c) all.push_back(static_cast<char>(c));
  Bytes out;
  ASSERT_EQ(decompressValue(packSevenBit(1, codes(all)), out), JET_errSuccess);
  EXPECT_EQ(toString(out), all);
}

TEST(SevenBitUnicode, UnpacksEachCodeToATwoByteCodeUnit) {
  for (std::size_t length = 1; length <= 40; ++length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + (i * 7) % 58));
    Bytes out;
    ASSERT_EQ(decompressValue(packSevenBit(2, codes(text)), out), JET_errSuccess) << length;
    ASSERT_EQ(out.size(), 2 * length);
    for (std::size_t i = 0; i < length; ++i) {
      EXPECT_EQ(std::to_integer<char>(out[2 * i]), text[i]);
      EXPECT_EQ(out[2 * i + 1], std::byte{0});
    }
  }
}

TEST(SevenBit, RejectsABitCountThatIsNotWholeCodes) {
  Bytes out;
  // Header only: no codes at all.
  EXPECT_EQ(decompressValue(B({0x08}), out), JET_errDecompressionFailed);
  EXPECT_EQ(decompressValue(B({0x10}), out), JET_errDecompressionFailed);
  // One byte with 6 used bits, or two bytes with 1 used bit in the last:
  // neither is a multiple of seven bits.
  EXPECT_EQ(decompressValue(B({0x08 | 5, 0x41}), out), JET_errDecompressionFailed);
  EXPECT_EQ(decompressValue(B({0x08 | 0, 0x41, 0x00}), out), JET_errDecompressionFailed);
  EXPECT_TRUE(out.empty());
  // A valid value with a byte cut off no longer adds up.
  Bytes stored = packSevenBit(1, codes("Hello, contacts"));
  stored.pop_back();
  EXPECT_EQ(decompressValue(stored, out), JET_errDecompressionFailed);
}

// --- XPRESS ---------------------------------------------------------------

// An XPRESS value: header byte, 16-bit uncompressed size, stream.
Bytes withHeader(std::size_t size, const Bytes& stream) {
  Bytes stored(3 + stream.size());
  stored[0] = std::byte{0x18};
  stored[1] = static_cast<std::byte>(size & 0xff);
  stored[2] = static_cast<std::byte>((size >> 8) & 0xff);
  std::copy(stream.begin(), stream.end(), stored.begin() + 3);
  return stored;
}

// Writes an XPRESS LZ77 stream token by token, with the encoding rules of
// the format: one flag bit per token, most significant first, in a 32-bit
// word that precedes its tokens; long match lengths through a half byte
// (two matches use one byte), then a byte, then a 16-bit and a 32-bit escape.
class XpressWriter {
 public:
  XpressWriter() { startFlagWord(); }

  void literal(char c) {
    flag(false);
    out_.push_back(static_cast<std::byte>(static_cast<unsigned char>(c)));
    expanded_.push_back(c);
  }
  void literals(const std::string& s) {
    for (char c : s) literal(c);
  }

  void match(std::size_t offset, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
      expanded_.push_back(expanded_[expanded_.size() - offset]);
    }
    flag(true);
    std::size_t rest = length - 3;
    const auto word = static_cast<std::uint32_t>(((offset - 1) << 3) | (rest < 7 ? rest : 7));
    Put(word, 2);
    if (rest < 7) return;
    rest -= 7;
    const unsigned nibble = rest < 15 ? static_cast<unsigned>(rest) : 15u;
    if (half_byte_at_ == kNone) {
      half_byte_at_ = out_.size();
      out_.push_back(static_cast<std::byte>(nibble));
    } else {
      out_[half_byte_at_] |= static_cast<std::byte>(nibble << 4);
      half_byte_at_ = kNone;
    }
    if (rest < 15) return;
    rest -= 15;
    if (rest < 255) {
      Put(static_cast<std::uint32_t>(rest), 1);
      return;
    }
    Put(255, 1);
    const std::size_t total = rest + 15 + 7;
    if (total <= 0xffff) {
      Put(static_cast<std::uint32_t>(total), 2);
    } else {
      Put(0, 2);
      Put(static_cast<std::uint32_t>(total), 4);
    }
  }

  // The value as stored: header byte, 16-bit size, stream. Unused flag
  // bits of the last word are set, as the format's encoder leaves them.
  Bytes stored() const {
    Bytes stream = out_;
    const std::uint32_t word = flags_ | (flags_used_ < 32 ? (0xffffffffu >> flags_used_) : 0);
    for (int i = 0; i < 4; ++i) stream[flag_at_ + i] = static_cast<std::byte>(word >> (8 * i));
    return withHeader(expanded_.size(), stream);
  }
  const std::string& expanded() const { return expanded_; }

 private:
  static constexpr std::size_t kNone = ~std::size_t{0};

  void startFlagWord() {
    flag_at_ = out_.size();
    out_.resize(out_.size() + 4);
    flags_ = 0;
    flags_used_ = 0;
  }
  void flag(bool set) {
    if (flags_used_ == 32) {
      for (int i = 0; i < 4; ++i) out_[flag_at_ + i] = static_cast<std::byte>(flags_ >> (8 * i));
      startFlagWord();
    }
    if (set) flags_ |= 1u << (31 - flags_used_);
    ++flags_used_;
  }
  void Put(std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<std::byte>(value >> (8 * i)));
  }

  Bytes out_;
  std::string expanded_;
  std::size_t flag_at_ = 0;
  std::uint32_t flags_ = 0;
  unsigned flags_used_ = 0;
  std::size_t half_byte_at_ = kNone;
};

TEST(Xpress, DecodesTheFormatDocumentationExamples) {
  // 26 literals: one flag word with the first 26 bits clear.
  Bytes stream = B({0x3f, 0x00, 0x00, 0x00});
  for (char c = 'a'; c <= 'z'; ++c) stream.push_back(static_cast<std::byte>(c));
  Bytes out;
  ASSERT_EQ(decompressValue(withHeader(26, stream), out), JET_errSuccess);
  EXPECT_EQ(toString(out), "abcdefghijklmnopqrstuvwxyz");

  // "abc" 100 times: three literals and one match of 297 at offset 3, whose
  // length goes through the half byte (15), the byte (255) and the 16-bit
  // escape (294 = 297 - 3).
  const Bytes runs = B({0xff, 0xff, 0xff, 0x1f, 0x61, 0x62, 0x63, 0x17, 0x00, 0x0f, 0xff, 0x26, 0x01});
  ASSERT_EQ(decompressValue(withHeader(300, runs), out), JET_errSuccess);
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += "abc";
  EXPECT_EQ(toString(out), expected);
}

TEST(Xpress, SharesOneHalfByteBetweenTwoLongMatches) {
  // "ab", match(offset 2, length 12), "c", match(offset 1, length 13): the
  // first long match takes the low half of byte 0x32 (2 + 7 + 3 = 12), the
  // second its high half (3 + 7 + 3 = 13).
  const Bytes stream = B({0xff, 0xff, 0xff, 0x2f, 0x61, 0x62, 0x0f, 0x00, 0x32, 0x63, 0x07, 0x00});
  Bytes out;
  ASSERT_EQ(decompressValue(withHeader(28, stream), out), JET_errSuccess);
  EXPECT_EQ(toString(out), "ab" + std::string("abababababab") + "c" + std::string(13, 'c'));
}

TEST(Xpress, DecodesOverlappingMatchesAndEveryLengthTier) {
  XpressWriter w;
  w.literals("x");
  w.match(1, 3);        // shortest match, a run of the byte just written
  w.literals("Contact");
  w.match(7, 9);        // longest match without escape
  w.match(7, 10);       // first half-byte length
  w.match(16, 24);      // largest half-byte length (7 + 14 + 3)
  w.match(2, 25);       // first byte length
  w.literals("QR");
  w.match(2, 279);      // largest byte length (7 + 15 + 254 + 3)
  w.match(5, 280);      // first 16-bit length
  w.match(3, 4000);
  for (int i = 0; i < 40; ++i) w.literal(static_cast<char>('A' + i % 26));  // spans flag words
  w.match(40, 40);
  ASSERT_LT(w.expanded().size(), 0x10000u);
  Bytes out;
  ASSERT_EQ(decompressValue(w.stored(), out), JET_errSuccess);
  EXPECT_EQ(toString(out), w.expanded());
}

TEST(Xpress, DecodesThe32BitLengthEscape) {
  // A 16-bit escape of 0 announces a 32-bit length. The engine's values
  // never need one, but the format allows it and it must not upset the
  // size bound: the match is cut at the promised size.
  XpressWriter w;
  w.literal('z');
  w.match(1, 70000);
  Bytes stored = w.stored();
  stored[1] = std::byte{0xff};
  stored[2] = std::byte{0xff};
  Bytes out;
  ASSERT_EQ(decompressValue(stored, out), JET_errSuccess);
  EXPECT_EQ(toString(out), std::string(0xffff, 'z'));
}

TEST(Xpress, OutputIsExactlyThePromisedSize) {
  XpressWriter w;
  w.literals("Mail address: ");
  w.match(14, 100);
  const Bytes stored = w.stored();
  const std::string full = w.expanded();
  Bytes out;
  // Promising less than the stream holds cuts the value there.
  for (std::size_t size : {0u, 1u, 14u, 15u, 50u}) {
    Bytes shorter = stored;
    shorter[1] = static_cast<std::byte>(size);
    shorter[2] = std::byte{0};
    ASSERT_EQ(decompressValue(shorter, out), JET_errSuccess) << size;
    EXPECT_EQ(toString(out), full.substr(0, size));
  }
  // Promising more than the stream holds is corruption.
  Bytes longer = stored;
  longer[1] = static_cast<std::byte>(full.size() + 1);
  EXPECT_EQ(decompressValue(longer, out), JET_errDecompressionFailed);
  EXPECT_TRUE(out.empty());
}

TEST(Xpress, EveryTruncationIsAnError) {
  XpressWriter w;
  w.literals("Given name");
  w.match(10, 30);
  w.literals("Surname");
  w.match(7, 300);
  const Bytes stored = w.stored();
  Bytes out;
  ASSERT_EQ(decompressValue(stored, out), JET_errSuccess);
  for (std::size_t cut = 0; cut < stored.size(); ++cut) {
    const Bytes prefix(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(decompressValue(prefix, out), JET_errDecompressionFailed) << cut;
    EXPECT_TRUE(out.empty());
  }
}

TEST(Xpress, RejectsMatchesBeforeTheStartAndShortEscapes) {
  Bytes out;
  // A match as the very first token has nothing to copy from.
  EXPECT_EQ(decompressValue(withHeader(3, B({0xff, 0xff, 0xff, 0xff, 0x00, 0x00})), out),
            JET_errDecompressionFailed);
  // One literal, then a match reaching two bytes back.
  EXPECT_EQ(decompressValue(withHeader(4, B({0xff, 0xff, 0xff, 0x7f, 0x41, 0x08, 0x00})), out),
            JET_errDecompressionFailed);
  // A 16-bit length escape below 15 + 7 cannot have been written.
  EXPECT_EQ(decompressValue(withHeader(40, B({0xff, 0xff, 0xff, 0x7f, 0x41, 0x07, 0x00, 0x0f,
                                               0xff, 0x15, 0x00})),
                            out),
            JET_errDecompressionFailed);
  EXPECT_TRUE(out.empty());
}

TEST(Schemes, UnsupportedAndUnknownSchemesAreAClearError) {
  Bytes out{std::byte{1}};
  // Scheme 0 (not compressed), 4 (scrubbed), 5 (XPRESS9), 6 (XPRESS10) and a
  // number no engine writes, each followed by plausible bytes.
  for (unsigned header : {0x00u, 0x20u, 0x28u, 0x30u, 0xf8u}) {
    const Bytes stored = B({header, 0x10, 0x00, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46});
    EXPECT_EQ(decompressValue(stored, out), JET_errDecompressionFailed) << header;
    EXPECT_TRUE(out.empty());
  }
  EXPECT_EQ(decompressValue({}, out), JET_errDecompressionFailed);
  EXPECT_EQ(decompressValue(B({0x18, 0x05}), out), JET_errDecompressionFailed);
}

TEST(Schemes, RandomBytesNeverOverrunTheSizeBound) {
  // Random values under every scheme number: each decodes or fails cleanly
  // (the sanitizer build checks the reads), and a success stays within what
  // its header allows.
  std::mt19937 rng(20261207);
  Bytes out;
  for (int round = 0; round < 20000; ++round) {
    Bytes stored(1 + rng() % 64);
    for (std::byte& b : stored) b = static_cast<std::byte>(rng());
    stored[0] = static_cast<std::byte>((static_cast<unsigned>(round) % 8) << 3 | (rng() & 7));
    const JET_ERR err = decompressValue(stored, out);
    if (err != JET_errSuccess) {
      ASSERT_EQ(err, JET_errDecompressionFailed);
      ASSERT_TRUE(out.empty());
      continue;
    }
    const unsigned scheme = std::to_integer<unsigned>(stored[0]) >> 3;
    if (scheme == 3) {
      ASSERT_EQ(out.size(), std::to_integer<std::size_t>(stored[1]) |
                                std::to_integer<std::size_t>(stored[2]) << 8);
    } else {
      ASSERT_LE(out.size(), stored.size() * 16 / 7);
    }
  }
}

}  // namespace
}  // namespace ese
