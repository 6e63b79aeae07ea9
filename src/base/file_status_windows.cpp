// SPDX-License-Identifier: Apache-2.0
// What a path names, with the wide Windows calls. A file's identity is the
// volume serial number and file index GetFileInformationByHandle gives,
// which hard links share; opening the path follows symbolic links.
#include "base/file_status.h"

#include <windows.h>

#include <cerrno>

#include "base/wide_path.h"
#include "base/windows_error.h"

namespace corvadex {
namespace {

// An open handle for asking about a file (no read or write access, every
// kind of sharing, folders too).
class QueryHandle {
 public:
  explicit QueryHandle(const std::string& path) {
    const std::wstring wide = widePath(path);
    if (wide.empty()) {
      error_ = ERROR_INVALID_NAME;
      return;
    }
    handle_ = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) error_ = ::GetLastError();
  }
  ~QueryHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  QueryHandle(const QueryHandle&) = delete;
  QueryHandle& operator=(const QueryHandle&) = delete;

  bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  DWORD error() const { return error_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace

FileKind fileKind(const std::string& path, int* error) {
  QueryHandle file(path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.open() || !::GetFileInformationByHandle(file.get(), &info)) {
    // A device (NUL, CON) opens but has no file information.
    if (file.open() && ::GetFileType(file.get()) != FILE_TYPE_DISK) return FileKind::Other;
    if (error != nullptr) *error = errnoOfWindowsError(file.open() ? ::GetLastError() : file.error());
    return FileKind::Missing;
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
  return ::GetFileType(file.get()) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Other;
}

bool isSameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  QueryHandle fa(a), fb(b);
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (!fa.open() || !fb.open() || !::GetFileInformationByHandle(fa.get(), &ia) ||
      !::GetFileInformationByHandle(fb.get(), &ib)) {
    return false;
  }
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

int makeFolder(const std::string& path) {
  const std::wstring wide = widePath(path);
  if (wide.empty()) return ENOENT;
  if (::CreateDirectoryW(wide.c_str(), nullptr)) return 0;
  const DWORD error = ::GetLastError();
  return error == ERROR_ALREADY_EXISTS ? 0 : errnoOfWindowsError(error);
}

}  // namespace corvadex
