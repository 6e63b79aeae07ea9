// SPDX-License-Identifier: Apache-2.0
// The database file read with the Windows calls: CreateFileW with
// GENERIC_READ only, sharing reading, writing and deletion, and ReadFile at
// the offsets an OVERLAPPED names (the handle is synchronous, so each read
// completes before it returns, and reads of two threads do not share a file
// pointer).
#include "ese/file_reader.h"

#include <windows.h>


#include "base/wide_path.h"
#include "ese/failure_note.h"

namespace ese {
namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

JET_ERR statusForError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return JET_errFileNotFound;
    case ERROR_ACCESS_DENIED: return JET_errFileAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return fail(JET_errFileAccessDenied,
                  "another program holds the file open: close the mail client, Messenger and its "
                  "background communication service, or copy the folder and read the copy");
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

JET_ERR ReadOnlyFile::open(const std::string& path) {
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

std::int64_t ReadOnlyFile::read(const ReadBuffer* buffers, std::size_t count,
                                std::uint64_t offset) const {
  std::int64_t total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::byte* data = buffers[i].data;
    std::size_t left = buffers[i].size;
    while (left > 0) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      const DWORD want = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!::ReadFile(handleOf(handle_), data, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return total;
        return -1;
      }
      if (got == 0) return total;  // the end of the file
      data += got;
      left -= got;
      offset += got;
      total += got;
    }
  }
  return total;
}

}  // namespace ese
