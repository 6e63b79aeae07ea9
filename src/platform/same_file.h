// SPDX-License-Identifier: Apache-2.0
// Whether two paths name one file: the same device and inode, so that hard
// and symbolic links and other spellings of a path are caught. Used to keep
// an export from being written over the database it was read from.
#pragma once

#include <sys/stat.h>

#include <string>

namespace corvadex {

// False when either path names nothing.
inline bool isSameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace corvadex
