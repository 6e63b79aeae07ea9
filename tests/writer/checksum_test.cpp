// SPDX-License-Identifier: Apache-2.0
// The checksums the writer stamps must be the ones Windows computes: every
// page and header of the real databases is re-summed and compared with the
// value stored in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bytes.h"
#include "checksum.h"
#include "file_io.h"
#include "test_paths.h"

namespace corvadex::esew {
namespace {

std::vector<unsigned char> readFile(const std::string& path) {
  const std::string bytes = testing::readFile(path);
  return {bytes.begin(), bytes.end()};
}

TEST(Checksum, ReproducesEveryStoredChecksumOfTheRealDatabases) {
  int pagesChecked = 0;
  for (const std::string& name : testing::eseSampleNames()) {
    const auto file = readFile(testing::eseSample(name));
    ASSERT_GE(file.size(), 3 * 4096u) << name;
    const std::size_t pageSize = loadU32(file.data() + 236);
    ASSERT_EQ(pageSize, 4096u);
    EXPECT_EQ(loadU32(file.data()), legacyChecksum(file.data(), pageSize)) << name << " header";
    EXPECT_EQ(loadU32(file.data() + pageSize), legacyChecksum(file.data() + pageSize, pageSize))
        << name << " shadow header";
    for (std::size_t off = 2 * pageSize; off + pageSize <= file.size(); off += pageSize) {
      const unsigned char* page = file.data() + off;
      bool blank = true;
      for (std::size_t i = 0; i < pageSize && blank; ++i) blank = page[i] == 0;
      if (blank) continue;  // never written
      const auto pgno = static_cast<std::uint32_t>(off / pageSize - 1);
      std::uint64_t stored = 0;
      for (int i = 7; i >= 0; --i) stored = (stored << 8) | page[i];
      EXPECT_EQ(stored, eccChecksum(page, pageSize, pgno, true)) << name << " page " << pgno;
      ++pagesChecked;
    }
  }
  EXPECT_GT(pagesChecked, 100);
}

TEST(Checksum, StampedPagesVerifyAndCatchASingleFlippedBit) {
  for (std::size_t pageSize : {4096u, 8192u, 16384u, 32768u}) {
    std::vector<unsigned char> page(pageSize);
    for (std::size_t i = 0; i < pageSize; ++i) page[i] = static_cast<unsigned char>((i * 131) >> 3);
    const std::uint32_t pgno = 77;
    stampPageChecksum(page.data(), pageSize, pgno, true);
    const std::size_t block = pageSize > 8192 ? pageSize / 4 : pageSize;
    auto stored = [&](std::size_t at) {
      std::uint64_t v = 0;
      for (int i = 7; i >= 0; --i) v = (v << 8) | page[at + static_cast<std::size_t>(i)];
      return v;
    };
    ASSERT_EQ(stored(0), eccChecksum(page.data(), block, pgno, true));
    // A bit flipped anywhere, the last block of a large page included,
    // no longer matches its block's checksum.
    page[pageSize - 3] ^= 0x10;
    const std::size_t lastBlock = pageSize / block - 1;
    const std::uint64_t recorded = lastBlock == 0 ? stored(0) : stored(40 + 8 * (lastBlock - 1));
    EXPECT_NE(recorded, eccChecksum(page.data() + lastBlock * block, block, pgno, lastBlock == 0))
        << pageSize;
  }
  // The legacy scheme keeps the page number at offset 4, inside the sum.
  std::vector<unsigned char> page(4096, 0x5a);
  stampPageChecksum(page.data(), page.size(), 9, false);
  EXPECT_EQ(loadU32(page.data() + 4), 9u);
  EXPECT_EQ(loadU32(page.data()), legacyChecksum(page.data(), page.size()));
}

}  // namespace
}  // namespace corvadex::esew
