// SPDX-License-Identifier: Apache-2.0
#include "ese/file_header.h"

#include "ese/page_checksum.h"

#include <algorithm>

namespace ese {

bool isValidPageSize(std::uint32_t page_size) {
  return page_size == 2048 || page_size == 4096 || page_size == 8192 || page_size == 16384 ||
         page_size == 32768;
}

JET_ERR parseFileHeader(Bytes bytes, FileHeader& out) {
  const ByteView view(bytes);
  std::uint32_t signature = 0;
  if (!view.U32(4, signature)) return JET_errFileIOBeyondEOF;
  if (signature != kFileSignature) return JET_errInvalidDatabase;
  // The checksum covers the header's own 4 KiB; a 2 KiB-page file's header
  // page is shorter, and then its checksum covers that page.
  if (view.size() < 2048) return JET_errFileIOBeyondEOF;
  const std::size_t covered = view.size() >= kFileHeaderSize ? kFileHeaderSize : 2048;
  // At least 2 KiB are there, so every field below is.
  std::uint32_t stored = 0;
  FileHeader h;
  if (!view.U32(0, stored) || !view.U32(8, h.format_version) || !view.U32(12, h.file_type) ||
      !view.U32(52, h.state) || !view.U32(216, h.os_major) || !view.U32(220, h.os_minor) ||
      !view.U32(224, h.os_build) || !view.U32(232, h.format_revision) ||
      !view.U32(236, h.page_size)) {
    return JET_errFileIOBeyondEOF;
  }
  if (stored != xorChecksum(bytes.first(covered))) return JET_errReadVerifyFailure;
  std::copy_n(bytes.begin() + kDatabaseSignatureOffset, kDatabaseSignatureSize, h.signature.begin());
  if (h.format_version != kFormatVersion) return JET_errInvalidDatabase;
  if (h.file_type != 0) return JET_errInvalidDatabase;
  if (h.page_size == 0) h.page_size = 4096;
  if (!isValidPageSize(h.page_size)) return JET_errInvalidDatabase;
  if (covered < kFileHeaderSize && h.page_size != 2048) return JET_errFileIOBeyondEOF;
  out = h;
  return JET_errSuccess;
}

std::string databaseStateText(std::uint32_t state) {
  switch (static_cast<DatabaseState>(state)) {
    case DatabaseState::kJustCreated: return "just created";
    case DatabaseState::kDirtyShutdown: return "dirty shutdown";
    case DatabaseState::kCleanShutdown: return "clean shutdown";
    case DatabaseState::kBeingConverted: return "being converted";
    case DatabaseState::kForceDetach: return "force detach";
  }
  return "unknown state " + std::to_string(state);
}

}  // namespace ese
