// SPDX-License-Identifier: Apache-2.0
#include <cerrno>
#include <system_error>

#include <unistd.h>

#include "export/byte_sink.h"

namespace corvadex {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

void WriteAll(int fd, std::string_view bytes, const std::string& name) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), name);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

FdSink::FdSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {
  buffer_.reserve(kBufferSize);
}

// Whatever is still buffered when the sink goes away unflushed belongs to an
// export that failed; it is dropped rather than written after the error.
FdSink::~FdSink() = default;

void FdSink::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) {
    Flush();
    if (bytes.size() >= kBufferSize) {
      WriteAll(fd_, bytes, name_);
      return;
    }
  }
  buffer_.append(bytes);
}

void FdSink::Flush() {
  if (buffer_.empty()) return;
  WriteAll(fd_, buffer_, name_);
  buffer_.clear();
}

}  // namespace corvadex
