// SPDX-License-Identifier: Apache-2.0
// OutputFile's buffer and what is the same on every system; the file
// itself is made, written and renamed by each system's source.
#include <cerrno>
#include <utility>

#include "base/output_file.h"
#include "base/output_file_io.h"

namespace corvadex {

OutputFile::OutputFile(Kind kind, int fd, std::string target)
    : kind_(kind), fd_(fd), target_(std::move(target)) {
  buffer_.reserve(kOutputBufferSize);
}

OutputFile OutputFile::ofDescriptor(int fd, std::string name) {
  return OutputFile(Kind::Descriptor, fd, std::move(name));
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : kind_(other.kind_),
      fd_(std::exchange(other.fd_, -1)),
      target_(std::move(other.target_)),
      finalPath_(std::move(other.finalPath_)),
      tempPath_(std::exchange(other.tempPath_, {})),
      buffer_(std::move(other.buffer_)) {}

// Whatever is still buffered when the file goes away uncommitted belongs to
// a write that failed; it is dropped rather than written after the error.
OutputFile::~OutputFile() { discard(); }

void OutputFile::write(std::string_view bytes) {
  if (fd_ < 0) throwErrno(EBADF, target_);
  if (buffer_.size() + bytes.size() > kOutputBufferSize) {
    flushBuffer();
    if (bytes.size() >= kOutputBufferSize) {
      writeAll(fd_, bytes, target_);
      return;
    }
  }
  buffer_.append(bytes);
}

void OutputFile::writeAt(std::uint64_t offset, std::string_view bytes) {
  if (fd_ < 0) throwErrno(EBADF, target_);
  flushBuffer();
  writeAll(fd_, bytes, target_, &offset);
}

void OutputFile::flushBuffer() {
  if (buffer_.empty()) return;
  writeAll(fd_, buffer_, target_);
  buffer_.clear();
}

}  // namespace corvadex
