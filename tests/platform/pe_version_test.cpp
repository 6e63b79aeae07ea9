// SPDX-License-Identifier: Apache-2.0
#include "platform/pe_version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "file_io.h"
#include "platform/mingw_pe.h"
#include "base/temp_folder.h"

namespace corvadex::platform {
namespace {

using corvadex::testing::MingwPe;
using corvadex::testing::PeArch;

std::vector<std::byte> readAll(const std::filesystem::path& path) {
  const std::string chars = corvadex::testing::readFile(path.string());
  std::vector<std::byte> bytes(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) bytes[i] = static_cast<std::byte>(chars[i]);
  return bytes;
}

// Executables made once for the whole suite by the real toolchain.
class PeVersionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skipReason_ = MingwPe::missingTools();
    if (!skipReason_.empty()) return;
    dir_ = std::make_unique<corvadex::TempFolder>();
    const corvadex::testing::PeResources versioned{"15,4,3508,205", "16,2,1,0", false};
    built_ = MingwPe::build(dir() / "work", dir() / "v32.exe", PeArch::X86, versioned) &&
             MingwPe::build(dir() / "work", dir() / "v64.exe", PeArch::X64, versioned) &&
             MingwPe::build(dir() / "work", dir() / "plain32.exe", PeArch::X86, {}) &&
             MingwPe::build(dir() / "work", dir() / "data64.exe", PeArch::X64,
                            {"", "", true});
  }
  static void TearDownTestSuite() { dir_.reset(); }
  void SetUp() override {
    if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    ASSERT_TRUE(built_) << "the MinGW-w64 tools failed to build the test executables";
  }

  static inline std::string skipReason_;
  // The suite's folder, there once the tools were found.
  static std::filesystem::path dir() { return dir_->path(); }

  static inline std::unique_ptr<corvadex::TempFolder> dir_;
  static inline bool built_ = false;
};

void expectTheTestVersion(const std::optional<VS_FIXEDFILEINFO>& info) {
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->dwSignature, kFixedFileInfoSignature);
  EXPECT_EQ(info->dwFileVersionMS, (15u << 16) | 4u);
  EXPECT_EQ(info->dwFileVersionLS, (3508u << 16) | 205u);
  EXPECT_EQ(info->dwProductVersionMS, (16u << 16) | 2u);
  EXPECT_EQ(info->dwProductVersionLS, (1u << 16) | 0u);
  EXPECT_EQ(info->dwFileOS, 0x40004u);
  EXPECT_EQ(info->dwFileType, 1u);
}

TEST_F(PeVersionTest, ReadsFileAndProductVersionOf32And64BitImages) {
  expectTheTestVersion(readFixedFileInfoFromFile((dir() / "v32.exe").string()));
  expectTheTestVersion(readFixedFileInfoFromFile((dir() / "v64.exe").string()));
}

TEST_F(PeVersionTest, ImagesWithoutAVersionResourceGiveNone) {
  EXPECT_EQ(readFixedFileInfoFromFile((dir() / "plain32.exe").string()), std::nullopt);
  EXPECT_EQ(readFixedFileInfoFromFile((dir() / "data64.exe").string()), std::nullopt);
}

TEST_F(PeVersionTest, MissingAndNonImageFilesGiveNone) {
  EXPECT_EQ(readFixedFileInfoFromFile((dir() / "missing.exe").string()), std::nullopt);
  EXPECT_EQ(readFixedFileInfoFromFile(dir().string()), std::nullopt);  // a folder
  std::ofstream(dir() / "text.exe") << "MZ but nothing else of an executable";
  EXPECT_EQ(readFixedFileInfoFromFile((dir() / "text.exe").string()), std::nullopt);
  std::ofstream(dir() / "empty.exe").close();
  EXPECT_EQ(readFixedFileInfoFromFile((dir() / "empty.exe").string()), std::nullopt);
}

TEST_F(PeVersionTest, TruncatedImagesGiveNoneOrTheWholeAnswer) {
  for (const char* name : {"v32.exe", "v64.exe"}) {
    const auto whole = readAll(dir() / name);
    const auto full = readFixedFileInfo(whole);
    ASSERT_TRUE(full.has_value()) << name;
    std::size_t firstComplete = whole.size();
    for (std::size_t size = 0; size < whole.size(); ++size) {
      // A copy of exactly `size` bytes, so that a read past it is caught.
      const std::vector<std::byte> cut(whole.begin(), whole.begin() + static_cast<long>(size));
      const auto info = readFixedFileInfo(cut);
      if (info) {
        EXPECT_EQ(info->dwFileVersionMS, full->dwFileVersionMS) << name << " cut at " << size;
        firstComplete = std::min(firstComplete, size);
      }
    }
    // The version block sits in the last section: cutting into it loses it.
    EXPECT_GT(firstComplete, whole.size() / 2) << name;
  }
}

TEST_F(PeVersionTest, CorruptedImagesNeverReadOutOfBounds) {
  // Every byte in turn set to values that make lengths, offsets and counts
  // absurd; the reader must answer none or a well-formed block.
  for (const char* name : {"v32.exe", "v64.exe"}) {
    const auto whole = readAll(dir() / name);
    std::size_t stillFound = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
      for (int value : {0x00, 0x7f, 0x80, 0xff}) {
        auto damaged = whole;
        damaged[at] = static_cast<std::byte>(value);
        if (damaged[at] == whole[at]) continue;
        const auto info = readFixedFileInfo(damaged);
        if (info) {
          EXPECT_EQ(info->dwSignature, kFixedFileInfoSignature);
          ++stillFound;
        }
      }
    }
    // Most bytes of a small image (padding, code) do not matter to the walk.
    EXPECT_GT(stillFound, 0u) << name;
  }
  // Damage to the signature alone is enough to refuse the block.
  auto whole = readAll(dir() / "v32.exe");
  for (std::size_t at = 0; at + 4 <= whole.size(); ++at) {
    if (whole[at] == std::byte{0xBD} && whole[at + 1] == std::byte{0x04} &&
        whole[at + 2] == std::byte{0xEF} && whole[at + 3] == std::byte{0xFE}) {
      whole[at] = std::byte{0xBC};
    }
  }
  EXPECT_EQ(readFixedFileInfo(whole), std::nullopt);
}

}  // namespace
}  // namespace corvadex::platform
