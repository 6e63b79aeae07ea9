// SPDX-License-Identifier: Apache-2.0
#include "location/windows_search_host_windows.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/wide_text_windows.h"

namespace corvadex {

namespace {

using platform::pathFromWin32;
using platform::win32Path;

struct FileCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

struct FindCloser {
  void operator()(HANDLE handle) const { ::FindClose(handle); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// While it lives, a drive without a medium (an empty card reader) fails
// its calls at once on this thread instead of asking the user, in a
// message box, to insert a disk.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~QuietDriveErrors() { ::SetThreadErrorMode(previous_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD previous_ = 0;
};

// Opens an entry for reading its attributes only, which another program's
// sharing never refuses (the mail client keeps its database open without
// sharing). `ownEntry` opens a link itself rather than what it points to.
FileHandle openForAttributes(const std::string& path, bool ownEntry) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;  // folders too
  if (ownEntry) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE handle = ::CreateFileW(win32Path(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return FileHandle(handle);
}

// Seconds since 1970 of a FILETIME (100-nanosecond steps since 1601).
std::int64_t unixSeconds(const FILETIME& time) {
  constexpr std::int64_t kStepsPerSecond = 10'000'000;
  constexpr std::int64_t k1601To1970 = 11'644'473'600;
  const std::int64_t steps = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return steps / kStepsPerSecond - k1601To1970;
}

TreeEntry::Kind kindOf(const WIN32_FIND_DATAW& data) {
  // A reparse point that stands for another name is a link; others (a file
  // kept in the cloud, a deduplicated file) are what their attributes say.
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      IsReparseTagNameSurrogate(data.dwReserved0))
    return TreeEntry::Kind::Link;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return TreeEntry::Kind::Folder;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0) return TreeEntry::Kind::Other;
  return TreeEntry::Kind::File;
}

}  // namespace

std::vector<std::string> WindowsSearchHost::volumes() const {
  std::vector<std::string> drives;
  std::wstring names(128, L'\0');
  for (;;) {
    const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(names.size()), names.data());
    if (length == 0) return drives;
    if (length < names.size()) {
      names.resize(length);
      break;
    }
    names.resize(length + 1);
  }
  // "A:\<NUL>C:\<NUL>..."
  for (std::size_t start = 0; start < names.size();) {
    std::size_t end = names.find(L'\0', start);
    if (end == std::wstring::npos) end = names.size();
    const std::wstring root = names.substr(start, end - start);
    start = end + 1;
    if (root.empty()) continue;
    const UINT type = ::GetDriveTypeW(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE) continue;
    std::string drive = utf8Text(root);
    while (!drive.empty() && drive.back() == '\\') drive.pop_back();
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::vector<TreeEntry> WindowsSearchHost::list(const std::string& folder) const {
  const QuietDriveErrors quiet;
  std::vector<TreeEntry> entries;
  std::string pattern = folder;
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW data;
  HANDLE raw = ::FindFirstFileExW(win32Path(pattern).c_str(), FindExInfoBasic, &data,
                                  FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (raw == INVALID_HANDLE_VALUE) return entries;
  const FindHandle search(raw);
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({utf8Text(name), kindOf(data)});
  } while (::FindNextFileW(search.get(), &data));
  return entries;
}

std::optional<FileFacts> WindowsSearchHost::facts(const std::string& path) const {
  const QuietDriveErrors quiet;
  const FileHandle file = openForAttributes(path, true);
  if (!file) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      ::GetFileType(file.get()) != FILE_TYPE_DISK)
    return std::nullopt;
  FileFacts facts;
  facts.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts.modified = unixSeconds(info.ftLastWriteTime);
  // The volume's serial number and the file's index tell one file reached
  // through two names (a drive and a folder named on it).
  facts.device = info.dwVolumeSerialNumber;
  facts.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return facts;
}

std::optional<std::string> WindowsSearchHost::realPath(const std::string& path) const {
  const QuietDriveErrors quiet;
  const FileHandle file = openForAttributes(path, false);
  if (!file) return std::nullopt;
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFinalPathNameByHandleW(file.get(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      std::string real = pathFromWin32(buffer);
      // A drive's root reads "C:", as the search names drives.
      while (real.size() > 2 && real.back() == '\\') real.pop_back();
      if (real.size() == 3 && real[1] == ':') real.pop_back();
      return real;
    }
    buffer.resize(length);  // the length needed, NUL included
  }
  return std::nullopt;
}

}  // namespace corvadex
