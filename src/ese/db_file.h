// SPDX-License-Identifier: Apache-2.0
// The database file, opened read-only and read page by page into buffers of
// its own.
//
// The file is opened with O_RDONLY (and O_NONBLOCK, so that a FIFO or a
// device in the database's place cannot stall the open) and must be a
// regular file: nothing is ever written to it and nothing is created beside
// it. Pages are read with pread, so a file that shrinks or becomes
// unreadable while it is read (another program truncates it, a removable or
// network disk goes away) gives an error status for the page concerned,
// never a signal. Each page's checksum is verified whenever it is read from
// the file.
//
// A bounded cache keeps the pages read last (kCacheBytes of them, at least
// kMinCachePages pages), so the tree's upper levels, entered again and again,
// are read once. A Page handed out shares its buffer: it stays valid however
// long it is kept, and a buffer still in use is never refilled; the cache
// just takes a fresh one for its slot.
//
// Reads that go along the file (a walk of a tree's leaf level enters page
// after page in file order) are noticed: from the second page of such a
// stream on, a miss reads a run of up to kRunBytes of consecutive pages in
// one system call, each page into a slot of its own and each verified, and
// stops before a page the cache holds already. A few streams are followed at
// once (a table's rows and its long values).
//
// With the read-ahead thread on, a worker reads the runs of each stream
// ahead of the reader and verifies their pages (read_ahead.h); the reader
// takes them into its cache when it comes to them.
//
// A DbFile is used from one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ese/file_header.h"
#include "ese/file_reader.h"
#include "ese/jet.h"
#include "ese/page.h"
#include "ese/read_ahead.h"

namespace ese {

class DbFile {
 public:
  ~DbFile();
  DbFile(const DbFile&) = delete;
  DbFile& operator=(const DbFile&) = delete;

  // Opens and checks the header. Statuses: JET_errFileNotFound (no such
  // file), JET_errFileAccessDenied (not readable), JET_errInvalidPath (a
  // folder or an empty path), JET_errInvalidDatabase (not an ESE database,
  // or not a regular file: a FIFO, a device, a socket),
  // JET_errFileIOBeyondEOF (shorter than its header),
  // JET_errReadVerifyFailure (header checksum), JET_errDiskIO (other
  // failures of the operating system).
  struct Options {
    std::size_t cache_bytes = kCacheBytes;
    // Runs along a stream are read and verified by a worker thread, ahead
    // of the pages asked for (read_ahead.h).
    bool read_ahead_thread = false;
  };
  static constexpr std::size_t kCacheBytes = std::size_t{8} << 20;
  static constexpr std::size_t kMinCachePages = 64;
  static constexpr std::size_t kRunBytes = std::size_t{128} << 10;
  static constexpr std::size_t kMaxRunPages = PageReadAhead::kMaxRunPages;
  // Runs the worker reads ahead of a stream.
  static constexpr std::uint32_t kRunsAhead = 2;

  // Opens the file and reads its header; a damaged header names its check.
  static Status open(const std::string& path, std::unique_ptr<DbFile>& out,
                     const Options& options);
  static Status open(const std::string& path, std::unique_ptr<DbFile>& out) {
    return open(path, out, Options{});
  }

  // Reads just the header of a file (for the page-size query).
  static Status readHeader(const std::string& path, FileHeader& out);

  const FileHeader& header() const { return header_; }
  std::uint32_t page_size() const { return header_.page_size; }
  // Number of data pages the file held when opened (pages 1..page_count()).
  std::uint32_t page_count() const { return page_count_; }
  // The file's length when it was opened.
  std::uint64_t size() const { return file_.size(); }

  // Page `pgno`: JET_errFileIOBeyondEOF past the end of the file or when
  // the file has shrunk below the page since it was opened, JET_errDiskIO
  // when the system cannot read it, JET_errPageNotInitialized for a
  // never-written page, JET_errReadVerifyFailure for a checksum mismatch,
  // JET_errDatabaseCorrupted for a malformed header; each failure names
  // the page and the check.
  Status readPage(std::uint32_t pgno, Page& out) const;

 private:

  using Buffer = std::shared_ptr<std::byte[]>;
  static constexpr std::uint32_t kNoSlot = 0xffffffffu;
  struct Slot {
    std::uint32_t pgno = 0;  // 0: empty
    JET_ERR status = JET_errSuccess;
    bool recent = false;   // used since the clock hand last passed
    bool claimed = false;  // taken for a read under way: no victim
    std::uint32_t chain = kNoSlot;  // the next slot in the same bucket
    Buffer bytes;
  };
  // Where a stream of reads along the file goes next, and where the runs
  // asked of the worker end.
  // A stream's latest run starts at `first`: when the next run is read,
  // the reader has passed the pages from there on and seldom comes back.
  struct Stream {
    std::uint32_t next = 0;
    std::uint32_t ahead = 0;
    std::uint32_t first = 0;
  };
  static constexpr std::size_t kStreams = 4;

  DbFile() = default;
  // Reads and verifies page `pgno`, and the pages after it when the read
  // continues a stream, into free slots (or takes them from the worker);
  // the index of `pgno`'s in `slot`.
  Status load(std::uint32_t pgno, std::uint32_t& slot) const;
  // The stream `pgno` continues, or nullptr (and a new stream starts).
  Stream* streamOf(std::uint32_t pgno) const;
  // Puts the worker's pages into slots.
  void install(PageReadAhead::Run& run) const;
  // Asks the worker for the runs after the stream's next page.
  void readAhead(Stream& stream) const;
  // The slot holding `pgno`, or kNoSlot.
  std::uint32_t find(std::uint32_t pgno) const;
  // A slot emptied and claimed for a new page, `with_buffer`: with a
  // buffer no Page holds.
  std::uint32_t claim(bool with_buffer) const;
  // A slot of a page in [from, to), which the reader has passed, emptied
  // and claimed with its buffer (which no Page holds), or kNoSlot when
  // there is none; `from` moves past the pages looked at.
  std::uint32_t claimPassed(std::uint32_t& from, std::uint32_t to) const;
  void link(std::uint32_t slot) const;
  void unlink(std::uint32_t slot) const;

  ReadOnlyFile file_;
  FileHeader header_;
  std::uint32_t page_count_ = 0;
  std::uint32_t run_pages_ = 1;
  mutable std::vector<Slot> slots_;
  // Hash buckets of page numbers (low bits), each the first slot of a chain.
  mutable std::vector<std::uint32_t> buckets_;
  mutable std::uint32_t hand_ = 0;
  mutable std::array<Stream, kStreams> streams_{};
  mutable std::uint32_t next_stream_ = 0;  // the one a new stream replaces
  std::unique_ptr<PageReadAhead> read_ahead_;
};

}  // namespace ese
