// SPDX-License-Identifier: Apache-2.0
#include "location/database_search.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

namespace corvadex {

struct DatabaseSearch::State {
  std::mutex mutex;
  std::condition_variable answered;
  bool listed = false;  // `roots` is known
  std::vector<SearchRoot> roots;
  std::vector<std::optional<VolumeAnswer>> answers;
  std::size_t pending = 0;
};

std::vector<std::string> subfolderPaths(const SearchHost& host, const std::string& folder) {
  std::vector<std::string> paths;
  for (const TreeEntry& entry : host.list(folder)) {
    if (entry.kind == TreeEntry::Kind::Folder || entry.kind == TreeEntry::Kind::Link)
      paths.push_back(folder + host.separator() + entry.name);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<SearchRoot> searchRoots(const SearchHost& host, const std::string& winePrefix,
                                    const std::vector<std::string>& folders) {
  std::vector<SearchRoot> roots;
  std::set<std::string> seen;
  auto add = [&](SearchRoot::Kind kind, std::string folder) {
    while (folder.size() > 1 && folder.back() == host.separator()) folder.pop_back();
    if (!folder.empty() && seen.insert(folder).second) roots.push_back({kind, std::move(folder)});
  };

  add(SearchRoot::Kind::WinePrefix, winePrefix);
  const std::string home = host.homeFolder();
  if (!home.empty()) {
    for (const std::string& path : subfolderPaths(host, home)) {
      if (path.substr(home.size() + 1).starts_with(".wine")) add(SearchRoot::Kind::WinePrefix, path);
    }
    for (const char* parent : {"/.local/share/wineprefixes", "/.local/share/bottles/bottles",
                               "/Games", "/.PlayOnLinux/wineprefix"}) {
      for (const std::string& path : subfolderPaths(host, home + parent))
        add(SearchRoot::Kind::WinePrefix, path);
    }
  }

  for (std::string& volume : host.volumes()) add(SearchRoot::Kind::Volume, std::move(volume));

  for (const std::string& folder : folders) add(SearchRoot::Kind::Folder, folder);
  return roots;
}

std::vector<std::string> searchFolderArguments(const std::vector<std::string>& args) {
  std::vector<std::string> folders;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--search") folders.push_back(args[++i]);
  }
  return folders;
}

namespace {

// Runs `work` on a thread of its own that nobody waits for; false when no
// thread could be had.
template <typename Work>
bool detached(Work&& work) {
  try {
    std::thread(std::forward<Work>(work)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace

void DatabaseSearch::probeAll(const std::shared_ptr<State>& state,
                              const std::shared_ptr<const SearchHost>& host,
                              std::vector<SearchRoot> roots) {
  {
    const std::lock_guard<std::mutex> lock(state->mutex);
    state->roots = std::move(roots);
    state->answers.resize(state->roots.size());
    state->pending = state->roots.size();
    state->listed = true;
    state->answered.notify_all();
  }
  for (std::size_t i = 0; i < state->roots.size(); ++i) {
    // A place without a thread stays unanswered and is left out.
    detached([state, host, root = state->roots[i], i] {
      VolumeAnswer answer;
      try {
        answer = probeVolume(*host, root);
      } catch (const std::exception&) {
        // Out of memory on a huge folder: this place gives nothing.
      }
      const std::lock_guard<std::mutex> lock(state->mutex);
      state->answers[i] = std::move(answer);
      --state->pending;
      state->answered.notify_all();
    });
  }
}

DatabaseSearch::DatabaseSearch(std::shared_ptr<const SearchHost> host,
                               std::vector<SearchRoot> roots, std::chrono::milliseconds patience)
    : state_(std::make_shared<State>()), deadline_(std::chrono::steady_clock::now() + patience) {
  probeAll(state_, host, std::move(roots));
}

DatabaseSearch::DatabaseSearch(std::shared_ptr<const SearchHost> host, std::string winePrefix,
                               std::vector<std::string> folders, std::chrono::milliseconds patience)
    : state_(std::make_shared<State>()), deadline_(std::chrono::steady_clock::now() + patience) {
  // Even listing the home folder or /mnt may hang (a network mount): the
  // places are found on a thread too.
  detached([state = state_, host, prefix = std::move(winePrefix), names = std::move(folders)] {
    std::vector<SearchRoot> roots;
    try {
      roots = searchRoots(*host, prefix, names);
    } catch (const std::exception&) {
      // Out of memory: nowhere to look.
    }
    probeAll(state, host, std::move(roots));
  });
}

DatabaseSearch::~DatabaseSearch() = default;

bool DatabaseSearch::finished() const {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  return (state_->listed && state_->pending == 0) || std::chrono::steady_clock::now() >= deadline_;
}

SearchOutcome DatabaseSearch::wait() {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->answered.wait_until(lock, deadline_,
                              [this] { return state_->listed && state_->pending == 0; });

  SearchOutcome outcome;
  if (!state_->listed) outcome.abandoned.push_back("the home folder or the mount folders");
  const std::vector<SearchRoot>& roots = state_->roots;
  std::set<std::pair<std::uint64_t, std::uint64_t>> files;
  for (std::size_t i = 0; i < roots.size(); ++i) {
    const std::optional<VolumeAnswer>& answer = state_->answers[i];
    if (!answer) {
      outcome.abandoned.push_back(roots[i].folder);
      continue;
    }
    outcome.searched.push_back(roots[i].folder);
    if (answer->holdsProfiles && roots[i].kind == SearchRoot::Kind::Volume)
      outcome.windowsVolumes.push_back(roots[i].folder);
    for (const DatabaseFind& find : answer->finds) {
      // One file reached through two places (a disk listed in the mount
      // table and under /media, a prefix and a link to it) counts once.
      if (files.emplace(find.facts.device, find.facts.inode).second) outcome.finds.push_back(find);
    }
  }
  std::stable_sort(outcome.finds.begin(), outcome.finds.end(),
                   [](const DatabaseFind& a, const DatabaseFind& b) {
                     return std::tie(b.facts.modified, a.path) < std::tie(a.facts.modified, b.path);
                   });
  return outcome;
}

}  // namespace corvadex
