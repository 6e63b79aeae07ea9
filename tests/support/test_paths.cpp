// SPDX-License-Identifier: Apache-2.0
#include "test_paths.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace corvadex::testing {

namespace {

std::string Existing(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw std::runtime_error("test input file missing: " + path);
  return path;
}

}  // namespace

std::string DataFile(const std::string& relative) {
  const char* folder = std::getenv("CORVADEX_TEST_DATA");
  const std::string base = folder != nullptr && *folder != '\0' ? folder : CORVADEX_TEST_DATA_DIR;
  return Existing(base + "/" + relative);
}

std::string EseSample(const std::string& name) { return DataFile("ese/" + name + ".edb"); }

std::string EseSampleDump(const std::string& name) {
  return DataFile("ese/" + name + ".dump.json");
}

const std::vector<std::string>& EseSampleNames() {
  static const std::vector<std::string> names = {"basic", "binary", "default",
                                                 "index", "multi",  "text"};
  return names;
}

std::string SampleFile(const std::string& name) {
  return Existing(std::string(CORVADEX_SAMPLES_DIR) + "/" + name);
}

}  // namespace corvadex::testing
