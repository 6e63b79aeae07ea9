// SPDX-License-Identifier: Apache-2.0
// Finding VS_FIXEDFILEINFO in a PE image.
//
// MS-DOS header, at 0:
//   0x00  u16  "MZ"
//   0x3C  u32  e_lfanew: file offset of the PE signature
// At e_lfanew:
//   +0    4    "PE\0\0"
//   +4    20   COFF file header:
//               +2  u16 NumberOfSections
//               +16 u16 SizeOfOptionalHeader
//   +24        optional header:
//               +0  u16 Magic: 0x10B PE32, 0x20B PE32+
//               PE32:  +92 u32 NumberOfRvaAndSizes, +96  data directories
//               PE32+: +108 u32 NumberOfRvaAndSizes, +112 data directories
//              each data directory is (u32 RVA, u32 Size); entry 2 is the
//              resource directory
//   +24 + SizeOfOptionalHeader: section table, 40 bytes per section:
//               +8 u32 VirtualSize, +12 u32 VirtualAddress,
//               +16 u32 SizeOfRawData, +20 u32 PointerToRawData
//
// Resource tree (offsets relative to the start of the resource directory),
// three levels: type, name, language. Each directory is
//   +12 u16 NumberOfNamedEntries, +14 u16 NumberOfIdEntries
//   +16 entries of 8 bytes: u32 Name or Id (high bit: a name), u32 offset
//       (high bit: a sub-directory; else a data entry)
// A data entry is (u32 RVA, u32 Size, u32 CodePage, u32 Reserved).
// The version resource is type 16 (RT_VERSION); the first name and the first
// language under it are used, as the version functions of Windows do.
//
// The resource data is a VS_VERSIONINFO block:
//   +0 u16 wLength, +2 u16 wValueLength, +4 u16 wType,
//   +6 "VS_VERSION_INFO\0" in UTF-16, padded to a 4-byte boundary (to +40),
//   +40 VS_FIXEDFILEINFO (52 bytes), starting with 0xFEEF04BD.
#include "platform/pe_version.h"

#include "platform/regular_file.h"

#include <vector>

#include "base/byte_view.h"

namespace corvadex::platform {

namespace {

using base::ByteView;

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
// An executable larger than this (64 MiB) is not read: no genuine mail
// client comes near it, and reading it whole would only waste memory.
constexpr std::size_t kMaxImageSize = std::size_t{64} << 20;

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t virtualSize;
  std::uint32_t rawSize;
  std::uint32_t rawPointer;
};

class PeImage {
 public:
  explicit PeImage(ByteView file) : file_(file) {}

  // Reads the headers and the section table; false when they are not there.
  bool readHeaders() {
    std::uint16_t mz = 0;
    std::uint32_t lfanew = 0;
    std::uint32_t pe = 0;
    if (!file_.U16(0, mz) || mz != 0x5A4D) return false;  // "MZ"
    if (!file_.U32(0x3C, lfanew) || !file_.U32(lfanew, pe) || pe != 0x00004550) {
      return false;  // "PE\0\0"
    }
    const std::uint64_t coff = std::uint64_t{lfanew} + 4;
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalSize = 0;
    if (!file_.U16(coff + 2, sectionCount) || !file_.U16(coff + 16, optionalSize)) return false;
    const std::uint64_t optional = coff + 20;
    std::uint16_t magic = 0;
    if (!file_.U16(optional, magic)) return false;
    std::uint64_t countOffset = 0;
    if (magic == kPe32Magic) {
      countOffset = 92;
    } else if (magic == kPe32PlusMagic) {
      countOffset = 108;
    } else {
      return false;
    }
    std::uint32_t directoryCount = 0;
    if (!file_.U32(optional + countOffset, directoryCount) ||
        directoryCount <= kResourceDirectoryIndex) {
      return false;
    }
    const std::uint64_t directory = optional + countOffset + 4 + 8 * kResourceDirectoryIndex;
    // The directory must lie inside the optional header it belongs to.
    if (directory + 8 > optional + optionalSize) return false;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    if (!file_.U32(directory, rva) || !file_.U32(directory + 4, size) || rva == 0 || size == 0) {
      return false;
    }
    resourceRva_ = rva;

    const std::uint64_t table = optional + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
      const std::uint64_t at = table + 40ull * i;
      Section s{};
      if (!file_.U32(at + 8, s.virtualSize) || !file_.U32(at + 12, s.virtualAddress) ||
          !file_.U32(at + 16, s.rawSize) || !file_.U32(at + 20, s.rawPointer)) {
        return false;
      }
      sections_.push_back(s);
    }
    return true;
  }

  // The bytes at [rva, rva + length) of the loaded image, when the file
  // holds them (bytes a section only zero-fills in memory are not read).
  std::optional<ByteView> atRva(std::uint64_t rva, std::uint64_t length) const {
    for (const Section& s : sections_) {
      const std::uint64_t start = s.virtualAddress;
      const std::uint64_t extent = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
      if (rva < start || rva - start >= extent) continue;
      const std::uint64_t within = rva - start;
      if (length > s.rawSize || within > s.rawSize - length) return std::nullopt;
      return sub(std::uint64_t{s.rawPointer} + within, length);
    }
    return std::nullopt;
  }

  // The resource directory's section from its start to the section's end.
  std::optional<ByteView> resourceSection() const {
    for (const Section& s : sections_) {
      const std::uint64_t start = s.virtualAddress;
      if (resourceRva_ < start || resourceRva_ - start >= s.rawSize) continue;
      const std::uint64_t within = resourceRva_ - start;
      return sub(std::uint64_t{s.rawPointer} + within, s.rawSize - within);
    }
    return std::nullopt;
  }

 private:
  std::optional<ByteView> sub(std::uint64_t offset, std::uint64_t length) const {
    ByteView part;
    if (!file_.sub(offset, length, part)) return std::nullopt;
    return part;
  }

  ByteView file_;
  std::uint32_t resourceRva_ = 0;
  std::vector<Section> sections_;
};

// In the resource directory at `offset`, the entry offset of the entry with
// id `id`, or of the first entry when `id` is none.
std::optional<std::uint32_t> findEntry(ByteView resources, std::uint32_t offset,
                                       std::optional<std::uint32_t> id) {
  std::uint16_t named = 0;
  std::uint16_t ids = 0;
  if (!resources.U16(std::uint64_t{offset} + 12, named) ||
      !resources.U16(std::uint64_t{offset} + 14, ids)) {
    return std::nullopt;
  }
  const std::uint32_t total = std::uint32_t{named} + ids;
  for (std::uint32_t i = 0; i < total; ++i) {
    const std::uint64_t entry = std::uint64_t{offset} + 16 + 8ull * i;
    std::uint32_t name = 0;
    std::uint32_t target = 0;
    if (!resources.U32(entry, name) || !resources.U32(entry + 4, target)) return std::nullopt;
    if (!id || name == *id) return target;
  }
  return std::nullopt;
}

std::optional<VS_FIXEDFILEINFO> parseVersionInfo(ByteView block) {
  static constexpr char16_t kKey[] = u"VS_VERSION_INFO";
  std::uint16_t length = 0;
  std::uint16_t valueLength = 0;
  ByteView info;
  if (!block.U16(0, length) || !block.U16(2, valueLength) || !block.sub(0, length, info)) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < std::size(kKey); ++i) {  // includes the NUL
    std::uint16_t unit = 0;
    if (!info.U16(6 + 2 * i, unit) || unit != kKey[i]) return std::nullopt;
  }
  constexpr std::uint64_t kValueOffset = (6 + 2 * std::size(kKey) + 3) & ~std::uint64_t{3};
  if (valueLength < kFixedInfoSize) return std::nullopt;
  std::uint32_t fields[13];
  for (std::size_t i = 0; i < 13; ++i) {
    if (!info.U32(kValueOffset + 4 * i, fields[i])) return std::nullopt;
  }
  if (fields[0] != kFixedFileInfoSignature) return std::nullopt;
  return VS_FIXEDFILEINFO{fields[0], fields[1], fields[2],  fields[3], fields[4],
                          fields[5], fields[6], fields[7],  fields[8], fields[9],
                          fields[10], fields[11], fields[12]};
}

}  // namespace

std::optional<VS_FIXEDFILEINFO> readFixedFileInfo(std::span<const std::byte> bytes) {
  PeImage image{ByteView(bytes)};
  if (!image.readHeaders()) return std::nullopt;
  auto resources = image.resourceSection();
  if (!resources) return std::nullopt;

  // Type level: RT_VERSION; name and language levels: the first entry.
  auto type = findEntry(*resources, 0, kRtVersion);
  if (!type || !(*type & kSubdirectoryBit)) return std::nullopt;
  auto name = findEntry(*resources, *type & ~kSubdirectoryBit, std::nullopt);
  if (!name || !(*name & kSubdirectoryBit)) return std::nullopt;
  auto language = findEntry(*resources, *name & ~kSubdirectoryBit, std::nullopt);
  if (!language || (*language & kSubdirectoryBit)) return std::nullopt;

  std::uint32_t dataRva = 0;
  std::uint32_t dataSize = 0;
  if (!resources->U32(*language, dataRva) || !resources->U32(std::uint64_t{*language} + 4, dataSize)) {
    return std::nullopt;
  }
  auto block = image.atRva(dataRva, dataSize);
  if (!block) return std::nullopt;
  return parseVersionInfo(*block);
}

std::optional<VS_FIXEDFILEINFO> readFixedFileInfoFromFile(const std::string& hostPath) {
  const auto bytes = readRegularFile(hostPath, kMaxImageSize);
  if (!bytes || bytes->empty()) return std::nullopt;
  return readFixedFileInfo(std::as_bytes(std::span(bytes->data(), bytes->size())));
}

}  // namespace corvadex::platform
