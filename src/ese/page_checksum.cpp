#include "ese/page_checksum.h"

#include <bit>

namespace ese {

std::uint32_t XorChecksum(Bytes block) {
  std::uint32_t x = 0x89ABCDEFu;
  const std::byte* p = block.data();
  const std::size_t words = block.size() / 4;
  for (std::size_t i = 1; i < words; ++i) x ^= ByteView::LoadU32(p + 4 * i);
  return x;
}

// The block is a matrix of 32-bit rows. The code records, for rows of odd
// parity, the XOR of their row numbers and of their complements, and, for
// columns of odd parity, the XOR of their column numbers and complements;
// a single flipped bit then shows its own position.
std::uint64_t EccChecksum(Bytes block, std::uint32_t pgno, bool header_block) {
  const std::byte* p = block.data();
  const std::uint32_t rows = static_cast<std::uint32_t>(block.size() / 4);
  std::uint32_t column_parity = 0;
  std::uint32_t row_index = 0;
  std::uint32_t row_complement = 0;
  for (std::uint32_t row = header_block ? 2 : 0; row < rows; ++row) {
    const std::uint32_t word = ByteView::LoadU32(p + 4 * std::size_t{row});
    column_parity ^= word;
    if (std::popcount(word) & 1) {
      row_index ^= row;
      row_complement ^= ~row;
    }
  }
  std::uint32_t column_index = 0;
  std::uint32_t column_complement = 0;
  for (std::uint32_t column = 0; column < 32; ++column) {
    if ((column_parity >> column) & 1u) {
      column_index ^= column;
      column_complement ^= ~column;
    }
  }
  const std::uint32_t row_mask = rows - 1;
  const std::uint32_t ecc = ((row_complement & row_mask) << 21) |
                            ((column_complement & 31u) << 16) |
                            ((row_index & row_mask) << 5) | (column_index & 31u);
  return (static_cast<std::uint64_t>(ecc) << 32) | (column_parity ^ pgno);
}

bool VerifyPageChecksum(Bytes page, std::uint32_t pgno, bool new_format) {
  const std::size_t size = page.size();
  if (size < 2048 || size % 2048 != 0) return false;
  const std::byte* p = page.data();
  if (!new_format) {
    return ByteView::LoadU32(p) == XorChecksum(page) && ByteView::LoadU32(p + 4) == pgno;
  }
  if (size <= 8192) {
    return ByteView::LoadU64(p) == EccChecksum(page, pgno, true);
  }
  const std::size_t block = size <= 16384 ? 4096 : 8192;
  if (ByteView::LoadU64(p) != EccChecksum(page.first(block), pgno, true)) return false;
  std::size_t slot = 40;
  for (std::size_t offset = block; offset < size; offset += block, slot += 8) {
    const std::size_t length = size - offset < block ? size - offset : block;
    if (slot > 56) return false;
    if (ByteView::LoadU64(p + slot) != EccChecksum(page.subspan(offset, length), pgno, false)) {
      return false;
    }
  }
  return true;
}

}  // namespace ese
