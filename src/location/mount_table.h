// SPDX-License-Identifier: Apache-2.0
// The kernel's table of mounted file systems (/proc/self/mounts), and which
// of its file system types can hold a Windows installation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvadex {

struct MountEntry {
  std::string device;
  std::string mountPoint;
  std::string type;
};

// One entry per well-formed line: "device mount-point type options dump
// pass", fields separated by blanks. Blanks, tabs, newlines and
// backslashes inside a field are written as octal escapes (\040, \011,
// \012, \134); they are decoded here.
std::vector<MountEntry> parseMountTable(std::string_view text);

// NTFS (kernel or FUSE driver), FAT and exFAT: the types a Windows system
// or data volume is mounted as.
bool isWindowsFileSystem(std::string_view type);

}  // namespace corvadex
