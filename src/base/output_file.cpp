// SPDX-License-Identifier: Apache-2.0
#include "base/output_file.h"
#include "base/output_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <system_error>
#include <utility>

namespace corvadex {

// Retries interrupted and partial writes.
void writeAll(int fd, std::string_view bytes, const std::string& name, const std::uint64_t* offset) {
  std::uint64_t at = offset ? *offset : 0;
  while (!bytes.empty()) {
    const ssize_t n = offset ? ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at))
                             : ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throwErrno(errno, name);
    }
    if (n == 0) throwErrno(EIO, name);
    bytes.remove_prefix(static_cast<std::size_t>(n));
    at += static_cast<std::uint64_t>(n);
  }
}

namespace {

// The folder part of a path, "." for a bare file name; "/" stays "/".
std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path the rename must go to: the file a symbolic link resolves to when
// the target is a link to an existing file, else the target itself.
std::string resolveTarget(const std::string& target) {
  struct stat link {};
  if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  char resolved[PATH_MAX];
  if (::realpath(target.c_str(), resolved) == nullptr) return target;  // dangling: replace the link
  return resolved;
}

}  // namespace

OutputFile::OutputFile(std::string target) : kind_(Kind::Replacing), target_(std::move(target)) {
  if (target_.empty()) throwErrno(ENOENT, "(no file name)");
  if (target_.back() == '/') throwErrno(EISDIR, target_);
  finalPath_ = resolveTarget(target_);

  // A folder in the target's place would only make the final rename fail;
  // say so before any work is done. An existing file's permission bits are
  // carried over to the file that replaces it.
  struct stat existing {};
  bool keepMode = false;
  if (::stat(finalPath_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) throwErrno(EISDIR, target_);
    keepMode = S_ISREG(existing.st_mode);
  }

  // A short hidden name of fixed length in the same folder (it fits
  // wherever the target's own name does), made unique with a random part
  // and O_EXCL; mode 0666 lets the umask decide as for any new file.
  const std::string folder = folderOf(finalPath_);
  const std::string prefix = (folder == "/" ? "/" : folder + "/") + ".corvadex-";
  std::random_device seed;
  std::mt19937_64 random(seed());
  int lastError = EEXIST;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string candidate = temporaryName(prefix, random);
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      tempPath_ = std::move(candidate);
    } else {
      lastError = errno;
      if (lastError != EEXIST && lastError != EINTR) break;
    }
  }
  if (fd_ < 0) throwErrno(lastError, target_);

  if (keepMode && ::fchmod(fd_, existing.st_mode & 07777) != 0) {
    const int error = errno;
    discard();
    throwErrno(error, target_);
  }
  buffer_.reserve(kOutputBufferSize);
}

OutputFile OutputFile::InPlace(std::string target) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throwErrno(errno, target);
  return OutputFile(Kind::InPlace, fd, std::move(target));
}

void OutputFile::checkTarget(const std::string& target) {
  if (target.empty()) throwErrno(ENOENT, "(no file name)");
  if (target.back() == '/') throwErrno(EISDIR, target);
  const std::string finalPath = resolveTarget(target);
  struct stat st {};
  if (::stat(finalPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throwErrno(EISDIR, target);
  const std::string folder = folderOf(finalPath);
  if (::stat(folder.c_str(), &st) != 0) throwErrno(errno, target);
  if (!S_ISDIR(st.st_mode)) throwErrno(ENOTDIR, target);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) throwErrno(errno, target);
  // A name longer than the folder's file system allows would fail only at
  // the rename, after all the work.
  const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const long pathMax = ::pathconf(folder.c_str(), _PC_PATH_MAX);
  if ((nameMax > 0 && baseOf(finalPath).size() > static_cast<std::size_t>(nameMax)) ||
      (pathMax > 0 && finalPath.size() >= static_cast<std::size_t>(pathMax))) {
    throwErrno(ENAMETOOLONG, target);
  }
}

bool OutputFile::writesInPlace(const std::string& target) {
  // /dev/stdout, /dev/fd/N and /proc/self/fd/N name an open file, not a
  // place in a folder, even when they lead to a regular file.
  if (target.starts_with("/dev/") || target.starts_with("/proc/")) return true;
  struct stat st {};
  return ::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

void OutputFile::discard() noexcept {
  if (fd_ >= 0 && kind_ != Kind::Descriptor) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

void OutputFile::resize(std::uint64_t size) {
  if (fd_ < 0) throwErrno(EBADF, target_);
  flushBuffer();
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throwErrno(errno, target_);
}

void OutputFile::commit() {
  if (fd_ < 0) throwErrno(EBADF, target_);
  flushBuffer();
  if (kind_ == Kind::Descriptor) return;
  // The data must be on disk before the name points at it, or a crash right
  // after the rename could leave an empty or partial file under the name.
  if (kind_ == Kind::Replacing && ::fsync(fd_) != 0) throwErrno(errno, target_);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) throwErrno(errno, target_);
  if (kind_ == Kind::InPlace) return;
  if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) throwErrno(errno, target_);
  tempPath_.clear();

  // Syncing the folder makes the rename itself durable. The new file is
  // complete and in place whatever this returns, so a folder that cannot be
  // opened or synced (some file systems refuse) does not fail the save.
  const int dir = ::open(folderOf(finalPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

}  // namespace corvadex
