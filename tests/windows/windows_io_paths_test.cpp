// SPDX-License-Identifier: Apache-2.0
// The Windows build's own fast paths: a run of pages read with one call
// (into buffers that follow each other in memory, or scattered ones), and
// the memcpy that stands in for the C runtime's.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "base/temp_folder.h"
#include "ese/file_reader.h"
#include "file_io.h"

namespace corvadex {
namespace {

std::string numberedBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
  return bytes;
}

TEST(WindowsReadRun, FillsEachBufferWithItsPartOfTheFile) {
  TempFolder dir;
  const std::string path = dir.File("pages.edb");
  const std::string file = numberedBytes(10 * 1000 + 300);
  testing::writeFile(path, file);
  ese::ReadOnlyFile reader;
  ASSERT_EQ(reader.open(path).code, ese::JET_errSuccess);
  struct Case {
    const char* what;
    bool adjacent;
    std::size_t count;
    std::uint64_t offset;
    std::int64_t expected;  // the bytes read
  };
  const Case cases[] = {
      {"adjacent buffers", true, 4, 1000, 4000},
      {"scattered buffers", false, 4, 1000, 4000},
      {"adjacent, short at the end", true, 4, 8000, 2300},
      {"scattered, short at the end", false, 4, 8000, 2300},
      {"scattered, past the end", false, 2, 20000, 0},
      {"one buffer", false, 1, 0, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Scattered buffers lie in reverse order with gaps, so that a copy to
    // the wrong one shows.
    std::vector<std::byte> memory(c.count * 1100, std::byte{0xee});
    std::vector<ese::ReadBuffer> buffers(c.count);
    for (std::size_t i = 0; i < c.count; ++i) {
      const std::size_t at = c.adjacent ? i * 1000 : (c.count - 1 - i) * 1100 + 50;
      buffers[i] = ese::ReadBuffer{memory.data() + at, 1000};
    }
    ASSERT_EQ(reader.read(buffers.data(), c.count, c.offset), c.expected);
    for (std::size_t i = 0; i < c.count; ++i) {
      const std::size_t start = c.offset + i * 1000;
      const std::size_t have = start >= file.size() ? 0 : std::min<std::size_t>(1000, file.size() - start);
      const std::string got(reinterpret_cast<const char*>(buffers[i].data), have);
      EXPECT_EQ(got, file.substr(std::min(start, file.size()), have)) << "buffer " << i;
    }
    if (!c.adjacent) {
      // The gaps between scattered buffers stay untouched.
      EXPECT_EQ(memory[0], std::byte{0xee});
      EXPECT_EQ(memory[49], std::byte{0xee});
    }
  }
}

TEST(WindowsMemoryCopy, CopiesEverySizeAtEveryAlignmentAndNothingElse) {
  // Through a pointer the compiler cannot see through, so that the program's
  // memcpy runs rather than code inlined in its place.
  void* (*volatile copy)(void*, const void*, std::size_t) = &std::memcpy;
  const std::string source = numberedBytes(620);
  for (std::size_t size = 0; size <= 600; ++size) {
    for (std::size_t from = 0; from < 8; ++from) {
      for (std::size_t to = 0; to < 8; ++to) {
        std::string target(620, '\x5a');
        void* const result = copy(target.data() + to, source.data() + from, size);
        ASSERT_EQ(result, target.data() + to);
        std::string expected(620, '\x5a');
        expected.replace(to, size, source, from, size);
        ASSERT_EQ(target, expected) << size << " bytes from " << from << " to " << to;
      }
    }
  }
}

}  // namespace
}  // namespace corvadex
