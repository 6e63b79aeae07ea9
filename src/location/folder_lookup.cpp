// SPDX-License-Identifier: Apache-2.0
#include "location/folder_lookup.h"

#include <exception>
#include <vector>

namespace corvadex {

namespace {
constexpr const char* kMailClientExecutable = "\\Windows Live\\Mail\\wlmail.exe";
}

std::string GetKnownFolderPath(const platform::WindowsView& windows,
                               const platform::KNOWNFOLDERID& id) {
  // The known-folder look-up never reports a failure, whatever goes wrong
  // inside it: the caller only ever sees a path or empty text.
  try {
    return windows.knownFolderPath(id).value_or(std::string());
  } catch (const std::exception&) {
    return {};
  }
}

std::string GetSpecialFolderPath(const platform::WindowsView& windows, int csidl) {
  return windows.specialFolderPath(csidl).value_or(std::string());
}

std::string GetMailClientVersion(const platform::WindowsView& windows) {
  // Systems before Vista have no known folders; they answer by number. A
  // 64-bit Windows has a second program files folder for 32-bit programs,
  // where a 32-bit mail client is installed: it is looked at second.
  std::vector<std::string> programFolders;
  if (windows.windowsMajorVersion() >= 6) {
    programFolders = {GetKnownFolderPath(windows, platform::FOLDERID_ProgramFiles),
                      GetKnownFolderPath(windows, platform::FOLDERID_ProgramFilesX86)};
  } else {
    programFolders = {GetSpecialFolderPath(windows, platform::CSIDL_PROGRAM_FILES),
                      GetSpecialFolderPath(windows, platform::CSIDL_PROGRAM_FILESX86)};
  }
  // Only the first folder is tried when it is the only one known.
  if (programFolders[1].empty() || programFolders[1] == programFolders[0]) programFolders.pop_back();
  for (const std::string& programFiles : programFolders) {
    const std::string executable = programFiles + kMailClientExecutable;
    if (!windows.fileExists(executable)) continue;
    auto info = windows.fileVersion(executable);
    if (!info) continue;
    return std::to_string(info->dwFileVersionMS >> 16);
  }
  return {};
}

}  // namespace corvadex
