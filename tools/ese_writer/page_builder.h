// SPDX-License-Identifier: Apache-2.0
// Builds one database page in memory.
//
// Page header (40 bytes; 80 on 16/32 KiB pages), little-endian:
//   0  checksum: 8 bytes (ECC scheme) or 4-byte XOR + 4-byte page number
//   8  database time of the last change (8)
//  16  previous page at this tree level (4), 0 for none
//  20  next page at this tree level (4), 0 for none
//  24  object id of the tree (its FDP) (4)
//  28  free bytes (2)           30  uncommitted free bytes (2)
//  32  first free data offset, from the end of the header (2)
//  34  number of tags (2)       36  page flags (4)
//  40  (large pages) checksums of blocks 1-3 (24), page number (4), reserved (12)
//
// Data grows up from the header; the tag array grows down from the page
// end, tag i in the 4 bytes at pageSize - 4 * (i + 1): value size (2) then
// offset from the end of the header (2). On small pages both are 13 bits and
// the offset word's top three bits are the node flags (0x4000 deleted,
// 0x8000 prefix-compressed; shifted down: 2 and 4); on large pages both are
// 15 bits and the flags sit in the top three bits of the node's first word.
//
// Tag 0 is the page's external header: the space header on a tree's root
// page, otherwise the key prefix shared by the page's compressed nodes.
// A node is [key size (2)][key][data], or, prefix-compressed,
// [prefix length (2)][suffix size (2)][suffix][data].
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "file_format.h"

namespace corvadex::esew {

namespace page_flags {
inline constexpr std::uint32_t kRoot = 0x0001;
inline constexpr std::uint32_t kLeaf = 0x0002;
inline constexpr std::uint32_t kParent = 0x0004;
inline constexpr std::uint32_t kEmpty = 0x0008;
inline constexpr std::uint32_t kSpaceTree = 0x0020;
inline constexpr std::uint32_t kIndex = 0x0040;
inline constexpr std::uint32_t kLongValue = 0x0080;
inline constexpr std::uint32_t kNewRecordFormat = 0x0800;
inline constexpr std::uint32_t kNewChecksumFormat = 0x2000;
}  // namespace page_flags

inline constexpr std::uint16_t kNodeCompressed = 0x4;  // node flag: prefix-compressed key

class PageBuilder {
 public:
  explicit PageBuilder(const FileFormat& format);

  void start(std::uint32_t objid, std::uint32_t flags, std::string_view tag0);
  // Bytes still free for node data and their tags.
  std::size_t freeBytes() const;
  // What a node costs on the page, its tag included.
  static std::size_t nodeCost(std::size_t keySize, std::size_t dataSize) {
    return 2 + keySize + dataSize + 4;
  }
  // Adds a node; prefixLength > 0 stores the key as a suffix after that
  // many bytes of tag 0 (which the caller has made a prefix of the key).
  void addNode(std::string_view key, std::string_view data, std::size_t prefixLength = 0);
  std::size_t nodeCount() const { return tags_ - 1; }

  // Completes header and checksum; the image stays valid until the next start().
  const unsigned char* finish(std::uint32_t pgno, std::uint32_t prev, std::uint32_t next,
                              std::uint64_t dbtime);

 private:
  void addTag(std::size_t offset, std::size_t size, std::uint16_t flags);

  FileFormat format_;
  std::vector<unsigned char> image_;
  std::uint32_t objid_ = 0;
  std::uint32_t flags_ = 0;
  std::size_t dataEnd_ = 0;  // from the end of the header
  std::size_t tags_ = 0;
};

}  // namespace corvadex::esew
