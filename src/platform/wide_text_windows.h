// SPDX-License-Identifier: Apache-2.0
// Text and paths at the Windows boundary: the wide (UTF-16) calls take and
// give wchar_t text, everything inside the program is UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "base/utf_codec.h"

namespace corvadex::platform {

inline std::wstring wideFromUtf8(std::string_view text) {
  const std::u16string units = utf16FromUtf8(text);
  return std::wstring(units.begin(), units.end());
}

inline std::string utf8FromWide(std::wstring_view text) {
  return utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

// A path for the wide file calls: forward slashes become backslashes, a bare
// drive ("D:") names the drive's root folder (not its current folder), and a
// full path too long for the classic limit of 260 characters gets the
// extended-length form ("\\?\D:\...", "\\?\UNC\server\share\...").
inline std::wstring win32Path(std::string_view utf8) {
  std::wstring path = wideFromUtf8(utf8);
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
  if (path.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + utf8FromWide(path.substr(8));
  if (path.starts_with(L"\\\\?\\")) return utf8FromWide(path.substr(4));
  return utf8FromWide(path);
}

}  // namespace corvadex::platform
