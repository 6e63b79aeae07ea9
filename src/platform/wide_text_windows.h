// SPDX-License-Identifier: Apache-2.0
// Windows paths for the wide calls that look at drives and at the system's
// own folders; the text itself is converted by base/wide_path.h.
#pragma once

#include <string>
#include <string_view>

#include "base/wide_path.h"

namespace corvadex::platform {

// A path for the wide file calls: forward slashes become backslashes, a bare
// drive ("D:") names the drive's root folder (not its current folder), and a
// full path too long for the classic limit of 260 characters gets the
// extended-length form ("\\?\D:\...", "\\?\UNC\server\share\...").
inline std::wstring win32Path(std::string_view utf8) {
  std::wstring path = wideText(utf8);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  const bool drive = path.size() >= 2 && path[1] == L':';
  if (drive && path.size() == 2) path += L'\\';
  constexpr std::size_t kClassicLimit = 259;  // MAX_PATH less the terminating NUL
  if (path.size() > kClassicLimit && !path.starts_with(L"\\\\?\\")) {
    if (drive && path.size() > 2 && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  }
  return path;
}

// The inverse for paths Windows hands back in extended-length form.
inline std::string pathFromWin32(std::wstring_view path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + utf8Text(path.substr(8));
  if (path.starts_with(L"\\\\?\\")) return utf8Text(path.substr(4));
  return utf8Text(path);
}

}  // namespace corvadex::platform
