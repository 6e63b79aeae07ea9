// SPDX-License-Identifier: Apache-2.0
// The database file read with POSIX calls: open with O_RDONLY, preadv.
#include "ese/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

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

constexpr std::size_t kMaxBuffers = 64;

}  // namespace

void ReadOnlyFile::close() noexcept {
  if (handle_ != kClosed) ::close(static_cast<int>(handle_));
  handle_ = kClosed;
}

JET_ERR ReadOnlyFile::open(const std::string& path) {
  close();
  if (path.empty()) return JET_errInvalidPath;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer. Regular files ignore the flag.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return JET_errSuccess;
}

std::int64_t ReadOnlyFile::read(const ReadBuffer* buffers, std::size_t count,
                                std::uint64_t offset) const {
  std::array<iovec, kMaxBuffers> vec;
  std::int64_t total = 0;
  // At most kMaxBuffers buffers a call; more are read in turns.
  while (count > 0) {
    const std::size_t turn = std::min(count, kMaxBuffers);
    std::size_t left = 0;
    for (std::size_t i = 0; i < turn; ++i) {
      vec[i] = iovec{buffers[i].data, buffers[i].size};
      left += buffers[i].size;
    }
    iovec* at = vec.data();
    std::size_t pending = turn;
    std::size_t got = 0;
    while (pending > 0) {
      const ssize_t n = ::preadv(static_cast<int>(handle_), at, static_cast<int>(pending),
                                 static_cast<off_t>(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
      // Step past the buffers filled, and into a buffer filled in part.
      for (std::size_t done = static_cast<std::size_t>(n); done > 0 && pending > 0;) {
        if (done >= at->iov_len) {
          done -= at->iov_len;
          ++at;
          --pending;
        } else {
          at->iov_base = static_cast<std::byte*>(at->iov_base) + done;
          at->iov_len -= done;
          done = 0;
        }
      }
    }
    total += static_cast<std::int64_t>(got);
    if (got < left) break;  // the end of the file
    buffers += turn;
    count -= turn;
    offset += got;
  }
  return total;
}

}  // namespace ese
