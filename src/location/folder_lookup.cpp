#include "location/folder_lookup.h"

namespace corvadex {

namespace {
constexpr const char* kMailClientExecutable = "\\Windows Live\\Mail\\wlmail.exe";
}

std::string GetKnownFolderPath(const platform::WindowsView& windows,
                               const platform::KNOWNFOLDERID& id) {
  return windows.KnownFolderPath(id).value_or(std::string());
}

std::string GetSpecialFolderPath(const platform::WindowsView& windows, int csidl) {
  return windows.SpecialFolderPath(csidl).value_or(std::string());
}

std::string GetMailClientVersion(const platform::WindowsView& windows) {
  // Systems before Vista have no known folders; they answer by number.
  const std::string programFiles =
      windows.WindowsMajorVersion() >= 6
          ? GetKnownFolderPath(windows, platform::FOLDERID_ProgramFiles)
          : GetSpecialFolderPath(windows, platform::CSIDL_PROGRAM_FILES);
  const std::string executable = programFiles + kMailClientExecutable;
  if (!windows.FileExists(executable)) return {};
  auto info = windows.FileVersion(executable);
  if (!info) return {};
  return std::to_string(info->dwFileVersionMS >> 16);
}

}  // namespace corvadex
