// SPDX-License-Identifier: Apache-2.0
// The search that goes on when the mail client's own place holds no
// database: every Wine prefix in the usual places, every mounted Windows
// volume or drive and the folders the user names, each examined by probeVolume on a
// thread of its own. A volume that has not answered when the search's
// patience runs out (a hung network mount) is left out; its thread is left
// to end on its own, and nobody waits for it.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "location/search_host.h"
#include "location/volume_probe.h"

namespace corvadex {

// Where to look, in this order, without touching any of the places
// themselves: only the home folder's prefix folders and the folders that
// hold mount points are listed, on the caller's thread.
// - Wine prefixes: `winePrefix` (the one the start-up location used; may
//   be empty), ~/.wine*, ~/.local/share/wineprefixes/*, and the prefix
//   folders of Bottles (~/.local/share/bottles/bottles/*), Lutris (~/Games/*)
//   and PlayOnLinux (~/.PlayOnLinux/wineprefix/*);
// - the host's volumes (SearchHost::volumes): on Linux the mount points of
//   Windows file systems in the mount table and the folders in
//   /media/$USER, /run/media/$USER and /mnt; on Windows the fixed and
//   removable drives (a network drive only when named in `folders`);
// - `folders`, as given.
std::vector<SearchRoot> searchRoots(const SearchHost& host, const std::string& winePrefix,
                                    const std::vector<std::string>& folders);

// How long the search waits for a place to answer.
constexpr std::chrono::milliseconds kSearchPatience{3000};

// The folders given with "--search DIR" (repeatable) among program arguments.
std::vector<std::string> searchFolderArguments(const std::vector<std::string>& args);

struct SearchOutcome {
  // Each database once, newest first (then by path).
  std::vector<DatabaseFind> finds;
  // Places that did not answer in time.
  std::vector<std::string> abandoned;
  // Places that answered, in search order.
  std::vector<std::string> searched;
  // Mounted volumes that hold Windows user profiles, in search order.
  std::vector<std::string> windowsVolumes;
};

class DatabaseSearch {
 public:
  // Starts examining every root at once. `host` is shared with the threads,
  // which may outlive this object.
  DatabaseSearch(std::shared_ptr<const SearchHost> host, std::vector<SearchRoot> roots,
                 std::chrono::milliseconds patience);
  // The same for searchRoots(host, winePrefix, folders), found on a thread
  // as well; should that not end in time, the whole search is left out.
  DatabaseSearch(std::shared_ptr<const SearchHost> host, std::string winePrefix,
                 std::vector<std::string> folders, std::chrono::milliseconds patience);
  ~DatabaseSearch();
  DatabaseSearch(const DatabaseSearch&) = delete;
  DatabaseSearch& operator=(const DatabaseSearch&) = delete;

  // True when every place has answered or the patience has run out.
  bool finished() const;
  // Waits until Finished(), then gives what was found.
  SearchOutcome wait();

 private:
  struct State;
  static void probeAll(const std::shared_ptr<State>& state,
                       const std::shared_ptr<const SearchHost>& host,
                       std::vector<SearchRoot> roots);

  std::shared_ptr<State> state_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace corvadex
