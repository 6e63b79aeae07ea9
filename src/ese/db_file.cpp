#include "ese/db_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ese/page_checksum.h"

namespace ese {
namespace {

JET_ERR StatusForErrno(int error) {
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

// Opens `path` read-only and checks it is a regular file.
JET_ERR OpenReadOnly(const std::string& path, int& fd, std::size_t& size) {
  if (path.empty()) return JET_errInvalidPath;
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return StatusForErrno(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return StatusForErrno(error);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return JET_errInvalidPath;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return JET_errInvalidDatabase;
  }
  size = static_cast<std::size_t>(st.st_size);
  return JET_errSuccess;
}

}  // namespace

JET_ERR DbFile::ReadHeader(const std::string& path, FileHeader& out) {
  int fd = -1;
  std::size_t size = 0;
  if (JET_ERR err = OpenReadOnly(path, fd, size); err != JET_errSuccess) return err;
  std::vector<std::byte> buffer(size < kFileHeaderSize ? size : kFileHeaderSize);
  std::size_t got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::pread(fd, buffer.data() + got, buffer.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got < 8) return got == size ? JET_errInvalidDatabase : JET_errDiskIO;
  return ParseFileHeader(Bytes(buffer.data(), got), out);
}

JET_ERR DbFile::Open(const std::string& path, std::unique_ptr<DbFile>& out) {
  int fd = -1;
  std::size_t size = 0;
  if (JET_ERR err = OpenReadOnly(path, fd, size); err != JET_errSuccess) return err;
  if (size < 8) {
    ::close(fd);
    return JET_errInvalidDatabase;
  }
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  const int map_error = errno;
  ::close(fd);
  if (map == MAP_FAILED) return StatusForErrno(map_error);

  std::unique_ptr<DbFile> file(new DbFile());
  file->map_ = static_cast<const std::byte*>(map);
  file->size_ = size;
  const std::size_t header_bytes = size < kFileHeaderSize ? size : kFileHeaderSize;
  if (JET_ERR err = ParseFileHeader(Bytes(file->map_, header_bytes), file->header_);
      err != JET_errSuccess) {
    return err;
  }
  const std::size_t pages = size / file->header_.page_size;
  // Two header pages precede the data pages.
  file->page_count_ = pages < 2 ? 0 : static_cast<std::uint32_t>(
                                          pages - 2 > 0xfffffff0u ? 0xfffffff0u : pages - 2);
  file->verified_.assign(file->page_count_ + 1, 0);
  out = std::move(file);
  return JET_errSuccess;
}

DbFile::~DbFile() {
  if (map_ != nullptr) ::munmap(const_cast<std::byte*>(map_), size_);
}

JET_ERR DbFile::ReadPage(std::uint32_t pgno, Page& out) const {
  if (pgno == 0) return JET_errBadPageLink;
  if (pgno > page_count_) return JET_errFileIOBeyondEOF;
  const std::size_t page_size = header_.page_size;
  const Bytes bytes(map_ + (std::size_t{pgno} + 1) * page_size, page_size);
  std::int32_t& state = verified_[pgno];
  if (state == 0) {
    const ByteView view(bytes);
    std::uint64_t checksum = 0;
    std::uint32_t flags = 0;
    view.U64(0, checksum);
    view.U32(36, flags);
    JET_ERR err = JET_errSuccess;
    if (checksum == 0 && flags == 0) {
      err = JET_errPageNotInitialized;
    } else {
      const bool new_format = page_size > 8192 || (flags & kPageNewChecksum) != 0;
      if (!VerifyPageChecksum(bytes, pgno, new_format)) err = JET_errReadVerifyFailure;
    }
    state = err == JET_errSuccess ? 1 : err;
    fresh_bytes_ += page_size;
    if (fresh_bytes_ >= kResidentWindow) {
      // Advice only: should the kernel refuse it, the pages just stay mapped.
      ::madvise(const_cast<std::byte*>(map_), size_, MADV_DONTNEED);
      fresh_bytes_ = 0;
    }
  }
  if (state != 1) return state;
  return Page::Parse(bytes, pgno, out);
}

}  // namespace ese
