// SPDX-License-Identifier: Apache-2.0
// Windows paths on a Linux file system, the way Wine maps them.
//
// A path with a drive letter ("C:\users\bob\x.edb", "c:/x") lives below the
// prefix's dosdevices/c: entry, a link to that drive's folder. A path that
// starts with one backslash is rooted on the current drive, which is C: for
// Corvadex. Backslashes and slashes both separate; "." and ".." are resolved
// by name and repeated separators count as one, as Windows does before it
// looks at the disk. Each name is matched without regard to ASCII letter
// case, as on Windows: an exact match wins, otherwise the first entry of the
// folder whose name differs only in case. Any other path is a Linux path and
// is used as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvadex::platform {

class DrivePaths {
 public:
  // `dosdevices` is the prefix's dosdevices folder.
  explicit DrivePaths(std::string dosdevices) : dosdevices_(std::move(dosdevices)) {}

  // The Linux path for `path`. Names that match nothing on disk are kept as
  // given, so that the result names a missing file and every later test of
  // it fails the way it would on Windows. A UNC path (\\server\share) has no
  // Linux counterpart and gives none.
  std::optional<std::string> toHost(std::string_view path) const;

  // True when `path` names a regular file (not a folder, FIFO or device).
  bool fileExists(std::string_view path) const;
  // True when `path` names an existing folder.
  bool folderExists(std::string_view path) const;

  // True when `path` has the drive-letter form ("X:" at its start).
  static bool hasDriveLetter(std::string_view path);

 private:
  std::string dosdevices_;
};

}  // namespace corvadex::platform
