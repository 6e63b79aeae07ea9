// SPDX-License-Identifier: Apache-2.0
// Folder trees that stand for mounted volumes, home folders and prefixes,
// and a search host that finds the mount table, home and /media below one.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "location/search_host.h"
#include "base/temp_folder.h"

namespace corvadex::testing {

class VolumeTree {
 public:
  VolumeTree() : root_(folder_.path()) {}

  std::string path(std::string_view relative = "") const {
    return relative.empty() ? root_.string() : (root_ / relative).string();
  }

  // A file of `size` bytes last changed `modified` seconds after 1970.
  void write(std::string_view relative, std::int64_t modified = 1'600'000'000,
             std::size_t size = 1) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
    const timespec times[2] = {{static_cast<time_t>(modified), 0},
                               {static_cast<time_t>(modified), 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  void makeFolder(std::string_view relative) const {
    std::filesystem::create_directories(root_ / relative);
  }
  void Link(std::string_view relative, const std::string& target) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::create_symlink(target, path);
  }

 private:
  TempFolder folder_;
  std::filesystem::path root_;
};

// The running system's file access, with the mount table, the home folder,
// the user and the system's root folder given by the test.
class TreeHost : public SystemSearchHost {
 public:
  std::string mounts;
  std::string home;
  std::string user = "bob";
  std::string root;
  std::string mountTable() const override { return mounts; }
  std::string homeFolder() const override { return home; }
  std::string userName() const override { return user; }
  std::string rootFolder() const override { return root; }
};

}  // namespace corvadex::testing
