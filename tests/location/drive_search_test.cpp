// SPDX-License-Identifier: Apache-2.0
// The search with a host shaped like Windows: drives instead of a mount
// table, backslashes between names, no home folder. The host is a table of
// paths in memory, so these run on Linux.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "location/database_search.h"
#include "location/volume_probe.h"

namespace corvadex {
namespace {

constexpr const char* kDrive155 =
    "AppData\\Local\\Microsoft\\Windows Live\\Contacts\\default\\15.5\\DBStore\\contacts.edb";
constexpr const char* kDrive154 =
    "AppData\\Local\\Microsoft\\Windows Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb";

// Drives and files of a made-up Windows machine. Every folder on the way
// to a file exists; a file's size is its position in the table, so that
// each is told apart.
class DriveHost final : public SearchHost {
 public:
  DriveHost(std::vector<std::string> drives, const std::vector<std::string>& files)
      : drives_(std::move(drives)) {
    for (const std::string& drive : drives_) folders_.insert(drive);
    std::uint64_t n = 0;
    for (const std::string& file : files) {
      files_[file] = ++n;
      for (std::size_t sep = file.find('\\'); sep != std::string::npos;
           sep = file.find('\\', sep + 1))
        folders_.insert(file.substr(0, sep));
    }
  }
  std::vector<std::string> volumes() const override { return drives_; }
  char separator() const override { return '\\'; }
  std::string homeFolder() const override { return {}; }
  std::vector<TreeEntry> list(const std::string& folder) const override {
    std::vector<TreeEntry> entries;
    const std::string prefix = folder + "\\";
    auto add = [&](const std::string& path, TreeEntry::Kind kind) {
      if (path.starts_with(prefix) && path.find('\\', prefix.size()) == std::string::npos)
        entries.push_back({path.substr(prefix.size()), kind});
    };
    for (const std::string& path : folders_) add(path, TreeEntry::Kind::Folder);
    for (const auto& [path, size] : files_) add(path, TreeEntry::Kind::File);
    return entries;
  }
  std::optional<FileFacts> facts(const std::string& path) const override {
    auto file = files_.find(path);
    if (file == files_.end()) return std::nullopt;
    return FileFacts{file->second, 1'600'000'000, 7, file->second};
  }
  std::optional<std::string> realPath(const std::string& path) const override {
    if (folders_.contains(path) || files_.contains(path)) return path;
    return std::nullopt;
  }

 private:
  std::vector<std::string> drives_;
  std::set<std::string> folders_;
  std::map<std::string, std::uint64_t> files_;
};

std::string under(const std::string& folder, const char* tail) { return folder + "\\" + tail; }

TEST(DriveSearch, DrivesThenNamedFoldersAndNoPrefixes) {
  const DriveHost host({"C:", "E:"}, {});
  std::vector<std::string> roots;
  for (const SearchRoot& root : searchRoots(host, "", {"F:\\backup\\", "\\\\server\\share", "E:"}))
    roots.push_back(std::to_string(static_cast<int>(root.kind)) + " " + root.folder);
  // A drive named again with --search is examined once, as a drive.
  EXPECT_EQ(roots, (std::vector<std::string>{"1 C:", "1 E:", "2 F:\\backup", "2 \\\\server\\share"}));
}

struct DriveCase {
  const char* name;
  std::vector<std::string> files;
  SearchRoot root;
  std::set<std::string> found;  // "user|version folder|path"
  bool holdsProfiles;
};

TEST(DriveSearch, ProfilesOfTheDriveAndOfItsWindowsOld) {
  const std::string bob = under("C:\\Users\\bob", kDrive155);
  const std::string oldAnn = under("C:\\Windows.old\\Users\\ann", kDrive154);
  const std::string stick = under("E:\\Users\\kim", kDrive155);
  const DriveCase cases[] = {
      {"a drive's own profiles", {bob, stick}, {SearchRoot::Kind::Volume, "C:"},
       {"bob|15.5|" + bob}, true},
      {"and its Windows.old", {bob, oldAnn}, {SearchRoot::Kind::Volume, "C:"},
       {"bob|15.5|" + bob, "ann|15.4|" + oldAnn}, true},
      {"only Windows.old", {oldAnn}, {SearchRoot::Kind::Volume, "C:"}, {"ann|15.4|" + oldAnn}, true},
      {"another drive", {bob, stick}, {SearchRoot::Kind::Volume, "E:"}, {"kim|15.5|" + stick}, true},
      {"a Users folder named", {bob}, {SearchRoot::Kind::Folder, "C:\\Users"}, {"bob|15.5|" + bob},
       false},
      {"a profile named", {oldAnn}, {SearchRoot::Kind::Folder, "C:\\Windows.old\\Users\\ann"},
       {"ann|15.4|" + oldAnn}, false},
      {"a drive without profiles", {"D:\\data\\" + std::string(kDrive155)},
       {SearchRoot::Kind::Volume, "D:"}, {}, false},
  };
  for (const DriveCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DriveHost host({"C:", "D:", "E:"}, c.files);
    const VolumeAnswer answer = probeVolume(host, c.root);
    std::set<std::string> found;
    for (const DatabaseFind& find : answer.finds) {
      EXPECT_EQ(find.volume, c.root.folder);
      found.insert(find.user + "|" + find.versionFolder + "|" + find.path);
    }
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(answer.holdsProfiles, c.holdsProfiles);
  }
}

}  // namespace
}  // namespace corvadex
