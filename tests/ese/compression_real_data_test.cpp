// SPDX-License-Identifier: Apache-2.0
// Decompression checked against values Windows itself compressed.
//
// The sample databases hold 7-bit and XPRESS-compressed values, and each
// sample's dump lists every value as it reads once decompressed. Without
// parsing any record, this test finds compressed values in the raw file: a
// 7-bit value is located by packing an expected value and searching for the
// packed bytes; an XPRESS value by trying every XPRESS header whose size
// matches an expected value (the decoder stops at the promised size, so the
// bytes after the value do not matter). Each hit must decode to the value
// the dump lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ese/compression.h"
#include "file_io.h"
#include "test_paths.h"

namespace ese {
namespace {

using Bytes = std::vector<std::byte>;
using corvadex::testing::eseSample;
using corvadex::testing::eseSampleDump;
using corvadex::testing::readFile;

Bytes toBytes(const std::string& s) {
  Bytes out(s.size());
  std::transform(s.begin(), s.end(), out.begin(),
                 [](char c) { return static_cast<std::byte>(static_cast<unsigned char>(c)); });
  return out;
}

// Every value the dump lists: its quoted lowercase hex strings.
std::set<std::string> dumpValues(const std::string& dump) {
  auto digit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  std::set<std::string> values;
  std::size_t open = dump.find('"');
  while (open != std::string::npos) {
    const std::size_t close = dump.find('"', open + 1);
    if (close == std::string::npos) break;
    const std::size_t length = close - open - 1;
    if (length > 0 && length % 2 == 0 &&
        std::all_of(dump.begin() + static_cast<std::ptrdiff_t>(open + 1),
                    dump.begin() + static_cast<std::ptrdiff_t>(close), digit)) {
      std::string value;
      for (std::size_t i = open + 1; i < close; i += 2) {
        value.push_back(static_cast<char>(nibble(dump[i]) * 16 + nibble(dump[i + 1])));
      }
      values.insert(value);
    }
    open = dump.find('"', close + 1);
  }
  return values;
}

std::string pack7(unsigned scheme, const std::string& codes) {
  std::string out(1, static_cast<char>(scheme << 3));
  std::size_t bit = 0;
  for (char c : codes) {
    for (unsigned i = 0; i < 7; ++i, ++bit) {
      if (bit % 8 == 0) out.push_back('\0');
      if ((static_cast<unsigned char>(c) >> i) & 1) {
        out.back() = static_cast<char>(out.back() | (1 << (bit % 8)));
      }
    }
  }
  out[0] = static_cast<char>(out[0] | (bit - (out.size() - 2) * 8 - 1));
  return out;
}

bool sevenBitAscii(const std::string& v) {
  return std::all_of(v.begin(), v.end(), [](char c) { return (c & 0x80) == 0; });
}

bool sevenBitUtf16(const std::string& v) {
  if (v.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < v.size(); i += 2) {
    if ((v[i] & 0x80) != 0 || v[i + 1] != 0) return false;
  }
  return true;
}

struct Found {
  int seven_bit = 0;
  int xpress = 0;
};

Found findCompressedValues(const std::string& name) {
  const std::string file = readFile(eseSample(name));
  const std::set<std::string> values = dumpValues(readFile(eseSampleDump(name)));
  EXPECT_FALSE(file.empty()) << name;
  EXPECT_FALSE(values.empty()) << name;
  Found found;
  Bytes out;
  std::map<std::size_t, std::vector<const std::string*>> by_size;
  for (const std::string& v : values) {
    if (v.size() < 4) continue;
    by_size[v.size()].push_back(&v);
    std::string packed;
    if (sevenBitAscii(v)) {
      packed = pack7(1, v);
    } else if (sevenBitUtf16(v)) {
      std::string codes;
      for (std::size_t i = 0; i < v.size(); i += 2) codes.push_back(v[i]);
      packed = pack7(2, codes);
    } else {
      continue;
    }
    if (file.find(packed) == std::string::npos) continue;
    EXPECT_EQ(decompressValue(toBytes(packed), out), JET_errSuccess);
    EXPECT_EQ(out, toBytes(v));
    ++found.seven_bit;
  }
  for (std::size_t p = 0; p + 3 < file.size(); ++p) {
    if (file[p] != 0x18) continue;
    const std::size_t size = static_cast<unsigned char>(file[p + 1]) |
                             static_cast<std::size_t>(static_cast<unsigned char>(file[p + 2])) << 8;
    const auto candidates = by_size.find(size);
    if (candidates == by_size.end()) continue;
    const std::size_t end = std::min(file.size(), p + 3 + 2 * size + 64);
    if (decompressValue(toBytes(file.substr(p, end - p)), out) != JET_errSuccess) continue;
    for (const std::string* v : candidates->second) {
      if (out == toBytes(*v)) {
        ++found.xpress;
        break;
      }
    }
  }
  return found;
}

TEST(CompressionOnRealData, TextSampleHoldsSevenBitAndXpressValues) {
  const Found found = findCompressedValues("text");
  EXPECT_GE(found.seven_bit, 1);
  EXPECT_GE(found.xpress, 1);
}

TEST(CompressionOnRealData, MultiValuedSampleHoldsCompressedValues) {
  const Found found = findCompressedValues("multi");
  EXPECT_GE(found.seven_bit, 1);
  EXPECT_GE(found.xpress, 1);
}

TEST(CompressionOnRealData, BinarySampleHoldsCompressedValues) {
  const Found found = findCompressedValues("binary");
  EXPECT_GE(found.xpress, 1);
}

}  // namespace
}  // namespace ese
