// SPDX-License-Identifier: Apache-2.0
// One database page, parsed in place.
//
// Page header, 40 bytes (the "legacy" header every page size has):
//   offset size  field
//        0    8  checksum (XOR + page number, or ECC; see page_checksum.h)
//        8    8  database time of the last change
//       16    4  previous page of the same tree level (0: none)
//       20    4  next page of the same tree level (0: none)
//       24    4  object id of the tree the page belongs to
//       28    2  free bytes
//       30    2  uncommitted free bytes
//       32    2  offset of the first free byte (after the header)
//       34    2  number of tags
//       36    4  page flags (kPage* below)
// Pages of 16 and 32 KiB extend the header by 40 bytes (offsets 40..79):
// three more block checksums, the page number and reserved space.
//
// The tag array grows backwards from the end of the page: tag i is the
// 4 bytes at page_size - 4 * (i + 1). In pages up to 8 KiB a tag is
//   bytes 0-1: value size (low 13 bits)
//   bytes 2-3: value offset from the end of the header (low 13 bits) and
//              the tag flags (top 3 bits).
// In 16/32 KiB pages size and offset have 15 bits each and the flags are
// the top 3 bits of the value's own first 16-bit word (which the node
// parser masks off).
// Tag 0 holds the page's external header: the key prefix shared by the
// page's nodes (in root pages, the space information).
#pragma once

#include <cstdint>
#include <memory>

#include "base/byte_view.h"
#include "ese/jet.h"
#include "ese/status.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

constexpr std::uint32_t kPageRoot = 0x0001;
constexpr std::uint32_t kPageLeaf = 0x0002;
constexpr std::uint32_t kPageParent = 0x0004;
constexpr std::uint32_t kPageEmpty = 0x0008;
constexpr std::uint32_t kPageSpaceTree = 0x0020;
constexpr std::uint32_t kPageIndex = 0x0040;
constexpr std::uint32_t kPageLongValue = 0x0080;
constexpr std::uint32_t kPageNewChecksum = 0x2000;

// Tag flags.
constexpr std::uint8_t kTagVersion = 0x1;
constexpr std::uint8_t kTagDeleted = 0x2;
constexpr std::uint8_t kTagCompressed = 0x4;  // the node's key has a shared prefix

struct PageHeader {
  std::uint32_t previous = 0;
  std::uint32_t next = 0;
  std::uint32_t objid = 0;
  std::uint16_t tag_count = 0;
  std::uint32_t flags = 0;
};

struct PageTag {
  ByteView value;
  std::uint8_t flags = 0;
};

class Page {
 public:
  Page() = default;

  // Parses the header and checks that the tag array fits. Does not verify
  // the checksum (the file does that when it reads the page); a failure
  // names the check and the page. `owner`, when
  // given, holds the page's bytes: every copy of the Page shares it, so the
  // page and every view taken from it stay valid as long as one copy lives.
  static Status parse(Bytes page, std::uint32_t pgno, Page& out,
                      std::shared_ptr<const void> owner = {});

  const PageHeader& header() const { return header_; }
  std::uint32_t pgno() const { return pgno_; }
  bool large() const { return large_; }
  bool is_leaf() const { return (header_.flags & kPageLeaf) != 0; }
  std::uint16_t tag_count() const { return header_.tag_count; }
  // The whole page.
  Bytes bytes() const { return page_.bytes(); }
  // What holds the page's bytes (empty when nothing was given).
  const std::shared_ptr<const void>& owner() const { return owner_; }

  // The value and flags of tag `index`; false when the tag points outside
  // the page's data area.
  [[nodiscard]] bool tag(std::uint16_t index, PageTag& out) const;

 private:
  ByteView page_;
  std::shared_ptr<const void> owner_;
  PageHeader header_;
  std::uint32_t pgno_ = 0;
  std::uint32_t header_size_ = 40;
  bool large_ = false;
};

}  // namespace ese
