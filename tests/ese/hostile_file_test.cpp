// SPDX-License-Identifier: Apache-2.0
// Files that are odd rather than damaged, made for real: a database cut
// short by another thread while it is walked, a FIFO in the database's
// place, a valid header made sparse to 1 TB, and values that each expand
// to 64 KiB (written by make-contacts-db --expanding-values).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "ese/database.h"
#include "file_io.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese::testing {
namespace {

using corvadex::testing::eseSample;
using corvadex::testing::readFile;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

std::string makeDatabase(const TempFolder& dir, const std::string& options) {
  const std::string path = dir.File("contacts.edb");
  const std::string command = "'" + std::string(CORVADEX_BIN_DIR) + "/make-contacts-db' " +
                              options + " '" + path + "' >/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return path;
}

std::shared_ptr<const TableInfo> contactTable(const Database& db) {
  for (const auto& t : db.catalog().tables()) {
    if (t->name.rfind("SimpleContact-", 0) == 0) return t;
  }
  return nullptr;
}

// Walks the table reading every value; the first failing status.
Status walkAll(TableCursor& cursor, Status err) {
  for (; err.ok(); err = cursor.moveNext()) {
    for (const ColumnInfo& c : cursor.table().columns) {
      Bytes value;
      bool is_null = false;
      if (Status e = cursor.readValue(c, 1, value, is_null); !e.ok()) return e;
    }
  }
  return err;
}

TEST(HostileFiles, AFileCutShortDuringTheWalkGivesAnErrorNotASignal) {
  TempFolder dir;
  const std::string path = makeDatabase(dir, "--count 20000");
  std::unique_ptr<Database> db;
  ASSERT_EQ(Database::open(path, db), JET_errSuccess);
  TableCursor cursor(*db, contactTable(*db));
  Status err = cursor.moveFirst();
  for (int row = 0; row < 100 && err.ok(); ++row) err = cursor.moveNext();
  ASSERT_EQ(err, JET_errSuccess);
  // Another thread cuts the file to 1 MiB while the walk is under way.
  std::thread cutter([&] { ASSERT_EQ(::truncate(path.c_str(), 1 << 20), 0); });
  cutter.join();
  const Status note = walkAll(cursor, err);
  EXPECT_EQ(note.code, JET_errFileIOBeyondEOF);
  EXPECT_STREQ(note.check, "the file changed or became unreadable while it was read");
  // A page past the new end of 1 MiB.
  EXPECT_GE((std::uint64_t{note.pgno} + 2) * db->file().page_size(), std::uint64_t{1} << 20);
  ASSERT_NE(note.table, nullptr);
  EXPECT_EQ(*note.table, contactTable(*db)->name);
}

TEST(HostileFiles, OnlyRegularFilesAreOpened) {
  TempFolder dir;
  const std::string fifo = dir.File("contacts.edb");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::unique_ptr<Database> db;
  FileHeader header;
  for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    EXPECT_EQ(Database::open(path, db), JET_errInvalidDatabase) << path;
    EXPECT_EQ(DbFile::readHeader(path, header), JET_errInvalidDatabase) << path;
  }
  EXPECT_EQ(Database::open(dir.path(), db), JET_errInvalidPath);
}

// Runs `work` in a child process; the child's peak resident memory in KiB,
// or -1 when it did not exit with status 0.
long childPeakKiB(const std::function<bool()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(work() ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return usage.ru_maxrss;
}

TEST(HostileFiles, ASparseTerabyteFileCostsNoMemoryPerPage) {
  TempFolder dir;
  // The real header pages of a sample, then a hole up to 1 TB.
  const std::string sample = readFile(eseSample("basic"));
  FileHeader header;
  ASSERT_EQ(DbFile::readHeader(eseSample("basic"), header), JET_errSuccess);
  const std::string path = dir.File("sparse.edb");
  writeFile(path, sample.substr(0, 2 * header.page_size));
  if (::truncate(path.c_str(), off_t{1} << 40) != 0) GTEST_SKIP() << "no sparse files here";
  const long peak = childPeakKiB([&] {
    std::unique_ptr<Database> db;
    // The catalog's page is a hole: not initialised.
    return Database::open(path, db) == JET_errPageNotInitialized;
  });
  ASSERT_GT(peak, 0);
  EXPECT_LT(peak, 64 * 1024) << "KiB";
}

TEST(HostileFiles, ValuesExpandingBeyondTheBoundAreReportedAsDamage) {
  TempFolder dir;
  const std::string path = makeDatabase(dir, "--count 300 --expanding-values");
  std::unique_ptr<Database> db;
  ASSERT_EQ(Database::open(path, db), JET_errSuccess);
  TableCursor cursor(*db, contactTable(*db));
  // The first values decompress to 64 KiB each, as promised...
  ASSERT_EQ(cursor.moveFirst(), JET_errSuccess);
  const ColumnInfo* nick = cursor.table().findColumn("NickName");
  ASSERT_NE(nick, nullptr);
  Bytes value;
  bool is_null = true;
  ASSERT_EQ(cursor.readValue(*nick, 1, value, is_null), JET_errSuccess);
  EXPECT_EQ(value.size(), 65535u);
  // ...until their sum passes the bound for a file of this size.
  const Status note = walkAll(cursor, JET_errSuccess);
  EXPECT_EQ(note.code, JET_errDatabaseCorrupted);
  EXPECT_STREQ(note.check, "the value would take more memory than a file of this size can hold");
  ASSERT_NE(note.table, nullptr);
  EXPECT_EQ(*note.table, contactTable(*db)->name);
  ASSERT_NE(note.column, nullptr);
  EXPECT_FALSE(note.column->empty());
  EXPECT_GT(note.pgno, 0u);
}

}  // namespace
}  // namespace ese::testing
