// SPDX-License-Identifier: Apache-2.0
#include "location/search_host.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "location/mount_table.h"

namespace corvadex {

namespace {

const passwd* account() { return ::getpwuid(::getuid()); }

TreeEntry::Kind kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return TreeEntry::Kind::Folder;
  if (S_ISREG(mode)) return TreeEntry::Kind::File;
  if (S_ISLNK(mode)) return TreeEntry::Kind::Link;
  return TreeEntry::Kind::Other;
}

}  // namespace

std::string SystemSearchHost::mountTable() const {
  std::ifstream in("/proc/self/mounts", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string SystemSearchHost::homeFolder() const {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  const passwd* user = account();
  return user != nullptr ? user->pw_dir : "";
}

std::string SystemSearchHost::userName() const {
  if (const char* name = std::getenv("USER"); name != nullptr && *name != '\0') return name;
  const passwd* user = account();
  return user != nullptr ? user->pw_name : "";
}

std::vector<std::string> SystemSearchHost::volumes() const {
  std::vector<std::string> folders;
  const std::string root = rootFolder();
  for (const MountEntry& mount : parseMountTable(mountTable())) {
    if (isWindowsFileSystem(mount.type)) folders.push_back(root + mount.mountPoint);
  }
  const std::string user = userName();
  std::vector<std::string> mountFolders;
  if (!user.empty()) mountFolders = {"/media/" + user, "/run/media/" + user};
  mountFolders.push_back("/mnt");
  for (const std::string& parent : mountFolders) {
    for (std::string& path : subfolderPaths(*this, root + parent)) folders.push_back(std::move(path));
  }
  return folders;
}

std::vector<TreeEntry> SystemSearchHost::list(const std::string& folder) const {
  std::vector<TreeEntry> entries;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return entries;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd), ::closedir);
  if (!dir) {
    ::close(fd);
    return entries;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    TreeEntry::Kind kind = TreeEntry::Kind::Other;
    switch (entry->d_type) {
      case DT_DIR: kind = TreeEntry::Kind::Folder; break;
      case DT_REG: kind = TreeEntry::Kind::File; break;
      case DT_LNK: kind = TreeEntry::Kind::Link; break;
      case DT_UNKNOWN: {
        // Some file systems leave the type to a separate look, which must
        // not follow a link either.
        struct stat st;
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
          kind = kindOf(st.st_mode);
        break;
      }
      default: break;
    }
    entries.push_back({name, kind});
  }
  return entries;
}

std::optional<FileFacts> SystemSearchHost::facts(const std::string& path) const {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileFacts{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime),
                   static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::string> SystemSearchHost::realPath(const std::string& path) const {
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

}  // namespace corvadex
