// Test support: the six real sample databases and small file helpers.
#pragma once

#include <string>
#include <vector>

namespace ese::testing {

// The names of the samples in the shared test data, without ".edb".
inline const std::vector<std::string>& SampleNames() {
  static const std::vector<std::string> names = {"basic", "binary", "default",
                                                 "index", "multi",  "text"};
  return names;
}

inline std::string SamplePath(const std::string& name) {
  return std::string(CORVADEX_SHARED_DIR) + "/testdata/ese/" + name + ".edb";
}

// The whole file, or an empty string when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Replaces `path` with `bytes`; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace ese::testing
