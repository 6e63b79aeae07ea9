// SPDX-License-Identifier: Apache-2.0
#include "base/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace corvadex {

namespace fs = std::filesystem;

namespace {

// The path as the file system library takes it: UTF-8 on every system.
fs::path pathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

// A new folder with a random part in its name; making it fails when the
// name is taken, so another program's folder is never shared.
TempFolder::TempFolder(const std::string& stem) {
  const fs::path base = fs::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = stem + "-";
    for (int i = 0; i < 6; ++i) name.push_back(kDigits[random() % 36]);
    std::error_code error;
    if (fs::create_directory(base / name, error)) {
      fs::permissions(base / name, fs::perms::owner_all, fs::perm_options::replace, error);
      path_ = utf8Of(base / name);
      return;
    }
    if (error) break;
  }
  throw std::runtime_error("cannot make a temporary folder in " + base.string());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // A test may have taken write permission away from the folder or from
  // folders in it; give it back so that everything can go.
  fs::permissions(pathOf(path_), fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(pathOf(path_), ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(pathOf(path_), ignored);
}

std::vector<std::string> TempFolder::entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(pathOf(path_)))
    names.push_back(utf8Of(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace corvadex
