// SPDX-License-Identifier: Apache-2.0
// compare-ese-dump EXPECTED ACTUAL: compares two dumps of an ESE database
// (see dump_compare.h), prints the first differences and their count.
// Exit status 0 when they agree, 1 when they differ, 2 when a dump cannot
// be read or the arguments are wrong.
#include <cstdio>
#include <exception>

#include "dump_compare.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: compare-ese-dump EXPECTED ACTUAL\n");
    return 2;
  }
  try {
    const auto differences = corvadex::testing::compareDumps(corvadex::testing::readDump(argv[1]),
                                                              corvadex::testing::readDump(argv[2]));
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < differences.size() && i < kShown; ++i)
      std::printf("%s\n", differences[i].c_str());
    if (differences.size() > kShown) std::printf("... %zu more\n", differences.size() - kShown);
    std::printf("%zu differences\n", differences.size());
    return differences.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compare-ese-dump: %s\n", e.what());
    return 2;
  }
}
