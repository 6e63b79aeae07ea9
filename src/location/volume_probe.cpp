// SPDX-License-Identifier: Apache-2.0
#include "location/volume_probe.h"

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/registry_value.h"

namespace corvadex {

namespace {

using Profile = std::pair<std::string, std::string>;  // user name, folder

class VolumeWalk {
 public:
  VolumeWalk(const SearchHost& host, std::string root) : host_(host), root_(std::move(root)) {}

  // The entry of `folder` called `name`, letter case aside (an exact match
  // first), when it is of the wanted kind; links never qualify.
  std::optional<std::string> child(const std::string& folder, std::string_view name,
                                   TreeEntry::Kind kind = TreeEntry::Kind::Folder) const {
    const std::vector<TreeEntry> entries = host_.list(folder);
    const std::string wanted = platform::asciiLower(name);
    const TreeEntry* match = nullptr;
    for (const TreeEntry& entry : entries) {
      if (entry.kind != kind) continue;
      if (entry.name == name) {
        match = &entry;
        break;
      }
      if (match == nullptr && entry.name.size() == wanted.size() &&
          platform::asciiLower(entry.name) == wanted)
        match = &entry;
    }
    if (match == nullptr) return std::nullopt;
    return folder + host_.separator() + match->name;
  }

  std::optional<std::string> walk(std::string folder,
                                  std::initializer_list<std::string_view> names) const {
    for (std::string_view name : names) {
      auto next = child(folder, name);
      if (!next) return std::nullopt;
      folder = std::move(*next);
    }
    return folder;
  }

  std::vector<std::string> folders(const std::string& folder) const {
    std::vector<std::string> names;
    for (const TreeEntry& entry : host_.list(folder))
      if (entry.kind == TreeEntry::Kind::Folder) names.push_back(entry.name);
    return names;
  }

  // <folder>\<store>\DBStore\contacts.edb, when it is a regular file that
  // lies on this volume.
  void take(const std::string& folder, const std::string& store, const std::string& user,
            std::vector<DatabaseFind>& finds) const {
    auto dbstore = walk(folder, {store, "DBStore"});
    if (!dbstore) return;
    auto file = child(*dbstore, "contacts.edb", TreeEntry::Kind::File);
    if (!file) return;
    auto facts = host_.facts(*file);
    auto real = host_.realPath(*file);
    if (!facts || !real || !real->starts_with(root_ + host_.separator())) return;
    finds.push_back({*file, {}, user, store, *facts});
  }

  void probeProfile(const Profile& profile, std::vector<DatabaseFind>& finds) const {
    const std::pair<std::string_view, std::string_view> localAppData[] = {
        {"AppData", "Local"}, {"Local Settings", "Application Data"}};
    for (const auto& [first, second] : localAppData) {
      auto microsoft = walk(profile.second, {first, second, "Microsoft"});
      if (!microsoft) continue;
      if (auto stores = walk(*microsoft, {"Windows Live", "Contacts", "default"})) {
        for (const char* version : {"15.4", "15.5"}) take(*stores, version, profile.first, finds);
      }
      if (auto stores = child(*microsoft, "Windows Live Contacts")) {
        for (const std::string& store : folders(*stores)) take(*stores, store, profile.first, finds);
      }
    }
  }

  // The user profiles of the volume, those of the Windows installation an
  // upgrade left in Windows.old after the current ones. A folder the user
  // names may also be a Users folder (each folder in it a profile) or a
  // profile itself.
  std::vector<Profile> profiles(SearchRoot::Kind kind, bool& holdsProfiles) const {
    std::vector<Profile> found;
    holdsProfiles = false;
    const char sep = host_.separator();
    std::vector<std::string> systems = {root_};
    if (auto old = child(root_, "Windows.old")) systems.push_back(*old);
    for (const std::string& system : systems) {
      for (std::string_view name : {"Users", "Documents and Settings"}) {
        auto users = child(system, name);
        if (!users) continue;
        holdsProfiles = true;
        for (const std::string& user : folders(*users)) found.emplace_back(user, *users + sep + user);
      }
    }
    if (holdsProfiles || kind != SearchRoot::Kind::Folder) return found;
    if (child(root_, "AppData") || child(root_, "Local Settings")) {
      const std::size_t slash = root_.rfind(sep);
      found.emplace_back(root_.substr(slash + 1), root_);
      return found;
    }
    for (const std::string& user : folders(root_)) found.emplace_back(user, root_ + sep + user);
    return found;
  }

 private:
  const SearchHost& host_;
  std::string root_;
};

}  // namespace

VolumeAnswer probeVolume(const SearchHost& host, const SearchRoot& root) {
  VolumeAnswer answer;
  // A prefix's drive C: is what its dosdevices link names (drive_c when the
  // link is missing).
  std::optional<std::string> real;
  if (root.kind == SearchRoot::Kind::WinePrefix) {
    real = host.realPath(root.folder + "/dosdevices/c:");
    if (!real) real = host.realPath(root.folder + "/drive_c");
  } else {
    real = host.realPath(root.folder);
  }
  if (!real || *real == "/") return answer;  // the whole file system is no volume to look at

  const VolumeWalk volume(host, *real);
  for (const Profile& profile : volume.profiles(root.kind, answer.holdsProfiles))
    volume.probeProfile(profile, answer.finds);
  for (DatabaseFind& find : answer.finds) find.volume = root.folder;
  return answer;
}

}  // namespace corvadex
