// SPDX-License-Identifier: Apache-2.0
#include "platform/wine_prefix_view.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace corvadex::platform {

namespace {

constexpr std::string_view kCurrentVersionNt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kCurrentVersion32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kProfileList =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The version a prefix reports when its registry records none: current
// Wine releases make new prefixes Windows 10.
constexpr int kDefaultMajorVersion = 10;

std::optional<std::string> textOf(const WineRegistryFile& file, std::string_view key,
                                  std::string_view name) {
  auto value = file.find(key, name);
  if (!value) return std::nullopt;
  auto text = registryText(*value);
  if (!text || text->empty()) return std::nullopt;
  return text;
}

// Wine's own version setting (HKCU\Software\Wine, "Version", as winecfg
// writes it) by its names for the Windows releases.
std::optional<int> wineVersionSetting(std::string_view name) {
  static constexpr std::pair<std::string_view, int> kNames[] = {
      {"win11", 10},   {"win10", 10},     {"win81", 6},   {"win8", 6},
      {"win2008r2", 6}, {"win7", 6},      {"win2008", 6}, {"vista", 6},
      {"win2003", 5},  {"winxp64", 5},    {"winxp", 5},   {"win2k", 5},
      {"nt40", 4},     {"winme", 4},      {"win98", 4},   {"win95", 4},
  };
  const std::string lower = asciiLower(name);
  for (const auto& [candidate, major] : kNames) {
    if (lower == candidate) return major;
  }
  return std::nullopt;
}

// The leading decimal number of a text such as "6.1"; none without digits.
std::optional<int> leadingNumber(std::string_view text) {
  int n = 0;
  std::size_t digits = 0;
  while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
    n = n * 10 + (text[digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return n;
}

std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

WinePrefixLocation winePrefixFromEnvironment() {
  WinePrefixLocation location;
  const passwd* account = ::getpwuid(::getuid());
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    location.prefix = prefix;
  } else {
    const char* home = std::getenv("HOME");
    std::string homeDir = home != nullptr && *home != '\0' ? home
                          : account != nullptr         ? account->pw_dir
                                                       : "";
    location.prefix = homeDir + "/.wine";
  }
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
    location.userName = user;
  } else if (account != nullptr) {
    location.userName = account->pw_name;
  }
  return location;
}

WinePrefixView::WinePrefixView(WinePrefixLocation location)
    : location_(std::move(location)), paths_(location_.prefix + "/dosdevices") {
  if (auto file = WineRegistryFile::load(location_.prefix + "/system.reg")) {
    system_ = std::move(*file);
  }
  if (auto file = WineRegistryFile::load(location_.prefix + "/user.reg")) {
    user_ = std::move(*file);
  }
}

int WinePrefixView::windowsMajorVersion() const {
  // Wine's order: its own per-user setting, then what the system hive says.
  if (auto setting = textOf(user_, "Software\\Wine", "Version")) {
    if (auto major = wineVersionSetting(*setting)) return *major;
  }
  if (auto value = system_.find(kCurrentVersionNt, "CurrentMajorVersionNumber")) {
    if (auto major = registryDword(*value)) return static_cast<int>(*major & 0xFFFF);
  }
  if (auto text = textOf(system_, kCurrentVersionNt, "CurrentVersion")) {
    if (auto major = leadingNumber(*text)) return *major;
  }
  return kDefaultMajorVersion;
}

std::string WinePrefixView::expand(std::string text) const {
  // The variables the prefix's own folder values use; others stay as they
  // are, as Windows leaves an unknown %NAME% alone.
  const std::pair<std::string_view, std::string> variables[] = {
      {"systemdrive", "C:"},
      {"systemroot", "C:\\windows"},
      {"windir", "C:\\windows"},
      {"username", location_.userName},
      {"allusersprofile", "C:\\ProgramData"},
      {"programdata", "C:\\ProgramData"},
      {"public", "C:\\users\\Public"},
  };
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t open = text.find('%', pos);
    std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    const std::string name = asciiLower(std::string_view(text).substr(open + 1, close - open - 1));
    out.append(text, pos, open - pos);
    bool replaced = false;
    for (const auto& [variable, value] : variables) {
      if (name == variable) {
        out += value;
        replaced = true;
        break;
      }
    }
    if (replaced) {
      pos = close + 1;
    } else {
      out += '%';
      pos = open + 1;
    }
  }
  out.append(text, pos);
  return out;
}

std::string WinePrefixView::programFiles() const {
  if (system_.arch() == "win64") {
    if (auto dir = textOf(system_, kCurrentVersion, "ProgramFilesDir (x86)")) return expand(*dir);
    if (auto dir = textOf(system_, kCurrentVersion32, "ProgramFilesDir")) return expand(*dir);
    return "C:\\Program Files (x86)";
  }
  if (auto dir = textOf(system_, kCurrentVersion, "ProgramFilesDir")) return expand(*dir);
  return "C:\\Program Files";
}

std::string WinePrefixView::profile() const {
  // The user's own profile entry, found by the security id that user.reg is
  // relative to ("\User\S-1-5-21-..."), else the profiles folder + the name.
  const std::string& relativeTo = user_.relativeTo();
  if (std::size_t slash = relativeTo.rfind('\\'); slash != std::string::npos) {
    const std::string sid = relativeTo.substr(slash + 1);
    if (!sid.empty()) {
      std::string key = std::string(kProfileList) + "\\" + sid;
      if (auto path = textOf(system_, key, "ProfileImagePath")) return expand(*path);
    }
  }
  if (location_.userName.empty()) return {};
  std::string profiles = "C:\\users";
  if (auto dir = textOf(system_, kProfileList, "ProfilesDirectory")) profiles = expand(*dir);
  return withoutTrailingSeparator(profiles) + "\\" + location_.userName;
}

std::string WinePrefixView::localAppData() const {
  if (auto dir = textOf(user_, kShellFolders, "Local AppData")) return *dir;
  const std::string home = profile();
  if (auto dir = textOf(user_, kUserShellFolders, "Local AppData")) {
    // User Shell Folders keeps %USERPROFILE%-relative, unexpanded paths.
    std::string text = *dir;
    const std::string lower = asciiLower(text);
    if (lower.starts_with("%userprofile%")) {
      if (home.empty()) return {};
      text = home + text.substr(13);
    }
    return expand(text);
  }
  if (home.empty()) return {};
  return home + "\\AppData\\Local";
}

std::optional<std::string> WinePrefixView::folder(Folder which) const {
  std::string path;
  switch (which) {
    case Folder::ProgramFiles: path = programFiles(); break;
    case Folder::Profile: path = profile(); break;
    case Folder::LocalAppData: path = localAppData(); break;
  }
  if (path.empty()) return std::nullopt;
  path = withoutTrailingSeparator(std::move(path));
  // As on Windows, a lookup that does not ask for the folder to be made
  // fails when the folder is not there.
  if (!DrivePaths::hasDriveLetter(path) || !paths_.folderExists(path)) return std::nullopt;
  return path;
}

std::optional<std::string> WinePrefixView::knownFolderPath(const KNOWNFOLDERID& id) const {
  if (id == FOLDERID_ProgramFiles) return folder(Folder::ProgramFiles);
  if (id == FOLDERID_Profile) return folder(Folder::Profile);
  if (id == FOLDERID_LocalAppData) return folder(Folder::LocalAppData);
  return std::nullopt;
}

std::optional<std::string> WinePrefixView::specialFolderPath(int csidl) const {
  switch (csidl) {
    case CSIDL_PROGRAM_FILES: return folder(Folder::ProgramFiles);
    case CSIDL_PROFILE: return folder(Folder::Profile);
    case CSIDL_LOCAL_APPDATA: return folder(Folder::LocalAppData);
    default: return std::nullopt;
  }
}

std::optional<RegistryValue> WinePrefixView::currentUserValue(std::string_view key,
                                                              std::string_view name) const {
  return user_.find(key, name);
}

std::optional<VS_FIXEDFILEINFO> WinePrefixView::fileVersion(const std::string& path) const {
  if (!paths_.fileExists(path)) return std::nullopt;
  auto host = paths_.toHost(path);
  if (!host) return std::nullopt;
  return readFixedFileInfoFromFile(*host);
}

bool WinePrefixView::fileExists(const std::string& path) const { return paths_.fileExists(path); }

}  // namespace corvadex::platform
