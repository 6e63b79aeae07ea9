// SPDX-License-Identifier: Apache-2.0
// The location and the search on a running Windows (run under Wine here):
// the native Windows view against what the system says by other ways, and
// the start-up location and the drive search finding databases the tests
// put where each version of the mail client keeps them.
//
// The mail client's stand-in, test-wlmail.exe (test_wlmail/), lies beside
// this program; the tests write copies with other file versions.
//
// The start-up location can only be tried with the mail client's real
// places: the program files folder, the local application data folder and
// the registry key the mail client writes. Those tests change the machine
// (and undo it afterwards), so they run only under Wine or when
// CORVADEX_TESTS_MAY_CHANGE_MACHINE=1, and never where a mail client or its
// data is already present.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "location/database_location.h"
#include "location/database_search.h"
#include "location/windows_search_host_windows.h"
#include "platform/native_windows_view_windows.h"
#include "platform/wide_text_windows.h"
#include "base/message_log.h"

// After the program's headers: windows.h makes the registry's type names
// (REG_SZ, ...) macros, which the program's headers declare as constants.
#include <windows.h>

namespace corvadex {
namespace {

namespace fs = std::filesystem;
using platform::NativeWindowsView;

constexpr const wchar_t* kDatabaseKey = L"Software\\Microsoft\\Windows Live Contacts\\Database";

bool underWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool mayChangeMachine() {
  const char* allowed = std::getenv("CORVADEX_TESTS_MAY_CHANGE_MACHINE");
  return underWine() || (allowed != nullptr && std::string(allowed) == "1");
}

std::string environment(const wchar_t* name) {
  wchar_t value[32768];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
  if (length == 0 || length >= 32768) return {};
  return utf8Text(value);
}

fs::path ownFolder() {
  wchar_t path[32768];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, 32768);
  return fs::path(std::wstring(path, length)).parent_path();
}

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// The stand-in with its file version set to `major`.`minor`, written to
// `path`: the fixed file information follows its signature 0xFEEF04BD, and
// the file version's high word is its third field.
void writeMailClient(const fs::path& path, std::uint16_t major, std::uint16_t minor = 4) {
  std::string bytes = readAll(ownFolder() / "test-wlmail.exe");
  const std::string signature("\xBD\x04\xEF\xFE", 4);
  const std::size_t at = bytes.find(signature);
  ASSERT_NE(at, std::string::npos) << "test-wlmail.exe lacks its version resource";
  const std::uint32_t fileVersionMS = static_cast<std::uint32_t>(major) << 16 | minor;
  std::memcpy(bytes.data() + at + 8, &fileVersionMS, 4);
  writeFile(path, bytes);
}

// The extended-length form of a full path, which the file calls take
// beyond 260 characters.
fs::path extended(const fs::path& path) { return fs::path(L"\\\\?\\" + path.wstring()); }

// Removes a folder and all it holds, with the wide calls (the C runtime's
// file functions stop at 260 characters).
void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE search = ::FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        removeTree(path);
      } else {
        ::DeleteFileW((L"\\\\?\\" + path).c_str());
      }
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
  }
  ::RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

// A folder of its own below the user's temporary folder, removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, temp);
    path_ = fs::path(temp) / (name + L"-" + std::to_wstring(::GetCurrentProcessId()));
    removeTree(path_.wstring());
    fs::create_directories(path_);
  }
  ~ScratchFolder() { removeTree(path_.wstring()); }
  const fs::path& path() const { return path_; }
  std::string utf8() const { return utf8Text(path_.wstring()); }

 private:
  fs::path path_;
};

struct KeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

Key createKey(const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return Key(key);
}

bool keyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

std::vector<std::byte> textBytes(const std::wstring& text) {
  std::vector<std::byte> bytes((text.size() + 1) * 2);
  std::memcpy(bytes.data(), text.c_str(), bytes.size());
  return bytes;
}

TEST(NativeWindowsView, FoldersAreTheOnesTheEnvironmentNames) {
  struct Case {
    const char* name;
    platform::KNOWNFOLDERID id;
    int csidl;
    const wchar_t* variable;
  };
  const Case cases[] = {
      {"program files", platform::FOLDERID_ProgramFiles, platform::CSIDL_PROGRAM_FILES,
       L"ProgramFiles"},
      {"32-bit program files", platform::FOLDERID_ProgramFilesX86,
       platform::CSIDL_PROGRAM_FILESX86, L"ProgramFiles(x86)"},
      {"profile", platform::FOLDERID_Profile, platform::CSIDL_PROFILE, L"USERPROFILE"},
      {"local application data", platform::FOLDERID_LocalAppData, platform::CSIDL_LOCAL_APPDATA,
       L"LOCALAPPDATA"},
  };
  const NativeWindowsView windows;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string expected = environment(c.variable);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(windows.knownFolderPath(c.id), expected);
    EXPECT_EQ(windows.specialFolderPath(c.csidl), expected);
  }
  // A known folder nobody registered, and a folder number nobody uses.
  EXPECT_EQ(windows.knownFolderPath({0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}}),
            std::nullopt);
  EXPECT_EQ(windows.specialFolderPath(0x7E), std::nullopt);
}

TEST(NativeWindowsView, VersionIsTheOneTheSystemRecords) {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion",
                            0, KEY_READ, &raw),
            ERROR_SUCCESS);
  const Key key(raw);
  DWORD major = 0;
  DWORD size = sizeof major;
  if (::RegQueryValueExW(key.get(), L"CurrentMajorVersionNumber", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&major), &size) != ERROR_SUCCESS) {
    // Before Windows 10: "6.1" and the like.
    wchar_t text[32] = {};
    size = sizeof text - sizeof(wchar_t);
    ASSERT_EQ(::RegQueryValueExW(key.get(), L"CurrentVersion", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    major = static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
  }
  EXPECT_EQ(NativeWindowsView().windowsMajorVersion(), static_cast<int>(major));
}

TEST(NativeWindowsView, CurrentUserValuesComeBackAsStored) {
  const std::wstring keyPath =
      L"Software\\Corvadex tests\\values-" + std::to_wstring(::GetCurrentProcessId());
  const std::string keyName = utf8Text(keyPath);
  struct Case {
    const char* name;
    std::wstring valueName;
    DWORD type;
    std::vector<std::byte> data;
  };
  const std::vector<std::byte> dword = {std::byte{0x2A}, std::byte{0}, std::byte{0}, std::byte{1}};
  const std::vector<Case> cases = {
      {"text in several scripts", L"C:\\Users\\\u0416\u0430\u043d\u043d\u0430\\Contacts\\Default\\",
       REG_SZ, textBytes(L"{5c8f}\u5546\u5e97 \U0001F4C7")},
      {"a number", L"count", REG_DWORD, dword},
      {"empty bytes", L"nothing", REG_BINARY, {}},
      {"a long value", L"long", REG_BINARY, std::vector<std::byte>(20'000, std::byte{0x5A})},
      {"the default value", L"", REG_SZ, textBytes(L"default")},
  };
  {
    const Key key = createKey(keyPath);
    ASSERT_TRUE(key);
    for (const Case& c : cases)
      ASSERT_EQ(::RegSetValueExW(key.get(), c.valueName.c_str(), 0, c.type,
                                 reinterpret_cast<const BYTE*>(c.data.data()),
                                 static_cast<DWORD>(c.data.size())),
                ERROR_SUCCESS);
  }
  const NativeWindowsView windows;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto value = windows.currentUserValue(keyName, utf8Text(c.valueName));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->data, c.data);
  }
  EXPECT_EQ(platform::registryText(*windows.currentUserValue(keyName, "C:\\Users\\Жанна\\Contacts\\Default\\")),
            "{5c8f}商店 📇");
  EXPECT_EQ(windows.currentUserValue(keyName, "missing"), std::nullopt);
  EXPECT_EQ(windows.currentUserValue(keyName + "\\missing", "count"), std::nullopt);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Corvadex tests");
}

TEST(NativeWindowsView, VersionResourcesAndFiles) {
  const ScratchFolder scratch(L"corvadex-\u0444\u0430\u0439\u043b\u044b");
  writeMailClient(scratch.path() / L"wlmail.exe", 15, 4);
  writeMailClient(scratch.path() / L"\u043f\u043e\u0447\u0442\u0430.exe", 16, 5);
  writeFile(scratch.path() / "notes.txt", "not a program");
  // A path of more than 260 characters.
  fs::path deep = scratch.path();
  for (int i = 0; i < 6; ++i) deep /= std::wstring(50, static_cast<wchar_t>(L'a' + i));
  writeMailClient(extended(deep / "wlmail.exe"), 14, 0);
  ASSERT_GT(deep.wstring().size(), 300u);

  struct Case {
    const char* name;
    fs::path path;
    bool exists;
    std::uint32_t fileVersionMS;  // 0: no version resource
  };
  const Case cases[] = {
      {"the stand-in", scratch.path() / L"wlmail.exe", true, 15u << 16 | 4},
      {"a name in Cyrillic", scratch.path() / L"\u043f\u043e\u0447\u0442\u0430.exe", true,
       16u << 16 | 5},
      {"a text file", scratch.path() / "notes.txt", true, 0},
      {"a folder", scratch.path(), false, 0},
      {"nothing", scratch.path() / "missing.exe", false, 0},
      {"a long path", deep / "wlmail.exe", true, 14u << 16},
  };
  const NativeWindowsView windows;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = utf8Text(c.path.wstring());
    EXPECT_EQ(windows.fileExists(path), c.exists);
    // Windows reads version resources through the classic path length only.
    if (c.path.wstring().size() >= MAX_PATH) continue;
    const auto info = windows.fileVersion(path);
    if (c.fileVersionMS == 0) {
      EXPECT_EQ(info, std::nullopt);
    } else {
      ASSERT_TRUE(info);
      EXPECT_EQ(info->dwFileVersionMS, c.fileVersionMS);
      EXPECT_EQ(info->dwProductVersionMS, 2012u << 16);
    }
  }
}

// The start-up location on this machine, with the stand-in installed in
// one of the program files folders and a database where its version keeps
// it.
class WindowsLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!mayChangeMachine())
      GTEST_SKIP() << "changes the program files folder and the registry: only under Wine or "
                      "with CORVADEX_TESTS_MAY_CHANGE_MACHINE=1";
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)"}) {
      const fs::path exe = fs::path(wideText(environment(wideText(variable).c_str()))) /
                           "Windows Live" / "Mail" / "wlmail.exe";
      if (fs::exists(exe)) GTEST_SKIP() << "a mail client is installed: " << exe.string();
    }
    if (keyExists(kDatabaseKey)) GTEST_SKIP() << "the mail client's registry key is present";
    localAppData_ = fs::path(wideText(environment(L"LOCALAPPDATA")));
    if (fs::exists(localAppData_ / "Microsoft" / "Windows Live") ||
        fs::exists(localAppData_ / "Microsoft" / "Windows Live Contacts"))
      GTEST_SKIP() << "the mail client's data is present";
    armed_ = true;
  }

  // Removes what the test made; nothing when SetUp found the machine's own.
  void TearDown() override {
    if (!armed_) return;
    std::error_code ignored;
    for (const fs::path& path : made_) fs::remove_all(path, ignored);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows Live Contacts");
  }

  void installMailClient(const wchar_t* programFilesVariable, std::uint16_t major) {
    const fs::path live = fs::path(wideText(environment(programFilesVariable))) / "Windows Live";
    made_.push_back(live);
    writeMailClient(live / "Mail" / "wlmail.exe", major);
  }

  fs::path placeDatabase(const fs::path& belowLocalAppData) {
    const fs::path first = localAppData_ / "Microsoft" / *belowLocalAppData.begin();
    made_.push_back(first);
    const fs::path file = localAppData_ / "Microsoft" / belowLocalAppData;
    writeFile(file, "a database");
    return file;
  }

  bool armed_ = false;
  fs::path localAppData_;
  std::vector<fs::path> made_;
};

TEST_F(WindowsLocation, FindsTheDatabaseWhereEachVersionKeepsIt) {
  struct Case {
    const char* name;
    const wchar_t* programFiles;
    std::uint16_t major;
    const char* store;  // a version 14 store's folder, set in the registry
    fs::path database;  // below Microsoft in the local application data folder
  };
  const fs::path live = fs::path("Windows Live") / "Contacts" / "default";
  const Case cases[] = {
      {"2012 in the 64-bit folder", L"ProgramFiles", 16, nullptr,
       live / "15.5" / "DBStore" / "contacts.edb"},
      {"2012 in the 32-bit folder", L"ProgramFiles(x86)", 16, nullptr,
       live / "15.5" / "DBStore" / "contacts.edb"},
      {"2011", L"ProgramFiles(x86)", 15, nullptr, live / "15.4" / "DBStore" / "contacts.edb"},
      {"2009, its store named in the registry", L"ProgramFiles(x86)", 14, "{9a1c-\u00e9t\u00e9}",
       fs::path("Windows Live Contacts") / wideText("{9a1c-\u00e9t\u00e9}") / "DBStore" /
           "contacts.edb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    installMailClient(c.programFiles, c.major);
    const fs::path database = placeDatabase(c.database);
    if (c.store != nullptr) {
      // What the mail client writes: the profile's store, under a value
      // named by the profile's path.
      const Key key = createKey(kDatabaseKey);
      ASSERT_TRUE(key);
      const std::wstring name = wideText(environment(L"USERPROFILE")) + L"\\Contacts\\Default\\";
      const std::vector<std::byte> data = textBytes(wideText(c.store));
      ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                ERROR_SUCCESS);
    }

    const NativeWindowsView windows;
    DatabaseLocation location(windows);
    LineLog log;
    ContactList list;
    std::vector<std::string> read;
    location.Run(log, list, [&](const std::string& path) { read.push_back(path); });

    const std::string expected = utf8Text(database.wstring());
    EXPECT_EQ(location.MailVersion, c.major);
    EXPECT_EQ(read, std::vector<std::string>{expected});
    ASSERT_FALSE(log.Lines().empty());
    EXPECT_EQ(log.Lines().front(), "Windows Live Mail version " + std::to_string(c.major));
    EXPECT_EQ(log.Lines().back(), "Database File: " + expected);
    TearDown();
    made_.clear();
  }
}

TEST(WindowsSearch, FindsProfilesAndWindowsOldOnADiskNamedWithSearch) {
  const ScratchFolder scratch(L"corvadex-search");
  const fs::path disk = scratch.path() / L"\u0441\u0442\u0430\u0440\u044b\u0439 \u0434\u0438\u0441\u043a";
  const fs::path tail = fs::path("AppData") / "Local" / "Microsoft" / "Windows Live" / "Contacts" /
                        "default";
  const fs::path bob = disk / "Users" / "bob" / tail / "15.5" / "DBStore" / "contacts.edb";
  const fs::path ann = disk / "Windows.old" / "Users" / L"\u30a2\u30f3" / tail / "15.4" / "DBStore" /
                       "contacts.edb";
  writeFile(bob, std::string(2048, 'b'));
  writeFile(ann, std::string(100, 'a'));
  writeFile(disk / "Users" / "bob" / "Desktop" / "contacts.edb", "not at a fixed place");
  // 2023-11-14 22:13:20 UTC as the database's last change.
  {
    const HANDLE file = ::CreateFileW(bob.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::uint64_t steps = (1'700'000'000ull + 11'644'473'600ull) * 10'000'000ull;
    const FILETIME time{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
    ::CloseHandle(file);
  }

  auto host = std::make_shared<WindowsSearchHost>();
  const std::vector<std::string> drives = host->volumes();
  const std::string systemDrive = environment(L"SystemDrive");
  EXPECT_NE(std::find(drives.begin(), drives.end(), systemDrive), drives.end()) << systemDrive;

  // The disk named twice, the second time in other letters' case and with
  // forward slashes: each database is found once.
  const std::string named = utf8Text(disk.wstring());
  std::string again = named;
  for (char& ch : again) ch = ch == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  DatabaseSearch search(host, "", {named, again}, kSearchPatience);
  const SearchOutcome outcome = search.wait();

  const std::string real = *host->realPath(named);
  std::set<std::string> found;
  for (const DatabaseFind& find : outcome.finds) {
    if (!find.path.starts_with(real + "\\")) continue;  // this machine's own databases
    found.insert(find.user + "|" + find.versionFolder + "|" + find.path.substr(real.size()));
    if (find.user == "bob") {
      EXPECT_EQ(find.facts.size, 2048u);
      EXPECT_EQ(find.facts.modified, 1'700'000'000);
      EXPECT_EQ(find.volume, named);
    }
  }
  EXPECT_EQ(found, (std::set<std::string>{
                       "bob|15.5|\\Users\\bob\\AppData\\Local\\Microsoft\\Windows Live\\Contacts\\"
                       "default\\15.5\\DBStore\\contacts.edb",
                       "\u30a2\u30f3|15.4|\\Windows.old\\Users\\\u30a2\u30f3\\AppData\\Local\\"
                       "Microsoft\\Windows Live\\Contacts\\default\\15.4\\DBStore\\contacts.edb"}));
  EXPECT_NE(std::find(outcome.windowsVolumes.begin(), outcome.windowsVolumes.end(), systemDrive),
            outcome.windowsVolumes.end());
}

}  // namespace
}  // namespace corvadex
