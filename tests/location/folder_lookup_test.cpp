// SPDX-License-Identifier: Apache-2.0
#include "location/folder_lookup.h"

#include <gtest/gtest.h>

#include <map>
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


// A 64-bit Windows with its two program files folders, each holding a
// wlmail.exe of the given major version (0: none there, -1: one without a
// version resource).
class TwoProgramFolders final : public platform::WindowsView {
 public:
  TwoProgramFolders(int windowsMajor, int in64, int in32) : major_(windowsMajor) {
    place("C:\\Program Files", in64);
    place("C:\\Program Files (x86)", in32);
  }
  int windowsMajorVersion() const override { return major_; }
  std::optional<std::string> knownFolderPath(const platform::KNOWNFOLDERID& id) const override {
    if (id == platform::FOLDERID_ProgramFiles) return "C:\\Program Files";
    if (id == platform::FOLDERID_ProgramFilesX86) return "C:\\Program Files (x86)";
    return std::nullopt;
  }
  std::optional<std::string> specialFolderPath(int csidl) const override {
    if (csidl == platform::CSIDL_PROGRAM_FILES) return "C:\\Program Files";
    if (csidl == platform::CSIDL_PROGRAM_FILESX86) return "C:\\Program Files (x86)";
    return std::nullopt;
  }
  std::optional<platform::RegistryValue> currentUserValue(std::string_view,
                                                          std::string_view) const override {
    return std::nullopt;
  }
  std::optional<platform::VS_FIXEDFILEINFO> fileVersion(const std::string& path) const override {
    auto file = files_.find(path);
    if (file == files_.end() || file->second < 0) return std::nullopt;
    platform::VS_FIXEDFILEINFO info{};
    info.dwSignature = platform::kFixedFileInfoSignature;
    info.dwFileVersionMS = static_cast<std::uint32_t>(file->second) << 16 | 4;
    return info;
  }
  bool fileExists(const std::string& path) const override { return files_.contains(path); }

 private:
  void place(const std::string& folder, int version) {
    if (version != 0) files_[folder + "\\Windows Live\\Mail\\wlmail.exe"] = version;
  }
  int major_;
  std::map<std::string, int> files_;
};

TEST(FolderLookup, TheMailClientInEitherProgramFilesFolder) {
  struct Case {
    const char* name;
    int windowsMajor, in64, in32;
    const char* version;
  };
  const Case cases[] = {
      {"64-bit folder", 10, 16, 0, "16"},
      {"32-bit folder", 10, 0, 15, "15"},
      {"both: the 64-bit folder first", 6, 16, 14, "16"},
      {"no version in the first, the second counts", 10, -1, 15, "15"},
      {"neither", 10, 0, 0, ""},
      {"neither has a version", 10, -1, -1, ""},
      {"XP answers by number", 5, 0, 14, "14"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetMailClientVersion(TwoProgramFolders(c.windowsMajor, c.in64, c.in32)), c.version);
  }
}

}  // namespace
}  // namespace corvadex
