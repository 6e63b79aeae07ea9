// SPDX-License-Identifier: Apache-2.0
#include "ese/db_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ese/failure_note.h"
#include "ese/page_checksum.h"

namespace ese {
namespace {

JET_ERR statusForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return JET_errFileNotFound;
    case EACCES:
    case EPERM: return JET_errFileAccessDenied;
    case ENAMETOOLONG:
    case EISDIR: return JET_errInvalidPath;
    case ENOMEM: return JET_errOutOfMemory;
    default: return JET_errDiskIO;
  }
}

// Reads up to `size` bytes at `offset`, retrying short reads; the number
// read (short only at the end of the file), or -1 with errno set.
ssize_t readFully(int fd, std::byte* data, std::size_t size, std::uint64_t offset) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::pread(fd, data + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// Notes what is wrong with a header that is there but damaged; a file that
// is no database at all is not damage and gets no note.
JET_ERR noteHeaderFailure(JET_ERR err) {
  switch (err) {
    case JET_errReadVerifyFailure:
      return fail(err, "the file header's checksum does not match its content");
    case JET_errFileIOBeyondEOF: return fail(err, "the file is shorter than its header");
    default: return err;
  }
}

}  // namespace

JET_ERR openRegularFileReadOnly(const std::string& path, int& fd, std::uint64_t& size) {
  if (path.empty()) return JET_errInvalidPath;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer. Regular files ignore the flag.
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return statusForErrno(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return statusForErrno(error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? JET_errInvalidPath : JET_errInvalidDatabase;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return JET_errSuccess;
}

JET_ERR DbFile::readHeader(const std::string& path, FileHeader& out) {
  int fd = -1;
  std::uint64_t size = 0;
  if (JET_ERR err = openRegularFileReadOnly(path, fd, size); err != JET_errSuccess) return err;
  std::vector<std::byte> buffer(size < kFileHeaderSize ? size : kFileHeaderSize);
  const ssize_t got = readFully(fd, buffer.data(), buffer.size(), 0);
  ::close(fd);
  if (got < 0) return JET_errDiskIO;
  if (got < 8) return static_cast<std::uint64_t>(got) == size ? JET_errInvalidDatabase : JET_errDiskIO;
  forgetFailure();
  return noteHeaderFailure(parseFileHeader(Bytes(buffer.data(), static_cast<std::size_t>(got)), out));
}

JET_ERR DbFile::open(const std::string& path, std::unique_ptr<DbFile>& out) {
  forgetFailure();
  std::unique_ptr<DbFile> file(new DbFile());
  if (JET_ERR err = openRegularFileReadOnly(path, file->fd_, file->size_); err != JET_errSuccess) {
    file->fd_ = -1;
    return err;
  }
  if (file->size_ < 8) return JET_errInvalidDatabase;
  std::vector<std::byte> head(file->size_ < kFileHeaderSize ? file->size_ : kFileHeaderSize);
  const ssize_t got = readFully(file->fd_, head.data(), head.size(), 0);
  if (got < 0) return statusForErrno(errno);
  if (JET_ERR err = parseFileHeader(Bytes(head.data(), static_cast<std::size_t>(got)), file->header_);
      err != JET_errSuccess) {
    return noteHeaderFailure(err);
  }
  const std::uint64_t pages = file->size_ / file->header_.page_size;
  // Two header pages precede the data pages.
  file->page_count_ = pages < 2 ? 0 : static_cast<std::uint32_t>(
                                          pages - 2 > 0xfffffff0u ? 0xfffffff0u : pages - 2);
  const std::size_t slots = std::max(kMinCachePages, kCacheBytes / file->header_.page_size);
  file->slots_.resize(slots);
  file->slot_of_.reserve(slots);
  out = std::move(file);
  return JET_errSuccess;
}

DbFile::~DbFile() {
  if (fd_ >= 0) ::close(fd_);
}

// The clock: the first slot from the hand on that was not used since the
// hand last passed it.
std::size_t DbFile::victim() const {
  for (;;) {
    Slot& s = slots_[hand_];
    const std::size_t at = hand_;
    hand_ = (hand_ + 1) % slots_.size();
    if (s.pgno == 0 || !s.recent) return at;
    s.recent = false;
  }
}

JET_ERR DbFile::load(std::uint32_t pgno, std::size_t& slot) const {
  const std::size_t page_size = header_.page_size;
  slot = victim();
  Slot& s = slots_[slot];
  if (s.pgno != 0) {
    slot_of_.erase(s.pgno);
    s.pgno = 0;
  }
  // A buffer some Page still holds is left to it.
  if (!s.bytes || s.bytes.use_count() > 1) s.bytes = std::make_shared<Buffer>(page_size);
  std::byte* data = s.bytes->data();
  const ssize_t got = readFully(fd_, data, page_size, (std::uint64_t{pgno} + 1) * page_size);
  if (got != static_cast<ssize_t>(page_size)) {
    const JET_ERR err = got < 0 ? JET_errDiskIO : JET_errFileIOBeyondEOF;
    return fail(err, "the file changed or became unreadable while it was read", pgno);
  }
  // Every page size is at least 2 KiB: the header's checksum and flags
  // are there.
  const std::uint64_t checksum = corvadex::base::loadLe64(data);
  const std::uint32_t flags = corvadex::base::loadLe32(data + 36);
  JET_ERR err = JET_errSuccess;
  if (checksum == 0 && flags == 0) {
    err = JET_errPageNotInitialized;
  } else {
    const bool new_format = page_size > 8192 || (flags & kPageNewChecksum) != 0;
    if (!verifyPageChecksum(Bytes(data, page_size), pgno, new_format)) {
      err = JET_errReadVerifyFailure;
    }
  }
  s.pgno = pgno;
  s.status = err;
  slot_of_.emplace(pgno, slot);
  return JET_errSuccess;
}

JET_ERR DbFile::readPage(std::uint32_t pgno, Page& out) const {
  if (pgno == 0) return fail(JET_errBadPageLink, "a link leads to page 0, which no file has");
  if (pgno > page_count_) {
    return fail(JET_errFileIOBeyondEOF, "the page lies beyond the end of the file", pgno);
  }
  std::size_t slot = 0;
  if (auto it = slot_of_.find(pgno); it != slot_of_.end()) {
    slot = it->second;
  } else if (JET_ERR err = load(pgno, slot); err != JET_errSuccess) {
    return err;
  }
  Slot& s = slots_[slot];
  s.recent = true;
  switch (s.status) {
    case JET_errSuccess: break;
    case JET_errPageNotInitialized: return fail(s.status, "the page was never written", pgno);
    default: return fail(s.status, "the page's checksum does not match its content", pgno);
  }
  return Page::parse(Bytes(s.bytes->data(), s.bytes->size()), pgno, out, s.bytes);
}

}  // namespace ese
