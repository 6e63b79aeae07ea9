// SPDX-License-Identifier: Apache-2.0
// OutputFile with the wide Windows calls. The temporary file is made with
// CreateFileW(CREATE_NEW) beside the target (sharing deletion, so that an
// interrupted command can remove it while it is open); commit flushes it to disk
// (FlushFileBuffers), closes it and puts it in the target's place with
// ReplaceFileW when the target exists (which keeps the target's attributes
// and security), else, or when that cannot be done, with
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Until
// then the target is untouched; an uncommitted file removes its temporary
// file. The file is held as a C runtime descriptor over its handle, so that
// standard output (descriptor 1) is written the same way.
#include "base/output_file.h"
#include "base/output_file_io.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <system_error>
#include <utility>

#include "base/file_status.h"
#include "base/wide_path.h"
#include "base/windows_error.h"

namespace corvadex {

namespace {

[[noreturn]] void throwLastError(const std::string& name) {
  throwErrno(errnoOfWindowsError(::GetLastError()), name);
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The folder part of a path, "." for a bare file name; "C:" keeps its
// root ("C:\").
std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  if (slash == std::string::npos) {
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
  }
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// At the file pointer, or at `offset` (the file pointer then stays where it
// was, as with pwrite).
void writeAll(int fd, std::string_view bytes, const std::string& name, const std::uint64_t* offset) {
  const HANDLE file = handleOf(fd);
  if (file == INVALID_HANDLE_VALUE) throwErrno(EBADF, name);
  LARGE_INTEGER saved{};
  if (offset != nullptr && !::SetFilePointerEx(file, LARGE_INTEGER{}, &saved, FILE_CURRENT)) throwLastError(name);
  std::uint64_t at = offset ? *offset : 0;
  while (!bytes.empty()) {
    const DWORD want = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD wrote = 0;
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(at);
    place.OffsetHigh = static_cast<DWORD>(at >> 32);
    if (!::WriteFile(file, bytes.data(), want, &wrote, offset ? &place : nullptr)) throwLastError(name);
    if (wrote == 0) throwErrno(EIO, name);
    bytes.remove_prefix(wrote);
    at += wrote;
  }
  if (offset != nullptr && !::SetFilePointerEx(file, saved, nullptr, FILE_BEGIN)) throwLastError(name);
}

namespace {

// Device names that are no place in a folder, whatever folder or
// extension they are given: CON, NUL, COM1 and the like.
bool isDeviceName(const std::string& path) {
  std::string name = baseOf(path);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ')) name.pop_back();
  for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" ||
      name == "CONOUT$") {
    return true;
  }
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '1' &&
         name[3] <= '9';
}

}  // namespace

OutputFile::OutputFile(std::string target) : kind_(Kind::Replacing), target_(std::move(target)) {
  if (target_.empty()) throwErrno(ENOENT, "(no file name)");
  if (isSeparator(target_.back())) throwErrno(EISDIR, target_);
  finalPath_ = target_;
  if (fileKind(finalPath_) == FileKind::Folder) throwErrno(EISDIR, target_);

  // A short name of fixed length in the same folder (it fits wherever the
  // target's own name does), made unique with a random part and
  // CREATE_NEW.
  const std::string folder = folderOf(finalPath_);
  const std::string prefix =
      folder + (isSeparator(folder.back()) || folder.back() == ':' ? "" : "\\") + ".corvadex-";
  std::random_device seed;
  std::mt19937_64 random(seed());
  DWORD lastError = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string candidate = temporaryName(prefix, random);
    const std::wstring wide = widePath(candidate);
    if (wide.empty()) throwErrno(EINVAL, target_);
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      lastError = ::GetLastError();
      if (lastError != ERROR_FILE_EXISTS && lastError != ERROR_ALREADY_EXISTS) break;
      continue;
    }
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    if (fd_ < 0) {
      ::CloseHandle(file);
      ::DeleteFileW(wide.c_str());
      throwErrno(EMFILE, target_);
    }
    tempPath_ = std::move(candidate);
  }
  if (fd_ < 0) throwErrno(errnoOfWindowsError(lastError), target_);
  buffer_.reserve(kOutputBufferSize);
}

OutputFile OutputFile::InPlace(std::string target) {
  const std::wstring wide = widePath(target);
  const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throwLastError(target);
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(file);
    throwErrno(EMFILE, target);
  }
  return OutputFile(Kind::InPlace, fd, std::move(target));
}

void OutputFile::checkTarget(const std::string& target) {
  if (target.empty()) throwErrno(ENOENT, "(no file name)");
  if (isSeparator(target.back())) throwErrno(EISDIR, target);
  if (fileKind(target) == FileKind::Folder) throwErrno(EISDIR, target);
  int error = 0;
  switch (fileKind(folderOf(target), &error)) {
    case FileKind::Folder: break;
    case FileKind::Missing: throwErrno(error, target);
    default: throwErrno(ENOTDIR, target);
  }
  // No file system Windows writes to takes a name longer than 255 UTF-16
  // units, and a path is at most 32767 of them.
  if (wideText(baseOf(target)).size() > 255 || widePath(target).size() >= 32767)
    throwErrno(ENAMETOOLONG, target);
}

bool OutputFile::writesInPlace(const std::string& target) {
  // \\.\ names a device or a pipe, not a place in a folder.
  if (target.starts_with("\\\\.\\") || target.starts_with("//./") || isDeviceName(target)) return true;
  return fileKind(target) == FileKind::Other;
}

void OutputFile::discard() noexcept {
  if (fd_ >= 0 && kind_ != Kind::Descriptor) ::_close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) {
    ::DeleteFileW(widePath(tempPath_).c_str());
    tempPath_.clear();
  }
}

void OutputFile::resize(std::uint64_t size) {
  if (fd_ < 0) throwErrno(EBADF, target_);
  flushBuffer();
  const HANDLE file = handleOf(fd_);
  LARGE_INTEGER saved{}, end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFilePointerEx(file, LARGE_INTEGER{}, &saved, FILE_CURRENT) ||
      !::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file) ||
      !::SetFilePointerEx(file, saved, nullptr, FILE_BEGIN)) {
    throwLastError(target_);
  }
}

void OutputFile::commit() {
  if (fd_ < 0) throwErrno(EBADF, target_);
  flushBuffer();
  if (kind_ == Kind::Descriptor) return;
  // The data must be on disk before the name points at it, or a crash right
  // after the rename could leave an empty or partial file under the name.
  if (kind_ == Kind::Replacing && !::FlushFileBuffers(handleOf(fd_))) throwLastError(target_);
  const int fd = std::exchange(fd_, -1);
  if (::_close(fd) != 0) throwErrno(errno, target_);
  if (kind_ == Kind::InPlace) return;

  const std::wstring from = widePath(tempPath_);
  const std::wstring to = widePath(finalPath_);
  bool replaced = false;
  if (fileKind(finalPath_) == FileKind::Regular) {
    replaced = ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                              nullptr) != 0;
  }
  // A new name, or a file system ReplaceFileW cannot work on (some network
  // shares): the move replaces the target in one step just as well.
  if (!replaced && !::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throwLastError(target_);
  tempPath_.clear();
}

}  // namespace corvadex
