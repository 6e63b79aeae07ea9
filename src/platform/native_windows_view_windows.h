// SPDX-License-Identifier: Apache-2.0
// The Windows view of the running Windows, through the system's own calls,
// read-only:
// - the version from RtlGetVersion (GetVersionEx reports what the
//   program's manifest claims, not the system), looked up at run time;
// - known folders from SHGetKnownFolderPath, looked up at run time, with
//   SHGetFolderPathW and the matching numbered folder as the fallback;
// - HKEY_CURRENT_USER values through RegOpenKeyExW(KEY_READ) and
//   RegQueryValueExW; nothing is ever written;
// - version resources through GetFileVersionInfoW and VerQueryValueW, the
//   system's own reader, which gives what Explorer's file properties show
//   (the Wine prefix view reads the file itself with pe_version.h, having no
//   Windows to ask);
// - file existence from GetFileAttributesW.
// Every path is a Windows path in UTF-8; folders come back without a
// trailing backslash, as this 64-bit program sees them (FOLDERID_ProgramFiles
// is the 64-bit program files folder, FOLDERID_ProgramFilesX86 the 32-bit
// one).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/windows_view.h"

namespace corvadex::platform {

class NativeWindowsView final : public WindowsView {
 public:
  int windowsMajorVersion() const override;
  std::optional<std::string> knownFolderPath(const KNOWNFOLDERID& id) const override;
  std::optional<std::string> specialFolderPath(int csidl) const override;
  std::optional<RegistryValue> currentUserValue(std::string_view key,
                                                std::string_view name) const override;
  std::optional<VS_FIXEDFILEINFO> fileVersion(const std::string& path) const override;
  bool fileExists(const std::string& path) const override;
};

}  // namespace corvadex::platform
