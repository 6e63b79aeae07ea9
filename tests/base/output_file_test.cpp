// SPDX-License-Identifier: Apache-2.0
#include "base/output_file.h"

#include <filesystem>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "file_io.h"
#include "base/temp_folder.h"

namespace corvadex {
namespace {

using testing::readFile;
using testing::writeFile;

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST(OutputFile, NothingAppearsUnderTheNameBeforeCommit) {
  TempFolder dir;
  const std::string target = dir.File("out.txt");
  OutputFile file(target);
  file.write("hello");
  EXPECT_FALSE(std::filesystem::exists(target));
  ASSERT_FALSE(file.temporaryPath().empty());
  EXPECT_EQ(std::filesystem::path(file.temporaryPath()).parent_path(), std::filesystem::path(dir.path()));
  file.commit();
  EXPECT_EQ(readFile(target), "hello");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.txt"});
}

TEST(OutputFile, AbandonedFileLeavesTargetAndFolderAsTheyWere) {
  TempFolder dir;
  const std::string target = dir.File("out.txt");
  writeFile(target, "earlier");
  {
    OutputFile file(target);
    file.write(std::string(1 << 20, 'x'));  // more than one buffer's worth
  }
  EXPECT_EQ(readFile(target), "earlier");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.txt"});
}

// A replaced file keeps its permission bits; a new one gets what the umask
// leaves of 0666, not the 0600 of a typical temporary file.
TEST(OutputFile, PermissionsAreTheEarlierFilesOrTheUsualOnes) {
  const struct {
    int earlier;  // -1: no file before
    mode_t umask, expected;
  } cases[] = {{0640, 022, 0640}, {0604, 077, 0604}, {-1, 022, 0644}, {-1, 027, 0640}};
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string target = dir.File("out.txt");
    if (c.earlier >= 0) {
      writeFile(target, "earlier");
      ASSERT_EQ(::chmod(target.c_str(), static_cast<mode_t>(c.earlier)), 0);
    }
    const mode_t old = ::umask(c.umask);
    {
      OutputFile file(target);
      file.write("new");
      file.commit();
    }
    ::umask(old);
    EXPECT_EQ(modeOf(target), c.expected) << c.earlier << " " << c.umask;
    EXPECT_EQ(readFile(target), "new");
  }
}

TEST(OutputFile, LinkIsWrittenThroughAndStays) {
  TempFolder dir;
  const std::string real = dir.File("real.txt"), link = dir.File("link.txt");
  writeFile(real, "earlier");
  std::filesystem::create_symlink("real.txt", link);
  OutputFile file(link);
  file.write("new");
  file.commit();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(real), "new");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST(OutputFile, BareFileNameGoesToTheCurrentFolder) {
  TempFolder dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  {
    OutputFile file("bare.txt");
    file.write("x");
    file.commit();
  }
  std::filesystem::current_path(previous);
  EXPECT_EQ(readFile(dir.File("bare.txt")), "x");
}

std::string checkError(const std::string& target) {
  try {
    OutputFile::checkTarget(target);
    return "";
  } catch (const std::runtime_error& e) {
    return e.what();
  }
}

TEST(OutputFile, CheckTargetForeseesTheConstructorsErrorsAndCreatesNothing) {
  TempFolder dir;
  std::filesystem::create_directory(dir.File("folder"));
  writeFile(dir.File("file"), "x");
  for (const std::string& target :
       {dir.File("folder"), dir.File("missing/out"), dir.File("file/out"), dir.File("folder/")}) {
    const std::string checked = checkError(target);
    EXPECT_NE(checked, "") << target;
    try {
      OutputFile file(target);
      ADD_FAILURE() << "created " << target;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(checked, e.what());
    }
  }
  EXPECT_EQ(checkError(dir.File("new.txt")), "");
  EXPECT_EQ(checkError(dir.File("file")), "");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"file", "folder"}));
}

// The pages of a database are written out of order; what Write buffered
// lands before a later writeAt, and Resize leaves zeros past the data.
TEST(OutputFile, WritesAtOffsetsAndResizes) {
  TempFolder dir;
  const std::string target = dir.File("pages");
  OutputFile file(target);
  file.writeAt(2, "XXXX");
  file.write("ab");
  file.writeAt(6, "yz");
  file.resize(10);
  file.commit();
  EXPECT_EQ(readFile(target), std::string("abXXXXyz\0\0", 10));
}

// A FIFO is written straight into: no temporary file beside it, and the
// reader gets every byte.
TEST(OutputFile, InPlaceWritesIntoAFifo) {
  TempFolder dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(OutputFile::writesInPlace(fifo));
  const std::string bytes(700 * 1024 + 3, 'q');  // more than one buffer's worth
  std::string received;
  std::thread reader([&] { received = readFile(fifo); });
  {
    OutputFile file = OutputFile::InPlace(fifo);
    EXPECT_EQ(file.temporaryPath(), "");
    file.write(bytes);
    file.write("end");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"fifo"});
    file.commit();
  }
  reader.join();
  EXPECT_EQ(received, bytes + "end");
}

// A descriptor the file does not own stays open after Commit.
TEST(OutputFile, DescriptorIsFlushedAndLeftOpen) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  {
    OutputFile out = OutputFile::ofDescriptor(ends[1], "pipe");
    out.write("hello ");
    out.commit();
  }
  EXPECT_EQ(::write(ends[1], "world", 5), 5);
  ::close(ends[1]);
  char buffer[32] = {};
  std::size_t got = 0;
  for (ssize_t n; (n = ::read(ends[0], buffer + got, sizeof buffer - 1 - got)) > 0;) got += static_cast<std::size_t>(n);
  ::close(ends[0]);
  EXPECT_STREQ(buffer, "hello world");
}

}  // namespace
}  // namespace corvadex
