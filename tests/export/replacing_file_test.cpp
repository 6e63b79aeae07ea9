// SPDX-License-Identifier: Apache-2.0
#include "export/replacing_file.h"

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "file_io.h"
#include "temp_dir.h"
#include "test_support.h"

namespace corvadex {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST(ReplacingFile, NothingAppearsUnderTheNameBeforeCommit) {
  TempDir dir;
  const std::string target = dir.File("out.txt");
  ReplacingFile file(target);
  file.Write("hello");
  EXPECT_FALSE(std::filesystem::exists(target));
  ASSERT_FALSE(file.TemporaryPath().empty());
  EXPECT_EQ(std::filesystem::path(file.TemporaryPath()).parent_path(), std::filesystem::path(dir.Path()));
  file.Commit();
  EXPECT_EQ(ReadFile(target), "hello");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.txt"});
}

TEST(ReplacingFile, AbandonedFileLeavesTargetAndFolderAsTheyWere) {
  TempDir dir;
  const std::string target = dir.File("out.txt");
  WriteFile(target, "earlier");
  {
    ReplacingFile file(target);
    file.Write(std::string(1 << 20, 'x'));  // more than one buffer's worth
  }
  EXPECT_EQ(ReadFile(target), "earlier");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.txt"});
}

TEST(ReplacingFile, ReplacementKeepsTheEarlierFilesPermissions) {
  TempDir dir;
  const std::string target = dir.File("out.txt");
  WriteFile(target, "earlier");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ReplacingFile file(target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(ReadFile(target), "new");
}

TEST(ReplacingFile, NewFileGetsTheUsualPermissions) {
  TempDir dir;
  const std::string target = dir.File("out.txt");
  const mode_t old = ::umask(022);
  {
    ReplacingFile file(target);
    file.Commit();
  }
  ::umask(old);
  EXPECT_EQ(ModeOf(target), 0644u);  // not the 0600 of a typical temporary file
  EXPECT_EQ(ReadFile(target), "");
}

TEST(ReplacingFile, LinkIsWrittenThroughAndStays) {
  TempDir dir;
  const std::string real = dir.File("real.txt"), link = dir.File("link.txt");
  WriteFile(real, "earlier");
  std::filesystem::create_symlink("real.txt", link);
  ReplacingFile file(link);
  file.Write("new");
  file.Commit();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST(ReplacingFile, BareFileNameGoesToTheCurrentFolder) {
  TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  {
    ReplacingFile file("bare.txt");
    file.Write("x");
    file.Commit();
  }
  std::filesystem::current_path(previous);
  EXPECT_EQ(ReadFile(dir.File("bare.txt")), "x");
}

std::string CheckError(const std::string& target) {
  try {
    ReplacingFile::CheckTarget(target);
    return "";
  } catch (const std::runtime_error& e) {
    return e.what();
  }
}

TEST(ReplacingFile, CheckTargetForeseesTheConstructorsErrorsAndCreatesNothing) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  WriteFile(dir.File("file"), "x");
  for (const std::string& target :
       {dir.File("folder"), dir.File("missing/out"), dir.File("file/out"), dir.File("folder/")}) {
    const std::string checked = CheckError(target);
    EXPECT_NE(checked, "") << target;
    try {
      ReplacingFile file(target);
      ADD_FAILURE() << "created " << target;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(checked, e.what());
    }
  }
  EXPECT_EQ(CheckError(dir.File("new.txt")), "");
  EXPECT_EQ(CheckError(dir.File("file")), "");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"file", "folder"}));
}

}  // namespace
}  // namespace corvadex
