// Damaged databases: every truncation of each real sample at a page
// boundary, and seeded random byte changes, read in full. A reading must end
// with success or an error status (the sanitizer build catches any read out
// of range), and a reading that succeeds must have seen exactly what the
// intact file holds: the damage then only touched bytes the reader does not
// use. Anything else would be damage passed off as data.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "ese/db_file.h"
#include "read_everything.h"
#include "sample_files.h"
#include "temp_dir.h"

namespace ese::testing {
namespace {

class SampleDamage : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    source_ = SamplePath(GetParam());
    bytes_ = ReadWholeFile(source_);
    ASSERT_FALSE(bytes_.empty()) << source_;
    FileHeader header;
    ASSERT_EQ(DbFile::ReadHeader(source_, header), JET_errSuccess);
    page_size_ = header.page_size;
    ASSERT_GT(page_size_, 0u);
    intact_ = ReadThroughDatabase(source_);
    ASSERT_EQ(intact_.status, JET_errSuccess);
    ASSERT_GT(intact_.rows, 0u);
    ASSERT_TRUE(dir_.ok());
    copy_ = dir_.File(GetParam() + ".edb");
    ASSERT_TRUE(WriteWholeFile(copy_, bytes_));
  }

  // Reads the damaged copy and checks the outcome; tallies it by status.
  void ReadAndCheck(const std::string& what) {
    const ReadOutcome got = ReadThroughDatabase(copy_);
    ++statuses_[got.status];
    if (got.status == JET_errSuccess) {
      EXPECT_EQ(got.digest, intact_.digest) << what << ": read succeeded with different data";
      EXPECT_EQ(got.rows, intact_.rows) << what;
    } else {
      EXPECT_LT(got.status, 0) << what << ": a warning is not a failure status";
    }
  }

  void PrintTally() const {
    std::string line = GetParam() + ":";
    for (const auto& [status, count] : statuses_) {
      line += " " + std::to_string(status) + "x" + std::to_string(count);
    }
    std::printf("%s\n", line.c_str());
  }

  std::string source_;
  std::string bytes_;
  std::uint32_t page_size_ = 0;
  ReadOutcome intact_;
  TempDir dir_;
  std::string copy_;
  std::map<JET_ERR, int> statuses_;
};

TEST_P(SampleDamage, EveryTruncationAtAPageBoundary) {
  // Shrinks the copy one page at a time, down to nothing.
  std::size_t size = bytes_.size() - bytes_.size() % page_size_;
  for (;; size -= page_size_) {
    ASSERT_EQ(::truncate(copy_.c_str(), static_cast<off_t>(size)), 0);
    ReadAndCheck("cut at " + std::to_string(size));
    if (size == 0) break;
  }
  // A file without its data pages, or without even a header, cannot read.
  EXPECT_GT(statuses_.size(), 1u);
  PrintTally();
}

TEST_P(SampleDamage, SeededRandomByteChanges) {
  // Most changes go into pages that hold something (a change to a blank page
  // tests little), some into the two header pages, some anywhere.
  std::vector<std::size_t> used_pages;
  for (std::size_t p = 0; p + page_size_ <= bytes_.size(); p += page_size_) {
    if (bytes_.find_first_not_of('\0', p) < p + page_size_) used_pages.push_back(p);
  }
  ASSERT_FALSE(used_pages.empty());

  std::mt19937 rng(static_cast<std::uint32_t>(std::hash<std::string>{}(GetParam()) & 0xffffffff));
  const int fd = ::open(copy_.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  constexpr int kChanges = 500;
  for (int i = 0; i < kChanges; ++i) {
    std::size_t at = 0;
    switch (i % 10) {
      case 0: at = rng() % (2 * page_size_); break;
      case 1: at = rng() % bytes_.size(); break;
      default: at = used_pages[rng() % used_pages.size()] + rng() % page_size_; break;
    }
    const char original = bytes_[at];
    const char changed = static_cast<char>(original ^ static_cast<char>(1 + rng() % 255));
    ASSERT_EQ(::pwrite(fd, &changed, 1, static_cast<off_t>(at)), 1);
    ReadAndCheck("byte " + std::to_string(at) + " changed");
    ASSERT_EQ(::pwrite(fd, &original, 1, static_cast<off_t>(at)), 1);
    if (HasFailure()) break;
  }
  ::close(fd);
  PrintTally();
}

// The command line's dump on damaged copies: it must end with status 0 (and
// the intact file's output) or 1 (a database error), never by a signal.
TEST_P(SampleDamage, DumpCommandOnDamagedCopies) {
  const std::string cli = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli";
  auto run = [&](const std::string& path, std::string& out) {
    out.clear();
    const std::string command = "'" + cli + "' dump '" + path + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return ::pclose(pipe);
  };
  std::string intact;
  ASSERT_EQ(run(source_, intact), 0);
  ASSERT_FALSE(intact.empty());

  std::mt19937 rng(99);
  for (int i = 0; i < 12; ++i) {
    std::string damaged = bytes_;
    if (i % 3 == 0) {
      damaged.resize(page_size_ * (rng() % (bytes_.size() / page_size_)));
    } else {
      const std::size_t at = rng() % damaged.size();
      damaged[at] = static_cast<char>(damaged[at] ^ static_cast<char>(1 + rng() % 255));
    }
    ASSERT_TRUE(WriteWholeFile(copy_, damaged));
    std::string out;
    const int status = run(copy_, out);
    ASSERT_TRUE(WIFEXITED(status)) << "case " << i << ": the dump ended by a signal";
    const int code = WEXITSTATUS(status);
    EXPECT_TRUE(code == 0 || code == 1) << "case " << i << ": exit status " << code;
    if (code == 0) {
      EXPECT_EQ(out, intact) << "case " << i;
    }
  }
}

std::string SampleName(const ::testing::TestParamInfo<std::string>& sample) {
  return sample.param;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleDamage, ::testing::ValuesIn(SampleNames()), SampleName);

}  // namespace
}  // namespace ese::testing
