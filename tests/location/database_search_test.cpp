// SPDX-License-Identifier: Apache-2.0
#include "location/database_search.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>

#include "location/found_database_text.h"
#include "location/mount_table.h"
#include "location/volume_tree.h"

namespace corvadex {
namespace {

using corvadex::testing::TreeHost;
using corvadex::testing::VolumeTree;

constexpr const char* k155 = "AppData/Local/Microsoft/Windows Live/Contacts/default/15.5/DBStore/contacts.edb";
constexpr const char* k154 = "AppData/Local/Microsoft/Windows Live/Contacts/default/15.4/DBStore/contacts.edb";
constexpr const char* kXp14 =
    "Local Settings/Application Data/Microsoft/Windows Live Contacts/{3f2a}/DBStore/contacts.edb";

std::string join(const std::string& a, const std::string& b) { return a + "/" + b; }

struct ProbeCase {
  const char* name;
  SearchRoot::Kind kind;
  std::vector<std::string> files;  // below the volume
  std::string examined;            // the folder examined, below the volume
  std::set<std::string> found;     // "user|version folder|path below the volume"
  bool holdsProfiles;
};

TEST(ProbeVolume, FindsEveryProfilesDatabaseAtTheFixedPlaces) {
  const std::string win10 = join("Users/bob", k155);
  const std::string win7 = join("Users/ann", k154);
  const std::string xp = join("Documents and Settings/Joe", kXp14);
  const std::string oddCase =
      "users/Bob/APPDATA/local/MICROSOFT/windows live/contacts/Default/15.5/dbstore/Contacts.edb";
  const ProbeCase cases[] = {
      {"Windows 10, 15.5", SearchRoot::Kind::Volume, {win10}, "", {"bob|15.5|" + win10}, true},
      {"Windows 7, 15.4", SearchRoot::Kind::Volume, {win7}, "", {"ann|15.4|" + win7}, true},
      {"XP, version 14", SearchRoot::Kind::Volume, {xp}, "", {"Joe|{3f2a}|" + xp}, true},
      {"two users", SearchRoot::Kind::Volume, {win10, win7}, "",
       {"bob|15.5|" + win10, "ann|15.4|" + win7}, true},
      {"other letter cases", SearchRoot::Kind::Volume, {oddCase}, "", {"Bob|15.5|" + oddCase}, true},
      {"not at a fixed place", SearchRoot::Kind::Volume,
       {"Users/bob/Desktop/contacts.edb", "Users/bob/AppData/Local/Microsoft/Windows Live/"
                                          "Contacts/default/15.3/DBStore/contacts.edb"},
       "", {}, true},
      {"no profiles", SearchRoot::Kind::Volume, {"Program Files/x.exe", join("bob", k155)}, "", {},
       false},
      {"a Users folder named", SearchRoot::Kind::Folder, {win10}, "Users", {"bob|15.5|" + win10},
       false},
      {"a profile named", SearchRoot::Kind::Folder, {win7}, "Users/ann", {"ann|15.4|" + win7},
       false},
      {"a copy of a disk named", SearchRoot::Kind::Folder, {"backup/" + xp}, "backup",
       {"Joe|{3f2a}|backup/" + xp}, true},
      {"an upgrade's Windows.old", SearchRoot::Kind::Volume, {win10, "Windows.old/" + win7}, "",
       {"bob|15.5|" + win10, "ann|15.4|Windows.old/" + win7}, true},
      {"only Windows.old, of an XP", SearchRoot::Kind::Volume, {"windows.OLD/" + xp}, "",
       {"Joe|{3f2a}|windows.OLD/" + xp}, true},
      {"Windows.old in a copy named", SearchRoot::Kind::Folder, {"backup/Windows.old/" + win7},
       "backup", {"ann|15.4|backup/Windows.old/" + win7}, true},
      {"Windows.old deeper than the volume", SearchRoot::Kind::Volume,
       {"Users/bob/Windows.old/" + win7}, "", {}, true},
  };
  const TreeHost host;
  for (const ProbeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const VolumeTree volume;
    for (const std::string& file : c.files) volume.write(file);
    const std::string examined = volume.path(c.examined);
    const VolumeAnswer answer = probeVolume(host, {c.kind, examined});
    std::set<std::string> found;
    for (const DatabaseFind& find : answer.finds) {
      EXPECT_EQ(find.volume, examined);
      EXPECT_EQ(find.facts.size, 1u);
      const std::string real = *host.realPath(volume.path());
      ASSERT_TRUE(find.path.starts_with(real + "/")) << find.path;
      found.insert(find.user + "|" + find.versionFolder + "|" + find.path.substr(real.size() + 1));
    }
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(answer.holdsProfiles, c.holdsProfiles);
  }
}

TEST(ProbeVolume, NeverFollowsALink) {
  // A database elsewhere, reached through a linked profile, a linked
  // AppData, a linked store folder or a linked file: none is taken.
  const VolumeTree outside;
  outside.write(join("bob", k155));
  outside.write(k155);
  const VolumeTree volume;
  volume.Link("Users/bob", outside.path("bob"));
  volume.Link("Users/ann/AppData", outside.path("AppData"));
  volume.Link("Users/joe/AppData/Local/Microsoft/Windows Live/Contacts/default/15.5",
              outside.path("AppData/Local/Microsoft/Windows Live/Contacts/default/15.5"));
  volume.Link(join("Users/eve", k155), outside.path(k155));
  // Documents and Settings is a junction to Users on later Windows: the
  // database in Users counts once.
  volume.write(join("Users/kim", k154));
  volume.Link("Documents and Settings", volume.path("Users"));
  const VolumeAnswer answer = probeVolume(TreeHost(), {SearchRoot::Kind::Volume, volume.path()});
  ASSERT_EQ(answer.finds.size(), 1u);
  EXPECT_EQ(answer.finds[0].user, "kim");
}

TEST(MountTable, DecodesEscapesAndKeepsWindowsFileSystems) {
  const std::string text =
      "/dev/sda2 / ext4 rw,relatime 0 0\n"
      "proc /proc proc rw,nosuid 0 0\n"
      "/dev/nvme0n1p3 /media/bob/Windows\\040Disk ntfs3 ro,uid=1000 0 0\n"
      "/dev/sdb1 /mnt/old\\011pc\\134x fuseblk rw,user_id=0 0 0\n"
      "/dev/sdc1 /media/bob/STICK vfat rw 0 0\n"
      "broken-line\n";
  const std::vector<MountEntry> entries = parseMountTable(text);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[2].mountPoint, "/media/bob/Windows Disk");
  EXPECT_EQ(entries[3].mountPoint, "/mnt/old\tpc\\x");
  EXPECT_EQ(entries[3].type, "fuseblk");
  std::vector<std::string> windows;
  for (const MountEntry& e : entries)
    if (isWindowsFileSystem(e.type)) windows.push_back(e.mountPoint);
  EXPECT_EQ(windows, (std::vector<std::string>{"/media/bob/Windows Disk", "/mnt/old\tpc\\x",
                                               "/media/bob/STICK"}));
  for (const char* type : {"ntfs", "exfat", "msdos"}) EXPECT_TRUE(isWindowsFileSystem(type));
  for (const char* type : {"ext4", "btrfs", "nfs", "tmpfs"}) EXPECT_FALSE(isWindowsFileSystem(type));
}

TEST(SearchRoots, PrefixesVolumesAndNamedFoldersInOrder) {
  const VolumeTree system;
  TreeHost host;
  host.root = system.path();
  host.home = system.path("home/bob");
  host.mounts =
      "/dev/sda2 / ext4 rw 0 0\n"
      "/dev/sdb1 /media/bob/Windows\\040Disk ntfs3 ro 0 0\n"
      "/dev/sdc1 /srv/disk fuseblk ro 0 0\n";
  for (const char* folder :
       {"home/bob/.wine", "home/bob/.wine-old", "home/bob/.winetricks-cache/x", "home/bob/Documents",
        "home/bob/.local/share/wineprefixes/office", "home/bob/.local/share/bottles/bottles/Mail",
        "home/bob/Games/game", "home/bob/.PlayOnLinux/wineprefix/wlm", "media/bob/Windows Disk",
        "media/bob/USB", "run/media/bob/Backup", "mnt/win"})
    system.makeFolder(folder);
  std::vector<std::string> roots;
  for (const SearchRoot& r : searchRoots(host, host.home + "/.wine/", {"/data/copy/", "/data/other"}))
    roots.push_back(std::to_string(static_cast<int>(r.kind)) + " " +
                    (r.folder.starts_with(host.root) ? r.folder.substr(host.root.size()) : r.folder));
  EXPECT_EQ(roots, (std::vector<std::string>{
                       "0 /home/bob/.wine", "0 /home/bob/.wine-old",
                       "0 /home/bob/.winetricks-cache",  // examined, and gives nothing
                       "0 /home/bob/.local/share/wineprefixes/office",
                       "0 /home/bob/.local/share/bottles/bottles/Mail", "0 /home/bob/Games/game",
                       "0 /home/bob/.PlayOnLinux/wineprefix/wlm", "1 /media/bob/Windows Disk",
                       "1 /srv/disk", "1 /media/bob/USB", "1 /run/media/bob/Backup", "1 /mnt/win",
                       "2 /data/copy", "2 /data/other"}));
  EXPECT_EQ(searchFolderArguments({"--search", "a", "-x", "--search", "b c", "--search"}),
            (std::vector<std::string>{"a", "b c"}));
}

// A host on which one folder never answers until the test lets it.
class HangingHost final : public TreeHost {
 public:
  std::string hanging;
  mutable std::mutex mutex;
  mutable std::condition_variable released;
  bool release = false;
  std::vector<TreeEntry> list(const std::string& folder) const override {
    if (folder.starts_with(hanging)) {
      std::unique_lock<std::mutex> lock(mutex);
      released.wait(lock, [this] { return release; });
    }
    return TreeHost::list(folder);
  }
};

TEST(DatabaseSearch, NewestFirstEachFileOnceAndAHungVolumeLeftOut) {
  const VolumeTree disks;
  disks.write(join("old/Users/ann", k154), 1'300'000'000, 4096);
  disks.write(join("new/Users/bob", k155), 1'700'000'000, 2'500'000);
  disks.write(join("prefix/drive_c/users/joe", kXp14), 1'500'000'000);
  disks.Link("prefix/dosdevices/c:", "../drive_c");
  disks.makeFolder("hung/Users");
  auto host = std::make_shared<HangingHost>();
  host->hanging = *host->realPath(disks.path("hung"));
  const std::vector<SearchRoot> roots = {
      {SearchRoot::Kind::Volume, disks.path("old")},
      {SearchRoot::Kind::Volume, disks.path("hung")},
      {SearchRoot::Kind::WinePrefix, disks.path("prefix")},
      {SearchRoot::Kind::Folder, disks.path("new")},
      {SearchRoot::Kind::Volume, disks.path("new")},  // the same disk again
      {SearchRoot::Kind::Volume, disks.path("nowhere")},
  };
  SearchOutcome outcome;
  {
    DatabaseSearch search(host, roots, std::chrono::milliseconds(300));
    outcome = search.wait();
    EXPECT_TRUE(search.finished());
  }
  {
    const std::lock_guard<std::mutex> lock(host->mutex);
    host->release = true;
  }
  host->released.notify_all();

  std::vector<std::string> lines;
  for (const DatabaseFind& find : outcome.finds) lines.push_back(findListingLine(find));
  const std::string real = *host->realPath(disks.path());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       real + "/new/Users/bob/" + k155 + "\t" + disks.path("new") +
                           "\tbob\t15.5\t2500000\t2023-11-14T22:13:20Z",
                       real + "/prefix/drive_c/users/joe/" + kXp14 + "\t" + disks.path("prefix") +
                           "\tjoe\t{3f2a}\t1\t2017-07-14T02:40:00Z",
                       real + "/old/Users/ann/" + k154 + "\t" + disks.path("old") +
                           "\tann\t15.4\t4096\t2011-03-13T07:06:40Z"}));
  EXPECT_EQ(outcome.abandoned, std::vector<std::string>{disks.path("hung")});
  EXPECT_EQ(outcome.windowsVolumes, (std::vector<std::string>{disks.path("old"), disks.path("new")}));

  const std::array<std::string, 5> columns = chooserColumns(outcome.finds[0]);
  EXPECT_EQ(columns[1] + "|" + columns[2] + "|" + columns[3], "bob|15.5|2.4 MB");
  EXPECT_EQ(chooserColumns(outcome.finds[1])[3], "1 byte");
  EXPECT_EQ(chooserColumns(outcome.finds[2])[3], "4 KB");

  LineLog log;
  logSearchOutcome(log, outcome);
  ASSERT_EQ(log.Lines().size(), 4u);
  EXPECT_EQ(log.Lines()[0], "No answer from " + disks.path("hung") + ", left out");
  EXPECT_EQ(log.Lines()[1], "Found contacts database: " + outcome.finds[0].path);
  LineLog empty;
  logSearchOutcome(empty, SearchOutcome{});
  EXPECT_EQ(empty.Lines(), std::vector<std::string>{"No other contacts database found"});
}

}  // namespace
}  // namespace corvadex

namespace corvadex {
namespace {

TEST(DatabaseSearch, AHomeFolderThatDoesNotAnswerLeavesTheWholeSearchOut) {
  const VolumeTree home;
  auto host = std::make_shared<HangingHost>();
  host->home = home.path();
  host->hanging = home.path();
  DatabaseSearch search(host, "", {}, std::chrono::milliseconds(200));
  const SearchOutcome outcome = search.wait();
  EXPECT_EQ(outcome.abandoned, std::vector<std::string>{"the home folder or the mount folders"});
  EXPECT_TRUE(outcome.finds.empty());
  {
    const std::lock_guard<std::mutex> lock(host->mutex);
    host->release = true;
  }
  host->released.notify_all();
}

}  // namespace
}  // namespace corvadex
