// SPDX-License-Identifier: Apache-2.0
// Page checksums.
//
// Two schemes exist on disk:
// - XOR: the first 32-bit word of the page is 0x89ABCDEF XORed with every
//   other little-endian 32-bit word of the page (database header, and data
//   pages of older files, whose second word then holds the page number).
// - ECC: the first 64-bit word holds, low half, the XOR of the block's
//   32-bit words (the first two excluded) XORed with the page number and,
//   high half, an error-correcting code over the block's bit matrix. Pages
//   flagged with the new checksum format (page flag 0x2000, and every page of
//   16/32 KiB) use it. Large pages are cut into blocks (4 KiB blocks for
//   16 KiB pages, 8 KiB blocks for 32 KiB pages); the first block's checksum
//   sits at offset 0, the others at offsets 40, 48 and 56 of the header.
#pragma once

#include <cstdint>

#include "base/byte_view.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

// XOR checksum of bytes [4, size) seeded with 0x89ABCDEF; size % 4 == 0.
std::uint32_t xorChecksum(Bytes block);

// The 64-bit ECC checksum of one block as stored on disk for page `pgno`.
// `header_block` excludes the block's first 8 bytes (the checksum itself).
std::uint64_t eccChecksum(Bytes block, std::uint32_t pgno, bool header_block);

// True when the page's stored checksum(s) match its content. `new_format`
// selects ECC; otherwise the XOR word and the page number word are checked.
bool verifyPageChecksum(Bytes page, std::uint32_t pgno, bool new_format);

}  // namespace ese
