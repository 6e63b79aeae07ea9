// SPDX-License-Identifier: Apache-2.0
// The Windows file calls behind the program's seams, for real under Wine:
// the database opened beside programs that hold it, exports replacing
// files, names in several scripts and paths over 260 characters, and file
// identity.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_status.h"
#include "base/output_file.h"
#include "base/temp_folder.h"
#include "base/wide_path.h"
#include "ese/failure_note.h"
#include "ese/file_reader.h"

namespace corvadex {
namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Another program's handle on `path`, with its own access and sharing.
Handle holdFile(const std::string& path, DWORD access, DWORD share) {
  HANDLE h = ::CreateFileW(widePath(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE) << path << " error " << ::GetLastError();
  return Handle(h);
}

void putFile(const std::string& path, const std::string& bytes) {
  OutputFile file(path);
  file.write(bytes);
  file.commit();
}

std::string takeFile(const std::string& path) {
  ese::ReadOnlyFile file;
  EXPECT_EQ(file.open(path), ese::JET_errSuccess) << path;
  std::string bytes(file.size(), '\0');
  EXPECT_EQ(file.read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size(), 0),
            static_cast<std::int64_t>(bytes.size()));
  return bytes;
}

// What is left in a folder, by the system's own listing (wide names).
std::vector<std::string> listFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((widePath(folder + "\\*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(utf8Text(name));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

TEST(WindowsDatabaseFile, OpensBesideOtherProgramsUnlessTheyShareNothing) {
  TempFolder dir;
  const std::string db = dir.File("contacts.edb");
  putFile(db, "0123456789");
  struct Holder {
    const char* what;
    DWORD access;
    DWORD share;
    ese::JET_ERR expected;
  };
  const Holder holders[] = {
      // The mail client writes while sharing reading: Corvadex reads along.
      {"writer sharing all", GENERIC_READ | GENERIC_WRITE,
       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, ese::JET_errSuccess},
      // A reader that lets no writer in: Corvadex asks for no write access.
      {"reader refusing writers", GENERIC_READ, FILE_SHARE_READ, ese::JET_errSuccess},
      // A holder that shares nothing, or refuses readers.
      {"writer sharing nothing", GENERIC_READ | GENERIC_WRITE, 0, ese::JET_errFileAccessDenied},
      {"writer sharing writing only", GENERIC_WRITE, FILE_SHARE_WRITE, ese::JET_errFileAccessDenied},
  };
  for (const Holder& h : holders) {
    SCOPED_TRACE(h.what);
    const Handle held = holdFile(db, h.access, h.share);
    ese::forgetFailure();
    ese::ReadOnlyFile file;
    ASSERT_EQ(file.open(db), h.expected);
    if (h.expected == ese::JET_errSuccess) {
      std::string bytes(4, '\0');
      EXPECT_EQ(file.read(reinterpret_cast<std::byte*>(bytes.data()), 4, 3), 4);
      EXPECT_EQ(bytes, "3456");
      EXPECT_EQ(file.size(), 10u);
    } else {
      const std::string note = ese::latestFailure().Text();
      EXPECT_NE(note.find("another program holds the file open"), std::string::npos) << note;
      EXPECT_NE(note.find("copy the folder and read the copy"), std::string::npos) << note;
    }
  }
}

TEST(WindowsDatabaseFile, ReadsPastTheEndShortAndAcrossBuffers) {
  TempFolder dir;
  const std::string db = dir.File("pages.edb");
  putFile(db, "abcdefghij");
  ese::ReadOnlyFile file;
  ASSERT_EQ(file.open(db), ese::JET_errSuccess);
  std::string a(4, '.'), b(4, '.');
  const ese::ReadBuffer buffers[] = {{reinterpret_cast<std::byte*>(a.data()), 4},
                                     {reinterpret_cast<std::byte*>(b.data()), 4}};
  EXPECT_EQ(file.read(buffers, 2, 4), 6);
  EXPECT_EQ(a + b, "efghij..");
  EXPECT_EQ(file.read(buffers, 2, 100), 0);
}

TEST(WindowsDatabaseFile, FolderMissingFileAndDeviceAreRefused) {
  TempFolder dir;
  struct Case {
    std::string path;
    ese::JET_ERR expected;
  };
  const Case cases[] = {{dir.path(), ese::JET_errInvalidPath},
                        {dir.File("missing.edb"), ese::JET_errFileNotFound},
                        {dir.File("no-folder\\x.edb"), ese::JET_errFileNotFound},
                        {"", ese::JET_errInvalidPath},
                        {"NUL", ese::JET_errInvalidDatabase}};
  for (const Case& c : cases) {
    ese::ReadOnlyFile file;
    EXPECT_EQ(file.open(c.path), c.expected) << c.path;
  }
}

TEST(WindowsOutputFile, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
  TempFolder dir;
  const std::string target = dir.File("export.xml");
  putFile(target, "old contents");
  {
    OutputFile file(target);
    file.write("new");
    EXPECT_EQ(takeFile(target), "old contents");  // untouched until commit
    file.commit();
  }
  EXPECT_EQ(takeFile(target), "new");
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"export.xml"});
}

TEST(WindowsOutputFile, FailedExportLeavesTheOldFileAndNoTemporaryFile) {
  TempFolder dir;
  const std::string target = dir.File("export.csv");
  putFile(target, "old");
  // Abandoned before commit.
  {
    OutputFile file(target);
    file.write("half of it");
  }
  EXPECT_EQ(takeFile(target), "old");
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"export.csv"});
  // The target held by a program that lets nobody delete or replace it: the
  // commit fails and changes nothing.
  {
    const Handle held = holdFile(target, GENERIC_READ, FILE_SHARE_READ);
    OutputFile file(target);
    file.write("new");
    EXPECT_THROW(file.commit(), std::system_error);
  }
  EXPECT_EQ(takeFile(target), "old");
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"export.csv"});
}

// What the console control handler does to an export under way.
TEST(WindowsOutputFile, TemporaryFileCanBeRemovedWhileTheExportHoldsIt) {
  TempFolder dir;
  const std::string target = dir.File("export.vcf");
  {
    OutputFile file(target);
    file.write("BEGIN:VCARD");
    ASSERT_TRUE(::DeleteFileW(widePath(file.temporaryPath()).c_str())) << ::GetLastError();
  }
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{});
}

TEST(WindowsOutputFile, WritesAtOffsetsAndResizesLikePwrite) {
  TempFolder dir;
  const std::string target = dir.File("db.edb");
  OutputFile file(target);
  file.write("aaaa");
  file.writeAt(8, "zz");
  file.write("bb");  // continues after "aaaa", not after the offset write
  file.resize(12);
  file.commit();
  EXPECT_EQ(takeFile(target), std::string("aaaabb\0\0zz\0\0", 12));
}

TEST(WindowsOutputFile, DevicesAreWrittenInPlaceAndFoldersRefused) {
  TempFolder dir;
  EXPECT_TRUE(OutputFile::writesInPlace("NUL"));
  EXPECT_TRUE(OutputFile::writesInPlace(dir.File("con.txt")));
  EXPECT_TRUE(OutputFile::writesInPlace("\\\\.\\pipe\\corvadex"));
  EXPECT_FALSE(OutputFile::writesInPlace(dir.File("contacts.xml")));
  EXPECT_FALSE(OutputFile::writesInPlace(dir.File("console.xml")));
  EXPECT_THROW(OutputFile{dir.path()}, std::system_error);
  EXPECT_THROW(OutputFile::checkTarget(dir.File("missing\\out.xml")), std::system_error);
  EXPECT_NO_THROW(OutputFile::checkTarget(dir.File("out.xml")));
  EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{});
}

// A folder of the given name in every script the program meets, and a path
// made longer than MAX_PATH: written, found, read back and listed.
TEST(WindowsNames, AnyScriptAndPathsOverMaxPath) {
  TempFolder dir;
  std::string deep = dir.path();
  while (deep.size() < 300) deep += "\\" + std::string(40, 'd');
  const std::string names[] = {
      "Контакты",            // Cyrillic
      "連絡先",               // CJK
      "Επαφές",              // Greek
      "جهات الاتصال",          // Arabic
      "contacts \xF0\x9F\x93\x87",  // emoji outside the BMP
      deep.substr(dir.path().size() + 1),
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string folder = dir.path() + "\\" + name;
    // Each level of the long path is made in turn.
    for (std::size_t at = dir.path().size() + 1; at != std::string::npos; at = folder.find('\\', at + 1)) {
      ASSERT_EQ(makeFolder(folder.substr(0, folder.find('\\', at + 1))), 0);
    }
    ASSERT_EQ(fileKind(folder), FileKind::Folder);
    const std::string file = folder + "\\" + (name.size() < 60 ? name : "deep") + ".vcf";
    OutputFile::checkTarget(file);
    putFile(file, "BEGIN:VCARD");
    EXPECT_EQ(fileKind(file), FileKind::Regular);
    EXPECT_EQ(takeFile(file), "BEGIN:VCARD");
    EXPECT_TRUE(isSameFile(file, file));
    putFile(file, "END:VCARD");  // replaced over a long or wide name
    EXPECT_EQ(takeFile(file), "END:VCARD");
    EXPECT_EQ(listFolder(folder).size(), 1u);
  }
  if (deep.size() >= MAX_PATH) {
    EXPECT_TRUE(widePath(deep).starts_with(L"\\\\?\\"));
  }
}

TEST(WindowsNames, FileIdentityFollowsHardLinksAndSpellings) {
  TempFolder dir;
  const std::string a = dir.File("contacts.edb");
  const std::string b = dir.File("other.edb");
  putFile(a, "A");
  putFile(b, "B");
  const std::string link = dir.File("link.edb");
  const bool linked = ::CreateHardLinkW(widePath(link).c_str(), widePath(a).c_str(), nullptr) != 0;
  struct Case {
    std::string first, second;
    bool same;
  };
  std::string upper = a;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  std::vector<Case> cases = {{a, a, true},
                             {a, upper, true},
                             {a, dir.path() + "\\.\\contacts.edb", true},
                             {a, b, false},
                             {a, dir.File("missing.edb"), false}};
  if (linked) cases.push_back({a, link, true});
  for (const Case& c : cases) EXPECT_EQ(isSameFile(c.first, c.second), c.same) << c.second;
}

}  // namespace
}  // namespace corvadex
