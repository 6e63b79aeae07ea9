// SPDX-License-Identifier: Apache-2.0
// The database file read with the Windows calls: CreateFileW with
// GENERIC_READ only, sharing reading, writing and deletion, and ReadFile at
// the offsets an OVERLAPPED names (the handle is synchronous, so each read
// completes before it returns, and reads of two threads do not share a file
// pointer).
#include "ese/file_reader.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/wide_path.h"

namespace ese {
namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

Status statusForError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return JET_errFileNotFound;
    case ERROR_ACCESS_DENIED: return JET_errFileAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Status(JET_errFileAccessDenied, kHeldByAnotherProgram);
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return JET_errInvalidPath;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return JET_errOutOfMemory;
    default: return JET_errDiskIO;
  }
}

}  // namespace

void ReadOnlyFile::close() noexcept {
  if (handle_ != kClosed) ::CloseHandle(handleOf(handle_));
  handle_ = kClosed;
}

Status ReadOnlyFile::open(const std::string& path) {
  close();
  if (path.empty()) return JET_errInvalidPath;
  const std::wstring wide = corvadex::widePath(path);
  if (wide.empty()) return JET_errInvalidPath;
  // FILE_FLAG_BACKUP_SEMANTICS lets a folder open too, so that it is told
  // apart from a missing file, as on the other systems.
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return statusForError(::GetLastError());
  // A pipe, a console or a device in the database's place.
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    return JET_errInvalidDatabase;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    return statusForError(error);
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    ::CloseHandle(file);
    return JET_errInvalidPath;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  size_ = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return JET_errSuccess;
}

namespace {

// Fills `size` bytes at `data` from `offset` on, retrying short reads; the
// bytes read (short only at the end of the file), or -1.
std::int64_t readSpan(HANDLE file, std::byte* data, std::size_t size, std::uint64_t offset) {
  std::int64_t total = 0;
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!::ReadFile(file, data, want, &got, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) return total;
      return -1;
    }
    if (got == 0) return total;  // the end of the file
    data += got;
    size -= got;
    offset += got;
    total += got;
  }
  return total;
}

}  // namespace

// Windows has no scattered read of a file opened for buffered reading, and
// each ReadFile is a call into the system (under Wine, a round trip to its
// server), so a run of pages is read with one call: straight into the
// buffers when they follow each other in memory, else into a staging
// buffer of the thread's and copied out.
std::int64_t ReadOnlyFile::read(const ReadBuffer* buffers, std::size_t count,
                                std::uint64_t offset) const {
  std::size_t whole = 0;
  bool adjacent = true;
  for (std::size_t i = 0; i < count; ++i) {
    whole += buffers[i].size;
    if (i > 0 && buffers[i].data != buffers[i - 1].data + buffers[i - 1].size) adjacent = false;
  }
  if (count == 0) return 0;
  if (adjacent) return readSpan(handleOf(handle_), buffers[0].data, whole, offset);
  thread_local std::vector<std::byte> staging;
  if (staging.size() < whole) staging.resize(whole);
  const std::int64_t got = readSpan(handleOf(handle_), staging.data(), whole, offset);
  if (got < 0) return got;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < count && copied < static_cast<std::size_t>(got); ++i) {
    const std::size_t n = std::min(buffers[i].size, static_cast<std::size_t>(got) - copied);
    std::memcpy(buffers[i].data, staging.data() + copied, n);
    copied += n;
  }
  return got;
}

}  // namespace ese
