// SPDX-License-Identifier: Apache-2.0
// The database file as the engine reads it: opened read-only, never with
// write access, and read at byte offsets into a list of buffers. One
// implementation per system (file_reader.cpp with POSIX calls,
// file_reader_windows.cpp with the Windows ones), chosen when building.
//
// On Windows the file is opened sharing reading, writing and deletion with
// every other program, so that Corvadex never stands in the way of the mail
// client; a file another program holds without sharing is refused at once
// with JET_errFileAccessDenied and a note that says who holds it and what to
// do (kHeldByAnotherProgram). Nothing waits or retries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "ese/jet.h"
#include "ese/status.h"

namespace ese {

// The note of a database another program holds without sharing: what
// holds it and what the user can do. The command line shows it with the
// error line even when it shows no other detail.
inline constexpr const char* kHeldByAnotherProgram =
    "another program holds the file open: close the mail client, Messenger and its background "
    "communication service, or copy the folder and read the copy";

// `size` bytes to be filled at `data`.
struct ReadBuffer {
  std::byte* data;
  std::size_t size;
};

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile() { close(); }
  ReadOnlyFile(ReadOnlyFile&& other) noexcept
      : handle_(std::exchange(other.handle_, kClosed)), size_(other.size_) {}
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, kClosed);
      size_ = other.size_;
    }
    return *this;
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens `path` (UTF-8) read-only without blocking and checks that it is a
  // regular file: JET_errFileNotFound (no such file), JET_errFileAccessDenied
  // (not readable, or held by another program), JET_errInvalidPath (a folder
  // or an empty path), JET_errInvalidDatabase (a FIFO, a device, a socket),
  // JET_errOutOfMemory, JET_errDiskIO (other failures of the system). A
  // file another program holds names kHeldByAnotherProgram as its check.
  Status open(const std::string& path);
  // The file's length when it was opened.
  std::uint64_t size() const { return size_; }

  // Fills the `count` buffers one after the other from byte `offset` on,
  // retrying short reads; the bytes read (short only at the end of the
  // file), or -1 when the system fails. Safe to call from two threads at once.
  std::int64_t read(const ReadBuffer* buffers, std::size_t count, std::uint64_t offset) const;
  std::int64_t read(std::byte* data, std::size_t size, std::uint64_t offset) const {
    const ReadBuffer one{data, size};
    return read(&one, 1, offset);
  }

 private:
  static constexpr std::intptr_t kClosed = -1;
  void close() noexcept;

  std::intptr_t handle_ = kClosed;  // a file descriptor or a HANDLE
  std::uint64_t size_ = 0;
};

}  // namespace ese
