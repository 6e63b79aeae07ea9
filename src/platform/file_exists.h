// SPDX-License-Identifier: Apache-2.0
// The file tests used before every read. A path names an existing file when
// the file system has a regular file of that name (symbolic links are
// followed; an empty path names nothing). A folder, a FIFO, a device or a
// socket is no file to read: opening a FIFO would wait for a writer for
// ever, and a device can give bytes without end.
#pragma once

#include <sys/stat.h>

#include <string>

namespace corvadex {

inline bool isRegularFile(const char* path) {
  struct stat st {};
  return path != nullptr && path[0] != '\0' && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

inline bool fileExists(const std::string& path) { return isRegularFile(path.c_str()); }

}  // namespace corvadex
