// SPDX-License-Identifier: Apache-2.0
#include "location/mount_table.h"

#include <array>

namespace corvadex {

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

std::string unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
        isOctal(field[i + 2]) && isOctal(field[i + 3])) {
      const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value <= 0xFF) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

}  // namespace

std::vector<MountEntry> parseMountTable(std::string_view text) {
  std::vector<MountEntry> entries;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;

    std::array<std::string_view, 3> fields;
    std::size_t count = 0;
    std::size_t at = 0;
    while (count < fields.size()) {
      while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
      if (at == line.size()) break;
      std::size_t stop = at;
      while (stop < line.size() && line[stop] != ' ' && line[stop] != '\t') ++stop;
      fields[count++] = line.substr(at, stop - at);
      at = stop;
    }
    if (count < fields.size()) continue;
    entries.push_back({unescape(fields[0]), unescape(fields[1]), unescape(fields[2])});
  }
  return entries;
}

bool isWindowsFileSystem(std::string_view type) {
  for (std::string_view windows : {"ntfs", "ntfs3", "fuseblk", "vfat", "exfat", "msdos"}) {
    if (type == windows) return true;
  }
  return false;
}

}  // namespace corvadex
