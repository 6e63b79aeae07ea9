// SPDX-License-Identifier: Apache-2.0
// Reading never writes: the file's bytes and times stay as they were, a file
// without write permission reads the same, the file is only ever open for
// reading, and nothing appears beside it (no logs, checkpoint, lock or
// temporary files) nor in the working folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "ese/database.h"
#include "file_io.h"
#include "read_everything.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese::testing {
namespace {

using corvadex::testing::eseSample;
using corvadex::testing::readFile;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

namespace fs = std::filesystem;

std::set<std::string> listing(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

struct FileState {
  std::string bytes;
  struct stat st {};
};

FileState stateOf(const std::string& path) {
  FileState s;
  s.bytes = readFile(path);
  EXPECT_EQ(::stat(path.c_str(), &s.st), 0) << path;
  return s;
}

void expectSameState(const FileState& before, const FileState& after) {
  EXPECT_TRUE(before.bytes == after.bytes) << "the file's bytes changed";
  EXPECT_EQ(before.st.st_size, after.st.st_size);
  EXPECT_EQ(before.st.st_mtim.tv_sec, after.st.st_mtim.tv_sec);
  EXPECT_EQ(before.st.st_mtim.tv_nsec, after.st.st_mtim.tv_nsec);
  // A change of the file's metadata (mode, owner, times set) moves ctime.
  EXPECT_EQ(before.st.st_ctim.tv_sec, after.st.st_ctim.tv_sec);
  EXPECT_EQ(before.st.st_ctim.tv_nsec, after.st.st_ctim.tv_nsec);
  EXPECT_EQ(before.st.st_mode, after.st.st_mode);
}

// Checks, while the database is open, how this process holds the file: every
// descriptor open on it must be read-only and every mapping of it without
// write access. Permission bits do not bind root, so this is the check that
// holds whoever runs the tests. Returns how many holds were found.
int expectHeldReadOnly(const std::string& path) {
  const fs::path target = fs::canonical(path);
  int holds = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const fs::path link = fs::read_symlink(entry.path(), ec);
    if (ec || link != target) continue;
    ++holds;
    std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
    std::string key;
    std::string flags;
    while (info >> key >> flags) {
      if (key == "flags:") break;
    }
    const int access = std::stoi(flags, nullptr, 8) & O_ACCMODE;
    EXPECT_EQ(access, O_RDONLY) << "descriptor " << entry.path() << " flags " << flags;
  }
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.size() < target.string().size() ||
        line.compare(line.size() - target.string().size(), std::string::npos, target.string()) != 0) {
      continue;
    }
    ++holds;
    const std::string perms = line.substr(line.find(' ') + 1, 4);
    EXPECT_EQ(perms.find('w'), std::string::npos) << line;
  }
  return holds;
}

class ReadOnly : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    copy_ = dir_.File("contacts.edb");
    writeFile(copy_, readFile(eseSample(GetParam())));
    // Old, exact times, so that any write or touch would show.
    const timespec times[2] = {{1500000000, 123456789}, {1500000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, copy_.c_str(), times, 0), 0);
  }

  TempFolder dir_;
  std::string copy_;
};

TEST_P(ReadOnly, ReadingLeavesBytesAndTimesAsTheyWere) {
  const FileState before = stateOf(copy_);
  const ReadOutcome read = readThroughDatabase(copy_);
  ASSERT_EQ(read.status, JET_errSuccess);
  ASSERT_GT(read.values, 0u);
  expectSameState(before, stateOf(copy_));
  EngineJet jet;
  const ReadOutcome through_jet = readThroughJet(jet, copy_);
  ASSERT_EQ(through_jet.status, JET_errSuccess);
  ASSERT_EQ(through_jet.values, read.values);
  expectSameState(before, stateOf(copy_));
}

TEST_P(ReadOnly, AFileWithoutWritePermissionReadsTheSame) {
  EngineJet jet;
  const ReadOutcome writable = readThroughDatabase(copy_);
  const ReadOutcome writable_jet = readThroughJet(jet, copy_);
  ASSERT_EQ(writable.status, JET_errSuccess);
  ASSERT_EQ(writable_jet.status, JET_errSuccess);
  ASSERT_EQ(::chmod(copy_.c_str(), 0444), 0);
  const FileState before = stateOf(copy_);
  const ReadOutcome read_only = readThroughDatabase(copy_);
  EXPECT_EQ(read_only.status, JET_errSuccess);
  EXPECT_EQ(read_only.digest, writable.digest);
  EXPECT_EQ(read_only.values, writable.values);
  const ReadOutcome read_only_jet = readThroughJet(jet, copy_);
  EXPECT_EQ(read_only_jet.status, JET_errSuccess);
  EXPECT_EQ(read_only_jet.digest, writable_jet.digest);
  expectSameState(before, stateOf(copy_));
}

TEST_P(ReadOnly, TheJetCallsHoldTheFileForReadingOnlyAndCreateNothing) {
  const fs::path cwd = fs::current_path();
  const std::set<std::string> folder_before = listing(dir_.path());
  const std::set<std::string> cwd_before = listing(cwd);
  EngineJet jet;
  int holds = 0;
  const ReadOutcome read = readThroughJet(jet, copy_, [&] {
    holds = expectHeldReadOnly(copy_);
    EXPECT_EQ(listing(dir_.path()), folder_before) << "while the database is open";
    EXPECT_EQ(listing(cwd), cwd_before) << "in the working folder, while open";
  });
  EXPECT_EQ(read.status, JET_errSuccess);
  EXPECT_GT(holds, 0) << "the open database holds the file somehow";
  EXPECT_EQ(listing(dir_.path()), folder_before) << "after the instance ended";
  EXPECT_EQ(listing(cwd), cwd_before) << "in the working folder";
}

TEST_P(ReadOnly, TheFileIsHeldForReadingOnlyAndNothingIsCreated) {
  const fs::path cwd = fs::current_path();
  const std::set<std::string> folder_before = listing(dir_.path());
  const std::set<std::string> cwd_before = listing(cwd);
  {
    std::unique_ptr<Database> db;
    ASSERT_EQ(Database::open(copy_, db), JET_errSuccess);
    EXPECT_GT(expectHeldReadOnly(copy_), 0) << "the open database holds the file somehow";
    EXPECT_EQ(listing(dir_.path()), folder_before) << "while the database is open";
    // Read every row, so that every page the tables use has been touched.
    for (const auto& table : db->catalog().tables()) {
      TableCursor cursor(*db, table);
      Status err = cursor.moveFirst();
      while (err.ok()) err = cursor.moveNext();
      EXPECT_EQ(err, JET_errNoCurrentRecord) << table->name;
    }
    expectHeldReadOnly(copy_);
    EXPECT_EQ(listing(dir_.path()), folder_before) << "after the walk";
  }
  EXPECT_EQ(listing(dir_.path()), folder_before) << "after closing";
  EXPECT_EQ(listing(cwd), cwd_before) << "in the working folder";
}

std::string sampleName(const ::testing::TestParamInfo<std::string>& sample) {
  return sample.param;
}

INSTANTIATE_TEST_SUITE_P(Samples, ReadOnly, ::testing::Values("basic", "text"), sampleName);

}  // namespace
}  // namespace ese::testing
