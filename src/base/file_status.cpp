// SPDX-License-Identifier: Apache-2.0
#include "base/file_status.h"

#include <sys/stat.h>

#include <cerrno>

namespace corvadex {

FileKind fileKind(const std::string& path, int* error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (error != nullptr) *error = errno;
    return FileKind::Missing;
  }
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

bool isSameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int makeFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST ? errno : 0;
}

}  // namespace corvadex
