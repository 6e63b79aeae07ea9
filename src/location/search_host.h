// SPDX-License-Identifier: Apache-2.0
// What the search for contacts databases asks of the machine: the volumes
// to examine (on Linux from the mount table, the user's home folder and
// name; on Windows the drives), and a read-only look at folders and files.
// SystemSearchHost answers from a running Linux system,
// WindowsSearchHost (windows_search_host_windows.h) from a running Windows;
// tests answer with folder trees that stand for volumes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvadex {

struct TreeEntry {
  enum class Kind { Folder, File, Link, Other };
  std::string name;
  Kind kind;
};

struct FileFacts {
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970-01-01 UTC
  std::uint64_t device = 0;   // with `inode`, tells one file reached twice
  std::uint64_t inode = 0;
};

class SearchHost {
 public:
  virtual ~SearchHost() = default;

  // The volumes to examine, in search order: a Linux system's mounted
  // Windows file systems, a Windows system's drives.
  virtual std::vector<std::string> volumes() const = 0;
  // What joins a folder and a name in this host's paths.
  virtual char separator() const { return '/'; }
  // The user's home folder, where Wine prefixes are looked for; empty where
  // there are none (on Windows).
  virtual std::string homeFolder() const = 0;

  // The entries of a folder without "." and "..", links reported as links
  // and never followed; empty when the folder cannot be read.
  virtual std::vector<TreeEntry> list(const std::string& folder) const = 0;
  // Size, time and identity of a regular file; none for anything else,
  // links included.
  virtual std::optional<FileFacts> facts(const std::string& path) const = 0;
  // The path with every link resolved; none when it does not exist.
  virtual std::optional<std::string> realPath(const std::string& path) const = 0;
};

// The folders (and links, which a user may have made to a prefix or a disk)
// inside `folder`, as paths in name order.
std::vector<std::string> subfolderPaths(const SearchHost& host, const std::string& folder);

// The running Linux system, read-only. Its volumes are the mount points of
// Windows file systems in mountTable(), then the folders in /media/$USER,
// /run/media/$USER and /mnt, all below rootFolder().
class SystemSearchHost : public SearchHost {
 public:
  std::vector<std::string> volumes() const override;
  std::string homeFolder() const override;
  std::vector<TreeEntry> list(const std::string& folder) const override;
  std::optional<FileFacts> facts(const std::string& path) const override;
  std::optional<std::string> realPath(const std::string& path) const override;

  // The text of /proc/self/mounts; empty when it cannot be read.
  virtual std::string mountTable() const;
  virtual std::string userName() const;
  // Put before the system's absolute folders (/media, /mnt and the mount
  // points): empty on the running system.
  virtual std::string rootFolder() const { return {}; }
};

}  // namespace corvadex
