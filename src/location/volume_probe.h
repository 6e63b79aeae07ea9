// SPDX-License-Identifier: Apache-2.0
// Looking for contacts databases on one volume: a mounted Windows disk, a
// Wine prefix's drive C: or a folder the user names.
//
// Only the mail client's fixed places are visited, never the whole volume:
// in every user profile (the folders in Users and in Documents and
// Settings, on the volume and in its Windows.old, the previous Windows an
// upgrade leaves behind, often with the old mail client's data), below the local application data folder (AppData\Local, or
// Local Settings\Application Data on XP):
//   Microsoft\Windows Live\Contacts\default\15.4\DBStore\contacts.edb
//   Microsoft\Windows Live\Contacts\default\15.5\DBStore\contacts.edb
//   Microsoft\Windows Live Contacts\<store>\DBStore\contacts.edb  (version 14,
//     whose store name the volume's own registry would give: every store is
//     taken)
// Names match without regard to letter case, as on Windows. Links are never
// followed: on a Windows volume they are junctions back to folders examined
// anyway (Documents and Settings to Users, Local Settings to AppData\Local),
// and a link may lead off the volume.
#pragma once

#include <string>
#include <vector>

#include "location/search_host.h"

namespace corvadex {

struct SearchRoot {
  enum class Kind {
    WinePrefix,  // a prefix folder: its drive C: is examined
    Volume,      // a mounted volume
    Folder,      // a folder the user names: a volume, a Users folder or a profile
  };
  Kind kind;
  std::string folder;
};

struct DatabaseFind {
  std::string path;           // the file on this machine
  std::string volume;         // the prefix, mount point or folder it was found in
  std::string user;           // the profile folder's name
  std::string versionFolder;  // "15.4", "15.5", or a version 14 store's folder
  FileFacts facts;
};

struct VolumeAnswer {
  std::vector<DatabaseFind> finds;
  // has a Users or Documents and Settings folder (in Windows.old too)
  bool holdsProfiles = false;
};

VolumeAnswer probeVolume(const SearchHost& host, const SearchRoot& root);

}  // namespace corvadex
