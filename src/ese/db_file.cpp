// SPDX-License-Identifier: Apache-2.0
#include "ese/db_file.h"

#include <algorithm>
#include <bit>

#include "ese/read_ahead.h"

namespace ese {
namespace {

// The check a header that is there but damaged fails; a file that is no
// database at all is not damage and names none.
Status headerFailure(JET_ERR err) {
  switch (err) {
    case JET_errReadVerifyFailure:
      return Status(err, "the file header's checksum does not match its content");
    case JET_errFileIOBeyondEOF: return Status(err, "the file is shorter than its header");
    default: return err;
  }
}

// The header at the start of an open file, read and parsed: a file too
// short to hold one is no database.
Status readFileHeader(const ReadOnlyFile& file, FileHeader& out) {
  const std::uint64_t size = file.size();
  std::vector<std::byte> buffer(size < kFileHeaderSize ? size : kFileHeaderSize);
  const std::int64_t got = file.read(buffer.data(), buffer.size(), 0);
  if (got < 0) return JET_errDiskIO;
  if (got < 8) return static_cast<std::uint64_t>(got) == size ? JET_errInvalidDatabase : JET_errDiskIO;
  return headerFailure(parseFileHeader(Bytes(buffer.data(), static_cast<std::size_t>(got)), out));
}

}  // namespace

Status DbFile::readHeader(const std::string& path, FileHeader& out) {
  ReadOnlyFile file;
  if (Status status = file.open(path); !status.ok()) return status;
  return readFileHeader(file, out);
}

Status DbFile::open(const std::string& path, std::unique_ptr<DbFile>& out,
                    const Options& options) {
  std::unique_ptr<DbFile> file(new DbFile());
  if (Status status = file->file_.open(path); !status.ok()) return status;
  if (Status status = readFileHeader(file->file_, file->header_); !status.ok()) return status;
  const std::uint64_t pages = file->size() / file->header_.page_size;
  // Two header pages precede the data pages.
  file->page_count_ = pages < 2 ? 0 : static_cast<std::uint32_t>(
                                          pages - 2 > 0xfffffff0u ? 0xfffffff0u : pages - 2);
  const std::size_t page_size = file->header_.page_size;
  const std::size_t slots = std::max(kMinCachePages, options.cache_bytes / page_size);
  file->slots_.resize(slots);
  file->buckets_.assign(std::bit_ceil(2 * slots), kNoSlot);
  file->run_pages_ = static_cast<std::uint32_t>(
      std::clamp<std::size_t>(kRunBytes / page_size, 1, std::min(slots / 4, kMaxRunPages)));
  if (options.read_ahead_thread) {
    file->read_ahead_ = std::make_unique<PageReadAhead>(file->file_, file->header_.page_size);
  }
  out = std::move(file);
  return JET_errSuccess;
}

DbFile::~DbFile() {
  read_ahead_.reset();  // the worker reads from file_
}

std::uint32_t DbFile::find(std::uint32_t pgno) const {
  std::uint32_t at = buckets_[pgno & (buckets_.size() - 1)];
  while (at != kNoSlot && slots_[at].pgno != pgno) at = slots_[at].chain;
  return at;
}

void DbFile::link(std::uint32_t slot) const {
  std::uint32_t& head = buckets_[slots_[slot].pgno & (buckets_.size() - 1)];
  slots_[slot].chain = head;
  head = slot;
}

void DbFile::unlink(std::uint32_t slot) const {
  std::uint32_t* at = &buckets_[slots_[slot].pgno & (buckets_.size() - 1)];
  while (*at != slot) at = &slots_[*at].chain;
  *at = slots_[slot].chain;
  slots_[slot].chain = kNoSlot;
}

// The clock: the first slot from the hand on that was not used since the
// hand last passed it, passing over slots claimed for the read under way.
std::uint32_t DbFile::claim(bool with_buffer) const {
  for (;;) {
    Slot& s = slots_[hand_];
    const std::uint32_t at = hand_;
    hand_ = hand_ + 1 == slots_.size() ? 0 : hand_ + 1;
    if (s.claimed) continue;
    if (s.pgno != 0 && s.recent) {
      s.recent = false;
      continue;
    }
    if (s.pgno != 0) {
      unlink(at);
      s.pgno = 0;
    }
    s.claimed = true;
    // A buffer some Page still holds is left to it.
    if (with_buffer && (!s.bytes || s.bytes.use_count() > 1)) {
      s.bytes = std::make_shared_for_overwrite<std::byte[]>(header_.page_size);
    }
    return at;
  }
}

// A run along a stream goes into the buffers of the run before it where no
// Page holds them any more: their bytes were read and used a moment ago and
// are still in the processor's cache, so the system's copy into them is
// faster than into the slot the clock would free, which was used longest
// ago.
std::uint32_t DbFile::claimPassed(std::uint32_t& from, std::uint32_t to) const {
  while (from < to) {
    const std::uint32_t at = find(from++);
    if (at == kNoSlot) continue;
    Slot& s = slots_[at];
    if (s.claimed || !s.bytes || s.bytes.use_count() > 1) continue;
    unlink(at);
    s.pgno = 0;
    s.claimed = true;
    return at;
  }
  return kNoSlot;
}

DbFile::Stream* DbFile::streamOf(std::uint32_t pgno) const {
  for (Stream& s : streams_) {
    if (s.next == pgno) return &s;
  }
  // A page of no known stream: the next page would continue a new one.
  Stream& fresh = streams_[next_stream_];
  next_stream_ = (next_stream_ + 1) % kStreams;
  fresh = Stream{pgno + 1, pgno + 1, pgno};
  return nullptr;
}

void DbFile::install(PageReadAhead::Run& run) const {
  std::vector<Buffer> spare;
  for (std::size_t i = 0; i < run.pages.size(); ++i) {
    const std::uint32_t pgno = run.first + static_cast<std::uint32_t>(i);
    if (find(pgno) != kNoSlot) continue;  // read meanwhile: kept as it is
    const std::uint32_t at = claim(false);
    Slot& s = slots_[at];
    s.claimed = false;
    // The slot's old buffer goes back to the worker unless a Page holds it.
    if (s.bytes && s.bytes.use_count() == 1) spare.push_back(std::move(s.bytes));
    s.bytes = std::move(run.pages[i]);
    s.status = run.status[i];
    s.pgno = pgno;
    s.recent = false;
    link(at);
  }
  read_ahead_->recycle(spare);
}

void DbFile::readAhead(Stream& stream) const {
  const std::uint32_t until = stream.next + kRunsAhead * run_pages_;
  while (stream.ahead < until && stream.ahead <= page_count_) {
    const std::uint32_t count = std::min(run_pages_, page_count_ - stream.ahead + 1);
    read_ahead_->request(stream.ahead, count);
    stream.ahead += count;
  }
}

Status DbFile::load(std::uint32_t pgno, std::uint32_t& slot) const {
  Stream* stream = streamOf(pgno);
  if (stream != nullptr && read_ahead_) {
    PageReadAhead::Run run;
    if (read_ahead_->take(pgno, run)) {
      install(run);
      slot = find(pgno);
      if (slot != kNoSlot) {
        stream->first = run.first;
        stream->next = run.first + static_cast<std::uint32_t>(run.pages.size());
        stream->ahead = std::max(stream->ahead, stream->next);
        readAhead(*stream);
        return JET_errSuccess;
      }
    }
  }
  // Read here: the page alone, or a run when it continues a stream.
  std::uint32_t count = 1;
  if (stream != nullptr) {
    const std::uint32_t most = std::min(run_pages_, page_count_ - pgno + 1);
    while (count < most && find(pgno + count) == kNoSlot) ++count;
  }
  const std::size_t page_size = header_.page_size;
  std::array<std::uint32_t, kMaxRunPages> claimed;
  std::array<ReadBuffer, kMaxRunPages> vec;
  // The run before this one along the stream, at most a run long.
  std::uint32_t passed = pgno;
  if (stream != nullptr) {
    passed = std::max(stream->first, pgno - std::min(pgno, run_pages_));
    stream->first = pgno;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    claimed[i] = claimPassed(passed, pgno);
    if (claimed[i] == kNoSlot) claimed[i] = claim(true);
    vec[i] = ReadBuffer{slots_[claimed[i]].bytes.get(), page_size};
  }
  const std::int64_t got = file_.read(vec.data(), count, (std::uint64_t{pgno} + 1) * page_size);
  // Whole pages read; the first must be among them.
  const std::size_t pages = got < 0 ? 0 : static_cast<std::size_t>(got) / page_size;
  for (std::uint32_t i = 0; i < count; ++i) {
    Slot& s = slots_[claimed[i]];
    s.claimed = false;
    if (i >= pages) continue;
    s.pgno = pgno + i;
    s.status = checkPage(s.bytes.get(), page_size, s.pgno);
    s.recent = false;
    link(claimed[i]);
  }
  if (pages == 0) {
    const JET_ERR err = got < 0 ? JET_errDiskIO : JET_errFileIOBeyondEOF;
    return Status(err, "the file changed or became unreadable while it was read", pgno);
  }
  if (stream != nullptr) {
    stream->next = pgno + count;
    if (read_ahead_) {
      stream->ahead = std::max(stream->ahead, stream->next);
      readAhead(*stream);
    }
  }
  slot = claimed[0];
  return JET_errSuccess;
}

Status DbFile::readPage(std::uint32_t pgno, Page& out) const {
  if (pgno == 0) return Status(JET_errBadPageLink, "a link leads to page 0, which no file has");
  if (pgno > page_count_) {
    return Status(JET_errFileIOBeyondEOF, "the page lies beyond the end of the file", pgno);
  }
  std::uint32_t slot = find(pgno);
  if (slot == kNoSlot) {
    if (Status s = load(pgno, slot); !s.ok()) return s;
  }
  Slot& s = slots_[slot];
  s.recent = true;
  switch (s.status) {
    case JET_errSuccess: break;
    case JET_errPageNotInitialized: return Status(s.status, "the page was never written", pgno);
    default: return Status(s.status, "the page's checksum does not match its content", pgno);
  }
  return Page::parse(Bytes(s.bytes.get(), header_.page_size), pgno, out, s.bytes);
}

}  // namespace ese
