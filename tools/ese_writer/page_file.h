// SPDX-License-Identifier: Apache-2.0
// The database file as pages: page n lives at byte (n + 1) * pageSize, after
// the header page and its shadow copy. Pages are handed out in contiguous
// runs from the end of what is allocated so far and written at their
// offsets, so the writer needs only the pages it is filling in memory. The
// file is written under a new name and takes its place when closed, so a
// writer that fails leaves no partial database behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/output_file.h"

#include "file_format.h"

namespace corvadex::esew {

class PageFile {
 public:
  PageFile() = default;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Starts the file; empty on success, else the reason.
  std::string open(const std::string& path, const FileFormat& format);
  // Completes the file and puts it in place; empty on success, else the
  // reason (a failed write or close, so that a full disk is not reported as
  // success).
  std::string close();

  const FileFormat& format() const { return format_; }
  // First page number of a fresh run of count pages.
  std::uint32_t allocate(std::uint32_t count);
  std::uint32_t lastAllocated() const { return next_ - 1; }
  void writePage(std::uint32_t pgno, const unsigned char* image);
  // The two header copies at offsets 0 and pageSize.
  void writeHeader(const unsigned char* image);
  // Database time stamps: each page written gets a later one.
  std::uint64_t nextDbtime() { return ++dbtime_; }
  std::uint64_t dbtime() const { return dbtime_; }

 private:
  void writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size);

  std::optional<OutputFile> file_;
  FileFormat format_;
  std::uint32_t next_ = 1;
  std::uint64_t dbtime_ = 0x100;
};

}  // namespace corvadex::esew
