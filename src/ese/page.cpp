// SPDX-License-Identifier: Apache-2.0
#include "ese/page.h"


namespace ese {

Status Page::parse(Bytes bytes, std::uint32_t pgno, Page& out,
                   std::shared_ptr<const void> owner) {
  const ByteView view(bytes);
  if (view.size() < 2048) return corrupt("the page is shorter than 2 KiB", pgno);
  Page p;
  p.page_ = view;
  p.pgno_ = pgno;
  p.large_ = view.size() > 8192;
  p.header_size_ = p.large_ ? 80 : 40;
  // The page is at least 2 KiB, so its 40-byte header is there.
  if (!view.U32(16, p.header_.previous) || !view.U32(20, p.header_.next) ||
      !view.U32(24, p.header_.objid) || !view.U16(34, p.header_.tag_count) ||
      !view.U32(36, p.header_.flags)) {
    return corrupt("the page header is cut short", pgno);
  }
  const std::size_t tag_bytes = std::size_t{p.header_.tag_count} * 4;
  if (p.header_size_ + tag_bytes > view.size()) {
    return corrupt("the tag array does not fit in the page", pgno);
  }
  p.owner_ = std::move(owner);
  out = std::move(p);
  return JET_errSuccess;
}

bool Page::tag(std::uint16_t index, PageTag& out) const {
  if (index >= header_.tag_count) return false;
  // Parse checked that the tag array fits in the page.
  const std::size_t at = page_.size() - 4 * (std::size_t{index} + 1);
  std::uint16_t size_word = 0;
  std::uint16_t offset_word = 0;
  if (!page_.U16(at, size_word) || !page_.U16(at + 2, offset_word)) return false;
  const std::uint16_t mask = large_ ? 0x7fff : 0x1fff;
  const std::size_t size = size_word & mask;
  const std::size_t offset = header_size_ + (offset_word & mask);
  // A value may not run into the tag array.
  const std::size_t data_end = page_.size() - 4 * std::size_t{header_.tag_count};
  if (offset > data_end || size > data_end - offset) return false;
  if (!page_.sub(offset, size, out.value)) return false;
  if (large_) {
    // The flags are the top 3 bits of the value's first 16-bit word; a
    // value too short to have one has none.
    std::uint8_t second = 0;
    out.flags = out.value.U8(1, second) ? static_cast<std::uint8_t>(second >> 5) : 0;
  } else {
    out.flags = static_cast<std::uint8_t>(offset_word >> 13);
  }
  return true;
}

}  // namespace ese
