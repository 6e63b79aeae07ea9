// SPDX-License-Identifier: Apache-2.0
// File header, page header, tag and checksum parsing.
#include <gtest/gtest.h>

#include "ese/file_header.h"
#include "ese/page.h"
#include "ese/page_checksum.h"
#include "file_io.h"
#include "page_patch.h"
#include "test_paths.h"

namespace ese {
namespace {

using testing::get32;
using testing::patchPage;
using testing::put16;
using testing::put32;
using corvadex::testing::readFileBytes;
using corvadex::testing::eseSample;

Bytes asBytes(const std::vector<std::uint8_t>& v, std::size_t offset = 0, std::size_t size = 0) {
  return Bytes(reinterpret_cast<const std::byte*>(v.data()) + offset,
               size == 0 ? v.size() - offset : size);
}

void fixHeaderChecksum(std::vector<std::uint8_t>& image) {
  put32(image.data(), xorChecksum(asBytes(image, 0, kFileHeaderSize)));
}

const char* const kSamples[] = {"basic", "binary", "default", "index", "multi", "text"};

TEST(PageChecksum, EveryWrittenPageOfTheSamplesVerifies) {
  for (const char* name : kSamples) {
    const auto image = readFileBytes(eseSample(name));
    const std::uint32_t page_size = 4096;
    std::size_t verified = 0;
    for (std::uint32_t pgno = 1; (pgno + 2) * std::size_t{page_size} <= image.size(); ++pgno) {
      const std::uint8_t* page = image.data() + (pgno + 1) * std::size_t{page_size};
      if (get32(page) == 0 && get32(page + 4) == 0) continue;  // never written
      const bool new_format = (get32(page + 36) & kPageNewChecksum) != 0;
      EXPECT_TRUE(verifyPageChecksum(asBytes(image, (pgno + 1) * std::size_t{page_size}, page_size),
                                     pgno, new_format))
          << name << " page " << pgno;
      ++verified;
    }
    EXPECT_GT(verified, 10u) << name;
  }
}

TEST(PageChecksum, FlippedBitsAndWrongPageNumbersAreDetected) {
  auto image = readFileBytes(eseSample("basic"));
  const std::size_t at = 5 * 4096;  // data page 4, the catalog's root
  ASSERT_TRUE(verifyPageChecksum(asBytes(image, at, 4096), 4, true));
  EXPECT_FALSE(verifyPageChecksum(asBytes(image, at, 4096), 5, true));
  for (std::size_t bit = 0; bit < 4096 * 8; bit += 997) {
    image[at + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    EXPECT_FALSE(verifyPageChecksum(asBytes(image, at, 4096), 4, true)) << "bit " << bit;
    image[at + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
  }
}

// The code by its definition, one row at a time.
std::uint64_t eccByDefinition(const std::vector<std::uint8_t>& block, std::uint32_t pgno,
                              bool header_block) {
  const std::uint32_t rows = static_cast<std::uint32_t>(block.size() / 4);
  std::uint32_t columns = 0, odd_rows = 0, odd_rows_complement = 0;
  for (std::uint32_t r = header_block ? 2 : 0; r < rows; ++r) {
    const std::uint32_t w = get32(block.data() + 4 * r);
    columns ^= w;
    if (__builtin_parity(w)) {
      odd_rows ^= r;
      odd_rows_complement ^= ~r;
    }
  }
  std::uint32_t odd_columns = 0, odd_columns_complement = 0;
  for (std::uint32_t c = 0; c < 32; ++c) {
    if ((columns >> c) & 1) {
      odd_columns ^= c;
      odd_columns_complement ^= ~c;
    }
  }
  const std::uint32_t m = rows - 1;
  const std::uint32_t ecc = ((odd_rows_complement & m) << 21) | ((odd_columns_complement & 31) << 16) |
                            ((odd_rows & m) << 5) | (odd_columns & 31);
  return (std::uint64_t{ecc} << 32) | (columns ^ pgno);
}

TEST(PageChecksum, EccOfEveryBlockSizeMatchesItsDefinition) {
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (std::size_t size : {2048u, 4096u, 8192u}) {
    for (int round = 0; round < 20; ++round) {
      std::vector<std::uint8_t> block(size);
      for (auto& b : block) b = static_cast<std::uint8_t>(next() >> 16);
      if (round % 4 == 1) std::fill(block.begin() + 100, block.end(), 0);  // mostly empty
      for (bool header : {true, false}) {
        const std::uint32_t pgno = next() % 100000;
        EXPECT_EQ(eccChecksum(asBytes(block), pgno, header), eccByDefinition(block, pgno, header))
            << size << " round " << round << " header " << header;
      }
    }
  }
}

TEST(PageChecksum, OldXorFormatCoversThePageAndItsNumber) {
  std::vector<std::uint8_t> image(3 * 2048, 0);
  patchPage(image, 2048, 1, [](std::uint8_t* page) {
    for (int i = 8; i < 2048; ++i) page[i] = static_cast<std::uint8_t>(i * 7);
    put32(page + 36, kPageLeaf);  // no new-checksum flag
  });
  const Bytes page = asBytes(image, 2 * 2048, 2048);
  EXPECT_TRUE(verifyPageChecksum(page, 1, false));
  EXPECT_FALSE(verifyPageChecksum(page, 2, false));
  image[2 * 2048 + 1000] ^= 0x10;
  EXPECT_FALSE(verifyPageChecksum(asBytes(image, 2 * 2048, 2048), 1, false));
}

TEST(PageChecksum, LargePagesCheckEveryBlock) {
  for (std::uint32_t page_size : {16384u, 32768u}) {
    std::vector<std::uint8_t> image(3 * std::size_t{page_size}, 0);
    patchPage(image, page_size, 1, [&](std::uint8_t* page) {
      for (std::uint32_t i = 80; i < page_size; ++i) page[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
    });
    const std::size_t at = 2 * std::size_t{page_size};
    EXPECT_TRUE(verifyPageChecksum(asBytes(image, at, page_size), 1, true)) << page_size;
    // A change in the last block, and a change of a block's stored checksum.
    for (std::size_t offset : {std::size_t{page_size} - 3, std::size_t{44}}) {
      image[at + offset] ^= 0x01;
      EXPECT_FALSE(verifyPageChecksum(asBytes(image, at, page_size), 1, true))
          << page_size << " offset " << offset;
      image[at + offset] ^= 0x01;
    }
  }
}

TEST(FileHeader, SampleHeaderReadsAsWritten) {
  const auto image = readFileBytes(eseSample("text"));
  FileHeader h;
  ASSERT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errSuccess);
  EXPECT_EQ(h.format_version, 0x620u);
  EXPECT_EQ(h.format_revision, 0x14u);
  EXPECT_EQ(h.page_size, 4096u);
  EXPECT_EQ(databaseStateText(h.state), "clean shutdown");
}

TEST(FileHeader, EachDefectHasItsOwnStatus) {
  const auto original = readFileBytes(eseSample("basic"));
  FileHeader h;
  auto image = original;

  image[4] ^= 0xff;  // signature
  EXPECT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errInvalidDatabase);

  image = original;
  image[300] ^= 0x01;  // content without a matching checksum
  EXPECT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errReadVerifyFailure);

  image = original;
  EXPECT_EQ(parseFileHeader(asBytes(image, 0, 100), h), JET_errFileIOBeyondEOF);

  image = original;
  put32(image.data() + 236, 12345);
  fixHeaderChecksum(image);
  EXPECT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errInvalidDatabase);

  image = original;
  put32(image.data() + 8, 0x500);  // another format
  fixHeaderChecksum(image);
  EXPECT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errInvalidDatabase);

  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_EQ(parseFileHeader(asBytes(text), h), JET_errInvalidDatabase);
}

TEST(FileHeader, OldFilesWithoutPageSizeUse4KiBAndDirtyStateIsReadAsIs) {
  auto image = readFileBytes(eseSample("basic"));
  put32(image.data() + 236, 0);
  put32(image.data() + 52, 2);
  fixHeaderChecksum(image);
  FileHeader h;
  ASSERT_EQ(parseFileHeader(asBytes(image, 0, 4096), h), JET_errSuccess);
  EXPECT_EQ(h.page_size, 4096u);
  EXPECT_EQ(databaseStateText(h.state), "dirty shutdown");
}

// A 4 KiB page with a 40-byte header and the given tags, values packed from
// the start of the data area.
std::vector<std::uint8_t> smallPage(const std::vector<std::vector<std::uint8_t>>& values,
                                    std::uint8_t flags_of_tag1) {
  std::vector<std::uint8_t> page(4096, 0);
  put16(page.data() + 34, static_cast<std::uint16_t>(values.size()));
  std::size_t offset = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::copy(values[i].begin(), values[i].end(), page.begin() + 40 + static_cast<long>(offset));
    std::uint8_t* tag = page.data() + 4096 - 4 * (i + 1);
    put16(tag, static_cast<std::uint16_t>(values[i].size()));
    const std::uint16_t flags = i == 1 ? flags_of_tag1 : 0;
    put16(tag + 2, static_cast<std::uint16_t>(offset | (flags << 13)));
    offset += values[i].size();
  }
  return page;
}

TEST(PageTags, SmallPageTagsGiveValueAndFlags) {
  auto bytes = smallPage({{1, 2, 3}, {9, 8, 7, 6}}, kTagCompressed);
  Page page;
  ASSERT_EQ(Page::parse(asBytes(bytes), 7, page), JET_errSuccess);
  EXPECT_EQ(page.tag_count(), 2);
  PageTag tag;
  ASSERT_TRUE(page.tag(1, tag));
  EXPECT_EQ(tag.flags, kTagCompressed);
  ASSERT_EQ(tag.value.size(), 4u);
  EXPECT_EQ(static_cast<int>(tag.value.data()[0]), 9);
  EXPECT_FALSE(page.tag(2, tag));

  // A tag whose value would run into the tag array is refused.
  put16(bytes.data() + 4096 - 8, 0x1fff);
  ASSERT_EQ(Page::parse(asBytes(bytes), 7, page), JET_errSuccess);
  EXPECT_FALSE(page.tag(1, tag));

  // A tag count whose array cannot fit in the page is corruption.
  put16(bytes.data() + 34, 1100);
  EXPECT_EQ(Page::parse(asBytes(bytes), 7, page), JET_errDatabaseCorrupted);
}

TEST(PageTags, LargePagesTakeFlagsFromTheValue) {
  std::vector<std::uint8_t> bytes(16384, 0);
  put16(bytes.data() + 34, 2);
  // Tag 1: 6 bytes at offset 0x2000 from the 80-byte header, 15-bit fields.
  const std::uint16_t offset = 0x2000;
  put16(bytes.data() + 16384 - 8, 6);
  put16(bytes.data() + 16384 - 6, offset);
  bytes[80 + offset + 1] = static_cast<std::uint8_t>(kTagDeleted << 5);
  Page page;
  ASSERT_EQ(Page::parse(asBytes(bytes), 3, page), JET_errSuccess);
  EXPECT_TRUE(page.large());
  PageTag tag;
  ASSERT_TRUE(page.tag(1, tag));
  EXPECT_EQ(tag.flags, kTagDeleted);
  EXPECT_EQ(tag.value.size(), 6u);
  EXPECT_EQ(tag.value.data(), asBytes(bytes).data() + 80 + offset);
}

}  // namespace
}  // namespace ese
