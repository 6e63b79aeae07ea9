// SPDX-License-Identifier: Apache-2.0
#include "page_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace corvadex::esew {

PageFile::~PageFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string PageFile::open(const std::string& path, const FileFormat& format) {
  format_ = format;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return "cannot create " + path + ": " + std::strerror(errno);
  return {};
}

std::uint32_t PageFile::allocate(std::uint32_t count) {
  const std::uint32_t first = next_;
  if (static_cast<std::uint64_t>(next_) + count > 0x7fefffffu)
    throw std::runtime_error("database would exceed the largest page number");
  next_ += count;
  return first;
}

void PageFile::writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::string("write failed: ") + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
}

void PageFile::writePage(std::uint32_t pgno, const unsigned char* image) {
  if (pgno == 0 || pgno >= next_) throw std::logic_error("write to an unallocated page");
  writeAt((static_cast<std::uint64_t>(pgno) + 1) * format_.pageSize, image, format_.pageSize);
}

void PageFile::writeHeader(const unsigned char* image) {
  writeAt(0, image, format_.pageSize);
  writeAt(format_.pageSize, image, format_.pageSize);
}

std::string PageFile::close() {
  if (fd_ < 0) return {};
  std::string error;
  // Pages allocated but never written (the unused end of a tree's last
  // extent) read as zeros, as in a file the engine has grown.
  const auto size = static_cast<off_t>((static_cast<std::uint64_t>(next_) + 1) * format_.pageSize);
  if (::ftruncate(fd_, size) != 0) error = std::string("cannot size the file: ") + std::strerror(errno);
  if (::close(fd_) != 0 && error.empty()) error = std::string("cannot close the file: ") + std::strerror(errno);
  fd_ = -1;
  return error;
}

}  // namespace corvadex::esew
