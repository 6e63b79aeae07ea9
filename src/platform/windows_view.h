// SPDX-License-Identifier: Apache-2.0
// What Corvadex asks of Windows: its version, the user's folders, the
// current user's registry, an executable's version resource and whether a
// file exists. On Linux these answers come from a Wine prefix
// (wine_prefix_view.h), on Windows from the running system
// (native_windows_view_windows.h); tests substitute their own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/pe_version.h"
#include "platform/registry_value.h"

namespace corvadex::platform {

// A known-folder identifier: a GUID in its usual four fields.
struct KNOWNFOLDERID {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::array<std::uint8_t, 8> data4;
  friend bool operator==(const KNOWNFOLDERID&, const KNOWNFOLDERID&) = default;
};

// {905E63B6-C1BF-494E-B29C-65B732D3D21A}
constexpr KNOWNFOLDERID FOLDERID_ProgramFiles{
    0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};
// {7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}: the 32-bit program files folder
// of a 64-bit Windows (the same folder as FOLDERID_ProgramFiles for a 32-bit
// program).
constexpr KNOWNFOLDERID FOLDERID_ProgramFilesX86{
    0x7C5A40EF, 0xA0FB, 0x4BFC, {0x87, 0x4A, 0xC0, 0xF2, 0xE0, 0xB9, 0xFA, 0x8E}};
// {5E6C858F-0E22-4760-9AFE-EA3317B67173}
constexpr KNOWNFOLDERID FOLDERID_Profile{
    0x5E6C858F, 0x0E22, 0x4760, {0x9A, 0xFE, 0xEA, 0x33, 0x17, 0xB6, 0x71, 0x73}};
// {F1B32785-6FBA-4FCF-9D55-7B8E7F157091}
constexpr KNOWNFOLDERID FOLDERID_LocalAppData{
    0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};

// The older numbered folder identifiers.
constexpr int CSIDL_LOCAL_APPDATA = 28;  // 0x1C
constexpr int CSIDL_PROGRAM_FILES = 38;  // 0x26
constexpr int CSIDL_PROFILE = 40;        // 0x28
constexpr int CSIDL_PROGRAM_FILESX86 = 42;  // 0x2A

class WindowsView {
 public:
  virtual ~WindowsView() = default;

  // The major version number Windows reports (5 for XP, 6 for Vista to 8.1,
  // 10 for 10 and 11).
  virtual int windowsMajorVersion() const = 0;

  // A folder's Windows path without a trailing backslash, as the program
  // sees it (a Wine prefix answers as a 32-bit program would, the running
  // Windows as this 64-bit one); none when the folder is unknown or does
  // not exist.
  virtual std::optional<std::string> knownFolderPath(const KNOWNFOLDERID& id) const = 0;
  virtual std::optional<std::string> specialFolderPath(int csidl) const = 0;

  // The value `name` of `key` below HKEY_CURRENT_USER; none when the key or
  // the value is missing. Nothing is ever written.
  virtual std::optional<RegistryValue> currentUserValue(std::string_view key,
                                                        std::string_view name) const = 0;

  // The fixed file information of the executable at `path` (a Windows or a
  // Linux path); none when the file is missing or carries no readable
  // version resource.
  virtual std::optional<VS_FIXEDFILEINFO> fileVersion(const std::string& path) const = 0;

  // True when `path` (a Windows or a Linux path) names an existing entry that
  // is not a folder.
  virtual bool fileExists(const std::string& path) const = 0;
};

}  // namespace corvadex::platform
