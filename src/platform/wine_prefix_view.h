// SPDX-License-Identifier: Apache-2.0
// The Windows view of a Wine prefix: answers from the prefix's registry files
// and its drive_c tree, read-only.
//
// The registry files are read once, when the view is made, as Windows reads
// its settings when a program starts. The program is a 32-bit one: on a
// 64-bit prefix ("#arch=win64" in system.reg) its program files folder is
// the one for 32-bit programs, C:\Program Files (x86).
#pragma once

#include <optional>
#include <string>

#include "platform/drive_paths.h"
#include "platform/wine_registry.h"
#include "platform/windows_view.h"

namespace corvadex::platform {

struct WinePrefixLocation {
  std::string prefix;    // the prefix folder (holding system.reg, dosdevices)
  std::string userName;  // the Windows user name, Wine's is the Linux one
};

// The prefix Wine itself would use: $WINEPREFIX, else ~/.wine; the user name
// is $USER, else the account's name.
WinePrefixLocation winePrefixFromEnvironment();

class WinePrefixView final : public WindowsView {
 public:
  explicit WinePrefixView(WinePrefixLocation location);

  int windowsMajorVersion() const override;
  std::optional<std::string> knownFolderPath(const KNOWNFOLDERID& id) const override;
  std::optional<std::string> specialFolderPath(int csidl) const override;
  std::optional<RegistryValue> currentUserValue(std::string_view key,
                                                std::string_view name) const override;
  std::optional<VS_FIXEDFILEINFO> fileVersion(const std::string& path) const override;
  bool fileExists(const std::string& path) const override;

  // Windows paths of the prefix to Linux paths (the engine opens files
  // through this).
  const DrivePaths& paths() const { return paths_; }
  const std::string& prefix() const { return location_.prefix; }

 private:
  enum class Folder { ProgramFiles, Profile, LocalAppData };
  std::optional<std::string> folder(Folder which) const;
  std::string programFiles() const;
  std::string profile() const;
  std::string localAppData() const;
  std::string expand(std::string text) const;

  WinePrefixLocation location_;
  DrivePaths paths_;
  WineRegistryFile system_;
  WineRegistryFile user_;
};

}  // namespace corvadex::platform
