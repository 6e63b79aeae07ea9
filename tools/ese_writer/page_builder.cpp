// SPDX-License-Identifier: Apache-2.0
#include "page_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "bytes.h"
#include "checksum.h"

namespace corvadex::esew {

PageBuilder::PageBuilder(const FileFormat& format) : format_(format), image_(format.pageSize) {}

void PageBuilder::start(std::uint32_t objid, std::uint32_t flags, std::string_view tag0) {
  std::fill(image_.begin(), image_.end(), 0);
  objid_ = objid;
  flags_ = flags | page_flags::kNewRecordFormat;
  if (format_.eccPages()) flags_ |= page_flags::kNewChecksumFormat;
  dataEnd_ = 0;
  tags_ = 0;
  std::memcpy(image_.data() + format_.pageHeaderSize(), tag0.data(), tag0.size());
  addTag(0, tag0.size(), 0);
  dataEnd_ = tag0.size();
}

std::size_t PageBuilder::freeBytes() const {
  const std::size_t used = format_.pageHeaderSize() + dataEnd_ + 4 * tags_;
  return used >= format_.pageSize ? 0 : format_.pageSize - used;
}

void PageBuilder::addTag(std::size_t offset, std::size_t size, std::uint16_t flags) {
  unsigned char* tag = image_.data() + format_.pageSize - 4 * (tags_ + 1);
  auto ib = static_cast<std::uint16_t>(offset);
  if (!format_.largePages()) ib = static_cast<std::uint16_t>(ib | (flags << 13));
  storeU16(tag, static_cast<std::uint16_t>(size));
  storeU16(tag + 2, ib);
  ++tags_;
}

void PageBuilder::addNode(std::string_view key, std::string_view data, std::size_t prefixLength) {
  Bytes node;
  std::uint16_t flags = 0;
  if (prefixLength > 0) {
    flags = kNodeCompressed;
    putU16(node, static_cast<std::uint16_t>(prefixLength));
    putU16(node, static_cast<std::uint16_t>(key.size() - prefixLength));
    node.append(key.substr(prefixLength));
  } else {
    putU16(node, static_cast<std::uint16_t>(key.size()));
    node.append(key);
  }
  node.append(data);
  if (format_.largePages() && flags != 0) {
    // Large pages keep the node flags in the top bits of the first word.
    node[1] = static_cast<char>(static_cast<unsigned char>(node[1]) | (flags << 5));
  }
  if (node.size() + 4 > freeBytes()) throw std::logic_error("page overflow");
  std::memcpy(image_.data() + format_.pageHeaderSize() + dataEnd_, node.data(), node.size());
  addTag(dataEnd_, node.size(), flags);
  dataEnd_ += node.size();
}

const unsigned char* PageBuilder::finish(std::uint32_t pgno, std::uint32_t prev,
                                         std::uint32_t next, std::uint64_t dbtime) {
  unsigned char* h = image_.data();
  storeU64(h + 8, dbtime);
  storeU32(h + 16, prev);
  storeU32(h + 20, next);
  storeU32(h + 24, objid_);
  storeU16(h + 28, static_cast<std::uint16_t>(freeBytes()));
  storeU16(h + 30, 0);
  storeU16(h + 32, static_cast<std::uint16_t>(dataEnd_));
  storeU16(h + 34, static_cast<std::uint16_t>(tags_));
  storeU32(h + 36, flags_);
  if (format_.largePages()) storeU32(h + 64, pgno);
  stampPageChecksum(h, format_.pageSize, pgno, format_.eccPages());
  return h;
}

}  // namespace corvadex::esew
