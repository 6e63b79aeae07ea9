// SPDX-License-Identifier: Apache-2.0
// The database file header: the first page of the file (a shadow copy of it
// is the second page). Data page n (counted from 1) starts at byte
// (n + 1) * page_size.
//
//   offset size  field
//        0    4  XOR checksum of the header (see page_checksum.h)
//        4    4  signature 0x89ABCDEF
//        8    4  format version (0x620)
//       12    4  file type: 0 database, 1 streaming file
//       24   28  database signature: a random number (4), the creation
//                time (8) and the creating computer's name (16); what
//                tells one database apart from every other
//       52    4  database state: 1 just created, 2 dirty shutdown,
//                3 clean shutdown, 4 being converted, 5 force detach
//      216   16  Windows version that wrote it: major, minor, build, SP
//      232    4  format revision (9 for Windows XP ... 0x14 for current)
//      236    4  page size in bytes (0 in old files, which use 4096)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_view.h"
#include "ese/jet.h"

namespace ese {

using corvadex::base::Bytes;
using corvadex::base::ByteView;

constexpr std::uint32_t kFileSignature = 0x89ABCDEFu;
constexpr std::uint32_t kFormatVersion = 0x620;
constexpr std::size_t kFileHeaderSize = 4096;
// Value compression (Windows 7) arrived with this format revision.
constexpr std::uint32_t kFirstRevisionWithCompression = 0x11;

enum class DatabaseState : std::uint32_t {
  kJustCreated = 1,
  kDirtyShutdown = 2,
  kCleanShutdown = 3,
  kBeingConverted = 4,
  kForceDetach = 5,
};

constexpr std::size_t kDatabaseSignatureOffset = 24;
constexpr std::size_t kDatabaseSignatureSize = 28;

struct FileHeader {
  std::uint32_t format_version = 0;
  std::uint32_t format_revision = 0;
  std::uint32_t file_type = 0;
  std::uint32_t state = 0;
  std::uint32_t page_size = 0;
  std::uint32_t os_major = 0;
  std::uint32_t os_minor = 0;
  std::uint32_t os_build = 0;
  std::array<std::byte, kDatabaseSignatureSize> signature{};
};

// Parses and checks a header. `bytes` is the start of the file (at least
// 4 KiB; the whole first page when the file is that long). Returns
// JET_errInvalidDatabase for anything that is not an ESE database header,
// JET_errReadVerifyFailure when the signature is right but the checksum is
// not, JET_errFileIOBeyondEOF when the bytes are too few to hold a header.
JET_ERR parseFileHeader(Bytes bytes, FileHeader& out);

// True for the page sizes the format allows: 2, 4, 8, 16 and 32 KiB.
bool isValidPageSize(std::uint32_t page_size);

// The state in words: "clean shutdown", "dirty shutdown", ...
std::string databaseStateText(std::uint32_t state);

}  // namespace ese
