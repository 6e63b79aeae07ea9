// SPDX-License-Identifier: Apache-2.0
#include "checksum.h"

#include "bytes.h"

namespace corvadex::esew {

namespace {

bool oddParity(std::uint32_t v) {
  v ^= v >> 16;
  v ^= v >> 8;
  v ^= v >> 4;
  v ^= v >> 2;
  v ^= v >> 1;
  return (v & 1u) != 0;
}

}  // namespace

std::uint32_t legacyChecksum(const unsigned char* block, std::size_t size) {
  std::uint32_t sum = 0x89abcdefu;
  for (std::size_t off = 4; off + 4 <= size; off += 4) sum ^= loadU32(block + off);
  return sum;
}

std::uint64_t eccChecksum(const unsigned char* block, std::size_t size, std::uint32_t pgno,
                          bool headerBlock) {
  const auto rows = static_cast<std::uint32_t>(size / 4);
  std::uint32_t columnParity = 0, p = 0, q = 0;
  for (std::uint32_t row = headerBlock ? 2u : 0u; row < rows; ++row) {
    const std::uint32_t word = loadU32(block + 4 * static_cast<std::size_t>(row));
    columnParity ^= word;
    if (oddParity(word)) {
      p ^= row;
      q ^= ~row;
    }
  }
  std::uint32_t r = 0, s = 0;
  for (std::uint32_t column = 0; column < 32; ++column) {
    if ((columnParity >> column) & 1u) {
      r ^= column;
      s ^= ~column;
    }
  }
  const std::uint32_t ecc = ((q & (rows - 1)) << 21) | ((s & 31u) << 16) |
                            ((p & (rows - 1)) << 5) | (r & 31u);
  return (static_cast<std::uint64_t>(ecc) << 32) | (columnParity ^ pgno);
}

void stampPageChecksum(unsigned char* page, std::size_t pageSize, std::uint32_t pgno, bool ecc) {
  if (!ecc) {
    storeU32(page + 4, pgno);
    storeU32(page, legacyChecksum(page, pageSize));
    return;
  }
  std::size_t block = pageSize;
  if (pageSize > 8192) {
    block = pageSize / 4;
    for (std::size_t i = 1; i < 4; ++i)
      storeU64(page + 40 + 8 * (i - 1), eccChecksum(page + i * block, block, pgno, false));
  }
  storeU64(page, eccChecksum(page, block, pgno, true));
}

}  // namespace corvadex::esew
