// SPDX-License-Identifier: Apache-2.0
#include "location/folder_lookup.h"

#include <exception>

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
  // Systems before Vista have no known folders; they answer by number.
  const std::string programFiles =
      windows.windowsMajorVersion() >= 6
          ? GetKnownFolderPath(windows, platform::FOLDERID_ProgramFiles)
          : GetSpecialFolderPath(windows, platform::CSIDL_PROGRAM_FILES);
  const std::string executable = programFiles + kMailClientExecutable;
  if (!windows.fileExists(executable)) return {};
  auto info = windows.fileVersion(executable);
  if (!info) return {};
  return std::to_string(info->dwFileVersionMS >> 16);
}

}  // namespace corvadex
