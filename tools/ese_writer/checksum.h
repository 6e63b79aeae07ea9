// SPDX-License-Identifier: Apache-2.0
// Page and header checksums.
//
// Legacy scheme (database header of every revision; pages of revision 0x09):
//   one 32-bit word at offset 0 = 0x89abcdef XOR every further 32-bit word
//   of the block; a page of this scheme keeps its page number at offset 4,
//   so the number is part of the XOR.
//
// ECC scheme (pages of revision 0x0c and later, page flag 0x2000): a 64-bit
// value per block whose low word is (XOR of the block's words) ^ pgno and
// whose high word is an error-correcting code: for every 32-bit word "row" i
// with odd parity, i is folded into p and ~i into q; for every bit column c
// of the XOR with value 1, c is folded into r and ~c into s; the code is
// q<<21 | s<<16 | p<<5 | r (each masked to the bits a block of this size
// needs). The first block of a page skips its first 8 bytes, where the
// checksum itself lives.
//
// Pages up to 8 KiB are one block. Larger pages are four: a 16 KiB page
// has 4 KiB blocks, a 32 KiB page 8 KiB blocks; the checksums of blocks 1
// to 3 are stored in the extended page header (offsets 40, 48, 56) before
// block 0 is summed, so block 0's checksum also protects them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvadex::esew {

std::uint32_t legacyChecksum(const unsigned char* block, std::size_t size);
std::uint64_t eccChecksum(const unsigned char* block, std::size_t size, std::uint32_t pgno,
                          bool headerBlock);

// Computes and stores the checksum(s) of a whole database page.
void stampPageChecksum(unsigned char* page, std::size_t pageSize, std::uint32_t pgno, bool ecc);

}  // namespace corvadex::esew
