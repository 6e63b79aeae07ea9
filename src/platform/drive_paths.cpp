// SPDX-License-Identifier: Apache-2.0
#include "platform/drive_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "platform/wine_registry.h"

namespace corvadex::platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The names of `path` after the drive or root, with "." dropped and ".."
// taking away the name before it (never climbing above the root).
std::vector<std::string_view> components(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t pos = 0;
  while (pos < path.size()) {
    while (pos < path.size() && isSeparator(path[pos])) ++pos;
    std::size_t end = pos;
    while (end < path.size() && !isSeparator(path[end])) ++end;
    std::string_view name = path.substr(pos, end - pos);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    pos = end;
  }
  return names;
}

// The entry of folder `dir` called `name`, letter case aside: the exact name
// when it exists, else the first entry that equals it case-insensitively,
// else `name` itself.
std::string matchName(const std::string& dir, std::string_view name) {
  const std::string exact = dir + "/" + std::string(name);
  struct stat st;
  if (::lstat(exact.c_str(), &st) == 0) return std::string(name);
  std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(dir.c_str()), ::closedir);
  if (!folder) return std::string(name);
  const std::string wanted = asciiLower(name);
  while (const dirent* entry = ::readdir(folder.get())) {
    std::string_view candidate = entry->d_name;
    if (candidate.size() == wanted.size() && asciiLower(candidate) == wanted) {
      return std::string(candidate);
    }
  }
  return std::string(name);
}

}  // namespace

bool DrivePaths::hasDriveLetter(std::string_view path) {
  return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':';
}

std::optional<std::string> DrivePaths::toHost(std::string_view path) const {
  std::string_view rest;
  char drive = 'c';
  if (hasDriveLetter(path)) {
    drive = asciiLower(path.substr(0, 1))[0];
    rest = path.substr(2);
  } else if (path.starts_with("\\\\")) {
    return std::nullopt;
  } else if (path.starts_with('\\')) {
    rest = path;
  } else {
    return std::string(path);
  }
  // The drive's folder is what dosdevices/x: points to; the links inside it
  // are followed by the system as any path is.
  std::string host = dosdevices_ + "/" + drive + ":";
  for (std::string_view name : components(rest)) {
    host += "/" + matchName(host, name);
  }
  return host;
}

bool DrivePaths::fileExists(std::string_view path) const {
  auto host = toHost(path);
  struct stat st;
  return host && ::stat(host->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DrivePaths::folderExists(std::string_view path) const {
  auto host = toHost(path);
  struct stat st;
  return host && ::stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace corvadex::platform
