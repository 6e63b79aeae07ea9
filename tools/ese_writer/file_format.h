// SPDX-License-Identifier: Apache-2.0
// Page size and format revision of the file being written, and what they
// imply for the layout: the page header size, the checksum scheme, where a
// node's flags live and whether a tagged value always carries a flag byte.
#pragma once

#include <cstdint>
#include <string>

namespace corvadex::esew {

inline constexpr std::uint32_t kFormatVersion = 0x620;

struct FileFormat {
  std::uint32_t pageSize = 8192;
  std::uint32_t revision = 0x11;

  // 16 and 32 KiB pages: 80-byte page header, 15-bit tag offsets, node flags
  // in the node's first word, a flag byte before every tagged value.
  bool largePages() const { return pageSize > 8192; }
  // Revision 0x0c and later checksum pages with the ECC scheme (flag 0x2000);
  // revision 0x09 with the legacy XOR plus the page number at offset 4.
  bool eccPages() const { return revision >= 0x0c; }
  std::uint32_t pageHeaderSize() const { return largePages() ? 80u : 40u; }
  // Largest offset or size a page tag can hold.
  std::uint32_t tagValueMask() const { return largePages() ? 0x7fffu : 0x1fffu; }

  // Empty when the combination is one Windows writes; otherwise why not.
  std::string problem() const;
};

}  // namespace corvadex::esew
