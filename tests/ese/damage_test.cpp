// SPDX-License-Identifier: Apache-2.0
// Damaged databases: every truncation of each real sample at a page
// boundary, and seeded random byte changes, read in full through the
// engine's C++ interface and through the Jet calls. A reading must end
// with success or an error status (the sanitizer build catches any read out
// of range), and a reading that succeeds must have seen exactly what the
// intact file holds: the damage then only touched bytes the reader does not
// use. Anything else would be damage passed off as data.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "base/byte_view.h"
#include "ese/db_file.h"
#include "ese/page_checksum.h"
#include "file_io.h"
#include "read_everything.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese::testing {
namespace {

using corvadex::testing::eseSample;
using corvadex::testing::eseSampleNames;
using corvadex::testing::readFile;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

class SampleDamage : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const std::string generated = "generated_";
    if (GetParam().rfind(generated, 0) != 0) {
      source_ = eseSample(GetParam());
    } else {
      // A contacts database with other page sizes than the samples' 4 KiB,
      // written by the project's own writer.
      source_ = dir_.File("source.edb");
      const std::string command = "'" + std::string(CORVADEX_BIN_DIR) +
                                  "/make-contacts-db' --count 150 --page-size " +
                                  GetParam().substr(generated.size()) + " '" + source_ +
                                  "' > /dev/null";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    bytes_ = readFile(source_);
    ASSERT_FALSE(bytes_.empty()) << source_;
    FileHeader header;
    ASSERT_EQ(DbFile::readHeader(source_, header), JET_errSuccess);
    page_size_ = header.page_size;
    ASSERT_GT(page_size_, 0u);
    intact_ = readThroughDatabase(source_);
    ASSERT_EQ(intact_.status, JET_errSuccess);
    ASSERT_GT(intact_.rows, 0u);
    intact_jet_ = readThroughJet(jet_, source_);
    ASSERT_EQ(intact_jet_.status, JET_errSuccess);
    ASSERT_EQ(intact_jet_.rows, intact_.rows);
    const ReadOutcome enumerated = readThroughEnumeration(source_);
    ASSERT_EQ(enumerated.status, JET_errSuccess);
    ASSERT_EQ(enumerated.digest, intact_jet_.digest);
    ASSERT_EQ(enumerated.values, intact_jet_.values);
    copy_ = dir_.File(GetParam() + ".edb");
    writeFile(copy_, bytes_);
  }

  // Reads the damaged copy through the engine's C++ interface (what the
  // dump uses) or through the Jet calls, checks the outcome and tallies it.
  enum class Through { kDatabase, kJet };
  void readAndCheck(Through through, const std::string& what) {
    const bool jet = through == Through::kJet;
    const ReadOutcome got = jet ? readThroughJet(jet_, copy_) : readThroughDatabase(copy_);
    const ReadOutcome& intact = jet ? intact_jet_ : intact_;
    ++statuses_[got.status];
    const std::string where = what + (jet ? " (Jet calls)" : "");
    if (jet) {
      // The worker reading ahead, into a cache of a few pages, sees the
      // same damage the same way.
      const ReadOutcome ahead = readThroughJet(ahead_jet_, copy_);
      EXPECT_EQ(ahead.status, got.status) << where << " with the read-ahead thread";
      EXPECT_EQ(ahead.digest, got.digest) << where << " with the read-ahead thread";
      EXPECT_EQ(ahead.rows, got.rows) << where << " with the read-ahead thread";
      // A row's values in one call meet the same damage.
      const ReadOutcome enumerated = readThroughEnumeration(copy_);
      EXPECT_EQ(enumerated.status, got.status) << where << " by enumeration";
      EXPECT_EQ(enumerated.rows, got.rows) << where << " by enumeration";
      if (got.status == JET_errSuccess) {
        EXPECT_EQ(enumerated.digest, got.digest) << where << " by enumeration";
      }
    }
    if (got.status == JET_errSuccess) {
      EXPECT_EQ(got.digest, intact.digest) << where << ": read succeeded with different data";
      EXPECT_EQ(got.rows, intact.rows) << where;
    } else {
      EXPECT_LT(got.status, 0) << where << ": a warning is not a failure status";
    }
  }

  void printTally() const {
    std::string line = GetParam() + ":";
    for (const auto& [status, count] : statuses_) {
      line += " " + std::to_string(status) + "x" + std::to_string(count);
    }
    std::printf("%s\n", line.c_str());
  }

  std::string source_;
  std::string bytes_;
  std::uint32_t page_size_ = 0;
  EngineJet jet_;
  EngineJet ahead_jet_{EngineOptions{2, 0}};
  ReadOutcome intact_;
  ReadOutcome intact_jet_;
  TempFolder dir_;
  std::string copy_;
  std::map<JET_ERR, int> statuses_;
};

TEST_P(SampleDamage, EveryTruncationAtAPageBoundary) {
  // Shrinks the copy one page at a time, down to nothing.
  std::size_t size = bytes_.size() - bytes_.size() % page_size_;
  for (;; size -= page_size_) {
    ASSERT_EQ(::truncate(copy_.c_str(), static_cast<off_t>(size)), 0);
    readAndCheck(Through::kDatabase, "cut at " + std::to_string(size));
    readAndCheck(Through::kJet, "cut at " + std::to_string(size));
    if (size == 0) break;
  }
  // A file without its data pages, or without even a header, cannot read.
  EXPECT_GT(statuses_.size(), 1u);
  printTally();
}

TEST_P(SampleDamage, SeededRandomByteChanges) {
  // Most changes go into pages that hold something (a change to a blank page
  // tests little), some into the two header pages, some anywhere.
  std::vector<std::size_t> used_pages;
  for (std::size_t p = 0; p + page_size_ <= bytes_.size(); p += page_size_) {
    if (bytes_.find_first_not_of('\0', p) < p + page_size_) used_pages.push_back(p);
  }
  ASSERT_FALSE(used_pages.empty());

  std::seed_seq seed(GetParam().begin(), GetParam().end());
  std::mt19937 rng(seed);
  const int fd = ::open(copy_.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  // Every fourth change is read through the Jet calls as well.
  constexpr int kChanges = 500;
  for (int i = 0; i < kChanges; ++i) {
    std::size_t at = 0;
    switch (i % 10) {
      case 0: at = rng() % (2 * page_size_); break;
      case 1: at = rng() % bytes_.size(); break;
      default: {
        const std::size_t page = used_pages[rng() % used_pages.size()];
        at = page + rng() % page_size_;
        break;
      }
    }
    const char original = bytes_[at];
    const char changed = static_cast<char>(original ^ static_cast<char>(1 + rng() % 255));
    ASSERT_EQ(::pwrite(fd, &changed, 1, static_cast<off_t>(at)), 1);
    const std::string what = "byte " + std::to_string(at) + " changed";
    readAndCheck(Through::kDatabase, what);
    if (i % 4 == 0) readAndCheck(Through::kJet, what);
    ASSERT_EQ(::pwrite(fd, &original, 1, static_cast<off_t>(at)), 1);
    if (HasFailure()) break;
  }
  ::close(fd);
  printTally();
}

// Changes that the page checksums cannot catch: after each change the page
// is given a valid checksum again, so that the damage reaches the page,
// B+-tree, catalog, record, long-value and decompression parsers. A reading
// may then succeed with other data, but must never end by a crash, a hang or
// a warning passed off as a result.
TEST_P(SampleDamage, SeededChangesBehindValidChecksums) {
  std::vector<std::size_t> data_pages;  // file offsets of written data pages
  for (std::size_t p = 2 * page_size_; p + page_size_ <= bytes_.size(); p += page_size_) {
    if (bytes_.find_first_not_of('\0', p) < p + page_size_) data_pages.push_back(p);
  }
  ASSERT_FALSE(data_pages.empty());
  std::mt19937 rng(0x5eed0000u + static_cast<std::uint32_t>(GetParam().size()));
  const int fd = ::open(copy_.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  int resigned = 0;
  constexpr int kChanges = 400;
  for (int i = 0; i < kChanges; ++i) {
    const std::size_t page_at = data_pages[rng() % data_pages.size()];
    std::string page = bytes_.substr(page_at, page_size_);
    // One to three bytes past the checksum word; page header fields are hit
    // often since the first 40 bytes are chosen a quarter of the time.
    const int count = 1 + static_cast<int>(rng() % 3);
    for (int k = 0; k < count; ++k) {
      const std::size_t at = (rng() % 4 == 0) ? 8 + rng() % 32 : 8 + rng() % (page_size_ - 8);
      page[at] = static_cast<char>(page[at] ^ static_cast<char>(1 + rng() % 255));
    }
    const auto pgno = static_cast<std::uint32_t>(page_at / page_size_ - 1);
    const Bytes view(reinterpret_cast<const std::byte*>(page.data()), page.size());
    std::uint32_t flags = 0;
    ASSERT_TRUE(ByteView(view).U32(36, flags));
    const bool new_format = page_size_ > 8192 || (flags & 0x2000) != 0;
    // Large pages carry one checksum per quarter: the later quarters' at
    // header offsets 40, 48 and 56 (inside the first quarter, so those go
    // first), the first quarter's at offset 0.
    const std::size_t blocks = page_size_ > 8192 ? 4 : 1;
    const std::size_t block = page_size_ / blocks;
    auto put = [&](std::size_t at, std::uint64_t sum, int bytes) {
      for (int b = 0; b < bytes; ++b) page[at + b] = static_cast<char>(sum >> (8 * b));
    };
    for (std::size_t k = blocks - 1; k >= 1; --k) {
      put(40 + 8 * (k - 1), eccChecksum(view.subspan(k * block, block), pgno, false), 8);
    }
    if (new_format) {
      put(0, eccChecksum(view.subspan(0, block), pgno, true), 8);
    } else {
      put(0, xorChecksum(view), 4);
    }
    if (verifyPageChecksum(view, pgno, new_format)) ++resigned;
    ASSERT_EQ(::pwrite(fd, page.data(), page.size(), static_cast<off_t>(page_at)),
              static_cast<ssize_t>(page.size()));
    const std::string what = "page " + std::to_string(pgno) + " change " + std::to_string(i);
    for (const bool jet : {false, true}) {
      if (jet && i % 4 != 0) continue;
      const ReadOutcome got = jet ? readThroughJet(jet_, copy_) : readThroughDatabase(copy_);
      ++statuses_[got.status];
      EXPECT_LE(got.status, 0) << what << (jet ? " (Jet calls)" : "") << ": a warning is not a result";
    }
    ASSERT_EQ(::pwrite(fd, bytes_.data() + page_at, page_size_, static_cast<off_t>(page_at)),
              static_cast<ssize_t>(page_size_));
    if (HasFailure()) break;
  }
  ::close(fd);
  // The point of this test is lost if the pages were not accepted.
  EXPECT_GT(resigned, kChanges * 9 / 10);
  printTally();
}

// The command line's dump on damaged copies: it must end with status 0 (and
// the intact file's output) or 1 (a database error), never by a signal. A
// copy cut short at a page whose error names a column has written the
// intact output's start, up to that column.
TEST_P(SampleDamage, DumpCommandOnDamagedCopies) {
  const std::string cli = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli";
  const std::string errors = dir_.File("errors.txt");
  auto run = [&](const std::string& path, std::string& out) {
    out.clear();
    const std::string command = "'" + cli + "' dump '" + path + "' 2>'" + errors + "'";
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
    writeFile(copy_, damaged);
    std::string out;
    const int status = run(copy_, out);
    ASSERT_TRUE(WIFEXITED(status)) << "case " << i << ": the dump ended by a signal";
    const int code = WEXITSTATUS(status);
    EXPECT_TRUE(code == 0 || code == 1) << "case " << i << ": exit status " << code;
    if (code == 0) {
      EXPECT_EQ(out, intact) << "case " << i;
    } else if (i % 3 == 0) {
      const std::string error = readFile(errors);
      const std::size_t named = error.find(" column ");
      if (named != std::string::npos && error.find(": error ") > named) {
        EXPECT_EQ(intact.compare(0, out.size(), out), 0) << "case " << i << ": not the start";
        const std::string column = error.substr(named + 8, error.find(": error ") - named - 8);
        const std::size_t key = out.rfind("\"" + column + "\": ");
        EXPECT_TRUE(key != std::string::npos && key > out.rfind('{')) << "case " << i << "\n"
                                                                      << error;
      }
    }
  }
}

std::string sampleName(const ::testing::TestParamInfo<std::string>& sample) {
  return sample.param;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleDamage, ::testing::ValuesIn(eseSampleNames()), sampleName);
INSTANTIATE_TEST_SUITE_P(Generated, SampleDamage,
                         ::testing::Values("generated_8192", "generated_16384", "generated_32768"),
                         sampleName);

}  // namespace
}  // namespace ese::testing
