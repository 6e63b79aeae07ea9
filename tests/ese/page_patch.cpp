// SPDX-License-Identifier: Apache-2.0
#include "page_patch.h"

#include "ese/page_checksum.h"

namespace ese::testing {

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void patchPage(std::vector<std::uint8_t>& image, std::uint32_t page_size, std::uint32_t pgno,
               const std::function<void(std::uint8_t* page)>& change) {
  std::uint8_t* page = image.data() + (std::size_t{pgno} + 1) * page_size;
  change(page);
  const Bytes bytes(reinterpret_cast<const std::byte*>(page), page_size);
  const bool new_format = page_size > 8192 || (get32(page + 36) & 0x2000) != 0;
  if (!new_format) {
    put32(page + 4, pgno);
    put32(page, xorChecksum(bytes));
    return;
  }
  const std::size_t block = page_size <= 8192 ? page_size : page_size <= 16384 ? 4096 : 8192;
  std::size_t slot = 40;
  for (std::size_t offset = block; offset < page_size; offset += block, slot += 8) {
    const std::uint64_t c = eccChecksum(bytes.subspan(offset, block), pgno, false);
    put32(page + slot, static_cast<std::uint32_t>(c));
    put32(page + slot + 4, static_cast<std::uint32_t>(c >> 32));
  }
  const std::uint64_t c = eccChecksum(bytes.first(block), pgno, true);
  put32(page, static_cast<std::uint32_t>(c));
  put32(page + 4, static_cast<std::uint32_t>(c >> 32));
}

}  // namespace ese::testing
