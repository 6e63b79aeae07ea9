// SPDX-License-Identifier: Apache-2.0
#include "test_paths.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace corvadex::testing {

namespace {

std::string existing(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw std::runtime_error("test input file missing: " + path);
  return path;
}

}  // namespace

std::string dataFile(const std::string& relative) {
  const char* folder = std::getenv("CORVADEX_TEST_DATA");
  const std::string base = folder != nullptr && *folder != '\0' ? folder : CORVADEX_TEST_DATA_DIR;
  return existing(base + "/" + relative);
}

std::string eseSample(const std::string& name) { return dataFile("ese/" + name + ".edb"); }

std::string eseSampleDump(const std::string& name) {
  return dataFile("ese/" + name + ".dump.json");
}

const std::vector<std::string>& eseSampleNames() {
  static const std::vector<std::string> names = {"basic", "binary", "default",
                                                 "index", "multi",  "text"};
  return names;
}

std::string sampleFile(const std::string& name) {
  return existing(std::string(CORVADEX_SAMPLES_DIR) + "/" + name);
}

}  // namespace corvadex::testing
