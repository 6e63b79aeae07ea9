// SPDX-License-Identifier: Apache-2.0
#include "location/folder_lookup.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace corvadex {
namespace {

// A Windows whose known-folder service breaks down.
class BrokenShell final : public platform::WindowsView {
 public:
  int windowsMajorVersion() const override { return 6; }
  std::optional<std::string> knownFolderPath(const platform::KNOWNFOLDERID&) const override {
    throw std::runtime_error("shell broke down");
  }
  std::optional<std::string> specialFolderPath(int) const override { return "C:\\Numbered"; }
  std::optional<platform::RegistryValue> currentUserValue(std::string_view,
                                                          std::string_view) const override {
    return std::nullopt;
  }
  std::optional<platform::VS_FIXEDFILEINFO> fileVersion(const std::string&) const override {
    return std::nullopt;
  }
  bool fileExists(const std::string&) const override { return true; }
};

TEST(FolderLookup, AKnownFolderLookupThatBreaksDownGivesEmptyText) {
  const BrokenShell windows;
  EXPECT_EQ(GetKnownFolderPath(windows, platform::FOLDERID_Profile), "");
  EXPECT_EQ(GetSpecialFolderPath(windows, platform::CSIDL_PROFILE), "C:\\Numbered");
  // The executable "exists" but has no version: the probe gives empty text.
  EXPECT_EQ(GetMailClientVersion(windows), "");
}

}  // namespace
}  // namespace corvadex
