// SPDX-License-Identifier: Apache-2.0
#include "ese/page_checksum.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ese {

using corvadex::base::loadLe32;
using corvadex::base::loadLe64;

std::uint32_t xorChecksum(Bytes block) {
  std::uint32_t x = 0x89ABCDEFu;
  const std::byte* p = block.data();
  const std::size_t words = block.size() / 4;
  for (std::size_t i = 1; i < words; ++i) x ^= loadLe32(p + 4 * i);
  return x;
}

namespace {

std::uint32_t fold(std::uint64_t x) {
  return static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(x >> 32);
}

// Without a call: std::popcount is a library routine on baseline x86-64.
std::uint32_t parity(std::uint32_t x) {
  x ^= x >> 16;
  x ^= x >> 8;
  x ^= x >> 4;
  return (0x6996u >> (x & 0xfu)) & 1u;
}

// The row-number bits from `first_bit` on, from the XORs of `n` equal
// groups of rows in order (the array is used up): bit first_bit is the
// parity of the odd groups, the next that of the odd pairs of groups, and
// so on.
std::uint32_t groupBits(std::uint64_t* xors, std::size_t n, std::uint32_t first_bit) {
  std::uint32_t bits = 0;
  for (std::uint32_t k = first_bit; n > 1; ++k, n /= 2) {
    std::uint64_t odd = 0;
    for (std::size_t i = 0; i < n / 2; ++i) {
      odd ^= xors[2 * i + 1];
      xors[i] = xors[2 * i] ^ xors[2 * i + 1];
    }
    bits |= parity(fold(odd)) << k;
  }
  return bits;
}

}  // namespace

// The block is a matrix of 32-bit rows. The code records, for rows of odd
// parity, the XOR of their row numbers and of their complements, and, for
// columns of odd parity, the XOR of their column numbers and complements;
// a single flipped bit then shows its own position.
//
// Bit k of the XOR of the odd rows' numbers is the parity of all rows
// whose number has bit k set, taken together. So the rows are XORed in
// groups instead of testing each one: pairs of rows as 64-bit words, blocks
// of eight rows, then blocks of blocks.
std::uint64_t eccChecksum(Bytes block, std::uint32_t pgno, bool header_block) {
  const std::byte* p = block.data();
  const std::size_t rows = block.size() / 4;
  const std::size_t blocks = rows / 8;  // block sizes are multiples of 2 KiB
  std::uint64_t all = 0;    // low half: even rows, high half: odd rows
  std::uint64_t bit1 = 0;   // rows with bit 1 of their number set
  std::uint64_t bit2 = 0;   // rows with bit 2 set
  std::uint32_t row_index = 0;
#if defined(__SSE2__)
  if (blocks >= 8 && blocks <= 256 && std::has_single_bit(blocks)) {
    // Eight blocks (256 bytes) a step. Each block's two 16-byte halves
    // a = (q0, q1), b = (q2, q3) give a ^ b = (q0 ^ q2, q1 ^ q3), whose high
    // half is what bit1 gathers; b's halves together are what bit2 gathers.
    // Row bits 3 to 5 are block bits 0 to 2, gathered within the step from
    // its eight blocks; row bits 6 and up are bits of the step's number,
    // gathered from the steps' XORs afterwards. A parity is linear, so each
    // gathering stays 128 bits wide until the end.
    __m128i sum_ab = _mm_setzero_si128();
    __m128i sum_b = _mm_setzero_si128();
    __m128i by_bit[3] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
    std::uint64_t wholes[32];  // each step's XOR, halves folded, for the bits of its number
    const std::size_t steps = blocks / 8;
    for (std::size_t step = 0; step < steps; ++step) {
      const auto* at = reinterpret_cast<const __m128i*>(p + 256 * step);
      __m128i ab[8];
#pragma GCC unroll 8
      for (int i = 0; i < 8; ++i) {
        const __m128i b = _mm_loadu_si128(at + 2 * i + 1);
        ab[i] = _mm_xor_si128(_mm_loadu_si128(at + 2 * i), b);
        sum_b = _mm_xor_si128(sum_b, b);
      }
      const __m128i t01 = _mm_xor_si128(ab[0], ab[1]);
      const __m128i t23 = _mm_xor_si128(ab[2], ab[3]);
      const __m128i t45 = _mm_xor_si128(ab[4], ab[5]);
      const __m128i t67 = _mm_xor_si128(ab[6], ab[7]);
      by_bit[0] = _mm_xor_si128(by_bit[0], _mm_xor_si128(_mm_xor_si128(ab[1], ab[3]),
                                                         _mm_xor_si128(ab[5], ab[7])));
      by_bit[1] = _mm_xor_si128(by_bit[1], _mm_xor_si128(t23, t67));
      by_bit[2] = _mm_xor_si128(by_bit[2], _mm_xor_si128(t45, t67));
      const __m128i whole = _mm_xor_si128(_mm_xor_si128(t01, t23), _mm_xor_si128(t45, t67));
      sum_ab = _mm_xor_si128(sum_ab, whole);
      const __m128i folded = _mm_xor_si128(whole, _mm_shuffle_epi32(whole, 0x4e));
      wholes[step] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(folded));
    }
    // A header block leaves out its first eight bytes (the stored checksum).
    // They reach only the whole XOR: taken out of it again, they count as
    // zeros.
    if (header_block) sum_ab = _mm_xor_si128(sum_ab, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    const auto low = [](__m128i v) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v)); };
    const auto high = [](__m128i v) {
      return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_shuffle_epi32(v, 0x4e)));
    };
    const auto parity128 = [&](__m128i v) { return parity(fold(low(v) ^ high(v))); };
    all = low(sum_ab) ^ high(sum_ab);
    bit1 = high(sum_ab);
    bit2 = low(sum_b) ^ high(sum_b);
    for (std::uint32_t bit = 0; bit < 3; ++bit) row_index |= parity128(by_bit[bit]) << (3 + bit);
    row_index |= groupBits(wholes, steps, 6);
  } else
#endif
  {
    // Any other size: pairs of rows as 64-bit words, blocks of eight rows,
    // then blocks of blocks.
    std::uint64_t xors[256];
    const std::size_t count = blocks < 256 ? blocks : 256;
    for (std::size_t j = 0; j < count; ++j) {
      const std::byte* b = p + 32 * j;
      const std::uint64_t q0 = (j == 0 && header_block) ? 0 : loadLe64(b);
      const std::uint64_t q1 = loadLe64(b + 8);
      const std::uint64_t q2 = loadLe64(b + 16);
      const std::uint64_t q3 = loadLe64(b + 24);
      const std::uint64_t x = q0 ^ q1 ^ q2 ^ q3;
      all ^= x;
      bit1 ^= q1 ^ q3;
      bit2 ^= q2 ^ q3;
      xors[j] = x;
    }
    row_index |= groupBits(xors, count, 3);
  }
  const std::uint32_t column_parity = fold(all);
  row_index |= parity(static_cast<std::uint32_t>(all >> 32)) | (parity(fold(bit1)) << 1) |
               (parity(fold(bit2)) << 2);
  // Complements: each odd row adds ~row = row ^ 0xffffffff.
  const std::uint32_t row_complement = row_index ^ (parity(column_parity) ? 0xffffffffu : 0u);

  // Likewise for the columns: bit k of the XOR of the odd columns' numbers
  // is the parity of the odd columns whose number has bit k set.
  constexpr std::uint32_t kColumnsWithBit[5] = {0xaaaaaaaau, 0xccccccccu, 0xf0f0f0f0u, 0xff00ff00u,
                                                0xffff0000u};
  std::uint32_t column_index = 0;
  for (std::uint32_t k = 0; k < 5; ++k) {
    column_index |= parity(column_parity & kColumnsWithBit[k]) << k;
  }
  const std::uint32_t column_complement =
      column_index ^ (parity(column_parity) ? 0xffffffffu : 0u);
  const std::uint32_t row_mask = static_cast<std::uint32_t>(rows - 1);
  const std::uint32_t ecc = ((row_complement & row_mask) << 21) |
                            ((column_complement & 31u) << 16) |
                            ((row_index & row_mask) << 5) | (column_index & 31u);
  return (static_cast<std::uint64_t>(ecc) << 32) | (column_parity ^ pgno);
}

bool verifyPageChecksum(Bytes page, std::uint32_t pgno, bool new_format) {
  const std::size_t size = page.size();
  if (size < 2048 || size % 2048 != 0) return false;
  const std::byte* p = page.data();
  if (!new_format) {
    return loadLe32(p) == xorChecksum(page) && loadLe32(p + 4) == pgno;
  }
  if (size <= 8192) {
    return loadLe64(p) == eccChecksum(page, pgno, true);
  }
  const std::size_t block = size <= 16384 ? 4096 : 8192;
  if (loadLe64(p) != eccChecksum(page.first(block), pgno, true)) return false;
  std::size_t slot = 40;
  for (std::size_t offset = block; offset < size; offset += block, slot += 8) {
    const std::size_t length = size - offset < block ? size - offset : block;
    if (slot > 56) return false;
    if (loadLe64(p + slot) != eccChecksum(page.subspan(offset, length), pgno, false)) {
      return false;
    }
  }
  return true;
}

}  // namespace ese
