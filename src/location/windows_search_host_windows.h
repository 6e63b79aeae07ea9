// SPDX-License-Identifier: Apache-2.0
// The search host of a running Windows, read-only. Its volumes are the
// drives from GetLogicalDriveStringsW that GetDriveTypeW calls fixed or
// removable (an old PC's disk in a USB enclosure is one of these); a
// network drive is examined only when the user names it with --search,
// since a slow or gone server would hold the search up for nothing. Each
// drive is then examined on a thread of its own by DatabaseSearch, which
// leaves out a drive that has not answered in time.
//
// Paths are Windows paths in UTF-8, a drive as "C:" so that its folders
// read "C:\Users". Junctions and symbolic links (Documents and Settings,
// Application Data and the like point back to folders examined anyway) are
// reported as links and never followed. There are no Wine prefixes to look
// for on Windows: the home folder is empty.
#pragma once

#include "location/search_host.h"

namespace corvadex {

class WindowsSearchHost final : public SearchHost {
 public:
  std::vector<std::string> volumes() const override;
  char separator() const override { return '\\'; }
  std::string homeFolder() const override { return {}; }
  std::vector<TreeEntry> list(const std::string& folder) const override;
  std::optional<FileFacts> facts(const std::string& path) const override;
  std::optional<std::string> realPath(const std::string& path) const override;
};

}  // namespace corvadex
