// The file existence test used before every read: a path names an existing
// file when the file system has an entry of that name that is not a folder
// (symbolic links are followed; an empty path names nothing).
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace corvadex {

inline bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec) return false;
  return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace corvadex
