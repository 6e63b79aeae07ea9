// The database file, opened read-only and mapped into memory.
//
// The file is opened with O_RDONLY and mapped PROT_READ: nothing is ever
// written to it and nothing is created beside it. Pages are handed out as
// parsed views into the mapping; each page's checksum is verified the first
// time it is read and the outcome remembered.
//
// Pages of the mapping count towards the process's resident memory once
// touched. A walk over a file of gigabytes would hold all of it, so after
// every kResidentWindow bytes of newly read pages the mapping's pages are
// released (MADV_DONTNEED); the kernel keeps them in its page cache and a
// later access maps them again. Views handed out stay valid: their addresses
// do not change, only whether the page is currently mapped in.
//
// A DbFile is used from one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ese/file_header.h"
#include "ese/jet.h"
#include "ese/page.h"

namespace ese {

class DbFile {
 public:
  ~DbFile();
  DbFile(const DbFile&) = delete;
  DbFile& operator=(const DbFile&) = delete;

  // Opens and checks the header. Statuses: JET_errFileNotFound (no such
  // file), JET_errFileAccessDenied (not readable), JET_errInvalidPath (a
  // folder or an empty path), JET_errInvalidDatabase (not an ESE
  // database), JET_errFileIOBeyondEOF (shorter than its header),
  // JET_errReadVerifyFailure (header checksum), JET_errDiskIO (other
  // failures of the operating system).
  static JET_ERR Open(const std::string& path, std::unique_ptr<DbFile>& out);

  // Reads just the header of a file (for the page-size query).
  static JET_ERR ReadHeader(const std::string& path, FileHeader& out);

  const FileHeader& header() const { return header_; }
  std::uint32_t page_size() const { return header_.page_size; }
  // Number of data pages the file holds (page numbers 1..page_count()).
  std::uint32_t page_count() const { return page_count_; }

  // Page `pgno`: JET_errFileIOBeyondEOF past the end of the file,
  // JET_errPageNotInitialized for a never-written page,
  // JET_errReadVerifyFailure for a checksum mismatch,
  // JET_errDatabaseCorrupted for a malformed header.
  JET_ERR ReadPage(std::uint32_t pgno, Page& out) const;

 private:
  DbFile() = default;

  const std::byte* map_ = nullptr;
  std::size_t size_ = 0;
  FileHeader header_;
  std::uint32_t page_count_ = 0;
  static constexpr std::size_t kResidentWindow = std::size_t{64} << 20;
  mutable std::size_t fresh_bytes_ = 0;
  // Per page: 0 not yet checked, 1 good, else the failing status's index.
  mutable std::vector<std::int32_t> verified_;
};

}  // namespace ese
