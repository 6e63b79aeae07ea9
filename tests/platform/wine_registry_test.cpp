// SPDX-License-Identifier: Apache-2.0
#include "platform/wine_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace corvadex::platform {
namespace {

std::string textOf(const WineRegistryFile& file, std::string_view key, std::string_view name) {
  auto value = file.find(key, name);
  if (!value) return "<missing>";
  return registryText(*value).value_or("<not text>");
}

std::vector<std::byte> bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

constexpr std::string_view kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-1-2-3-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] "
    "1700000000\n"
    "#time=1da2b3c4d5e6f70\n"
    "\"Local AppData\"=\"C:\\\\users\\\\bob\\\\AppData\\\\Local\"\n"
    "\"Quoted \\\"name\\\"\"=\"line\\nbreak\\ttab\"\n"
    "\"Accents\"=\"caf\\x00e9 na\xc3\xafve\"\n"
    "\"Octal\"=\"a\\101\"\n"
    "@=\"the default\"\n"
    "\n"
    "[Software\\\\Test]\n"
    "\"Expand\"=str(2):\"%USERPROFILE%\\\\x\"\n"
    "\"Number\"=dword:0000002a\n"
    "\"Blob\"=hex:01,02,03,\\\n"
    "  04,ff\n"
    "\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\n"
    "\"Typed text\"=hex(1):68,00,00,00,69,00,00,00\n"
    "\"Empty\"=hex:\n"
    "\"Broken\"=\"never closed\n"
    "\"Bad dword\"=dword:xyz\n"
    "\"After broken\"=\"still read\"\n";

TEST(WineRegistryFile, ReadsTextValuesWithTheirEscapes) {
  const auto file = WineRegistryFile::parse(std::string(kUserReg));
  const char* shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  EXPECT_EQ(textOf(file, shell, "Local AppData"), "C:\\users\\bob\\AppData\\Local");
  EXPECT_EQ(textOf(file, shell, "Quoted \"name\""), "line\nbreak\ttab");
  EXPECT_EQ(textOf(file, shell, "Accents"), "caf\xc3\xa9 na\xc3\xafve");
  EXPECT_EQ(textOf(file, shell, "Octal"), "aA");
  EXPECT_EQ(textOf(file, shell, ""), "the default");
  // Text values are kept as Windows keeps them: UTF-16LE with a final NUL.
  EXPECT_EQ(file.find(shell, "Octal")->data, bytes({'a', 0, 'A', 0, 0, 0}));
  EXPECT_EQ(file.find(shell, "Octal")->type, REG_SZ);
}

TEST(WineRegistryFile, KeysAndValueNamesIgnoreLetterCase) {
  const auto file = WineRegistryFile::parse(std::string(kUserReg));
  EXPECT_TRUE(file.hasKey("SOFTWARE\\test"));
  EXPECT_EQ(textOf(file, "software\\MICROSOFT\\windows\\currentversion\\explorer\\shell folders",
                   "LOCAL APPDATA"),
            "C:\\users\\bob\\AppData\\Local");
  EXPECT_FALSE(file.hasKey("Software"));  // parents are not keys of their own here
  EXPECT_EQ(file.find("Software\\Test", "Missing"), std::nullopt);
  EXPECT_EQ(file.find("Software\\Missing", "Number"), std::nullopt);
}

TEST(WineRegistryFile, TellsTypesApartAndKeepsTheirBytes) {
  const auto file = WineRegistryFile::parse(std::string(kUserReg));
  const auto expand = file.find("Software\\Test", "Expand");
  ASSERT_TRUE(expand.has_value());
  EXPECT_EQ(expand->type, REG_EXPAND_SZ);
  EXPECT_EQ(registryText(*expand), "%USERPROFILE%\\x");  // not expanded

  const auto number = file.find("Software\\Test", "Number");
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->type, REG_DWORD);
  EXPECT_EQ(number->data, bytes({0x2a, 0, 0, 0}));
  EXPECT_EQ(registryDword(*number), 42u);
  EXPECT_EQ(registryText(*number), std::nullopt);

  const auto blob = file.find("Software\\Test", "Blob");
  ASSERT_TRUE(blob.has_value());
  EXPECT_EQ(blob->type, REG_BINARY);
  EXPECT_EQ(blob->data, bytes({1, 2, 3, 4, 0xff}));  // across the continuation line

  const auto multi = file.find("Software\\Test", "Multi");
  ASSERT_TRUE(multi.has_value());
  EXPECT_EQ(multi->type, REG_MULTI_SZ);
  EXPECT_EQ(registryText(*multi), std::nullopt);

  // REG_SZ given as bytes: its text ends at the first NUL.
  const auto typed = file.find("Software\\Test", "Typed text");
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->type, REG_SZ);
  EXPECT_EQ(registryText(*typed), "h");

  const auto empty = file.find("Software\\Test", "Empty");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->data.empty());
}

TEST(WineRegistryFile, SkipsDamagedLinesAndReadsOn) {
  const auto file = WineRegistryFile::parse(std::string(kUserReg));
  EXPECT_EQ(file.find("Software\\Test", "Broken"), std::nullopt);
  EXPECT_EQ(file.find("Software\\Test", "Bad dword"), std::nullopt);
  EXPECT_EQ(textOf(file, "Software\\Test", "After broken"), "still read");

  // Values before any key, and garbage lines, belong nowhere.
  const auto odd = WineRegistryFile::parse("\"Orphan\"=\"x\"\n[Key]\nnonsense\n\"A\"=\"b\"\n[Unclosed\n\"C\"=\"d\"\n");
  EXPECT_EQ(textOf(odd, "Key", "A"), "b");
  EXPECT_EQ(odd.find("Key", "Orphan"), std::nullopt);
  EXPECT_EQ(odd.find("Key", "C"), std::nullopt);
}

TEST(WineRegistryFile, KeyNamesWithEscapesAndOtherScripts) {
  const auto file = WineRegistryFile::parse(
      "[Software\\\\Caf\\x00e9\\\\Na\xc3\xafve]\n\"A\"=\"1\"\n"
      "[Software\\\\With \\\"quote\\\" and \\] bracket]\n\"B\"=\"2\"\n");
  EXPECT_EQ(textOf(file, "Software\\Caf\xc3\xa9\\Na\xc3\xafve", "A"), "1");
  EXPECT_EQ(textOf(file, "software\\with \"quote\" and ] bracket", "B"), "2");
}

TEST(WineRegistryFile, LaterDefinitionsWin) {
  const auto file = WineRegistryFile::parse(
      "[A]\n\"X\"=\"first\"\n\"Y\"=\"kept\"\n[B]\n\"X\"=\"other key\"\n[a]\n\"x\"=\"second\"\n");
  EXPECT_EQ(textOf(file, "A", "X"), "second");
  EXPECT_EQ(textOf(file, "A", "Y"), "kept");
  EXPECT_EQ(textOf(file, "B", "X"), "other key");
}

TEST(WineRegistryFile, ReportsArchitectureAndOwner) {
  const auto file = WineRegistryFile::parse(std::string(kUserReg));
  EXPECT_EQ(file.arch(), "win64");
  EXPECT_EQ(file.relativeTo(), "\\User\\S-1-5-21-1-2-3-1000");
  EXPECT_EQ(WineRegistryFile::parse("WINE REGISTRY Version 2\n").arch(), "");
  EXPECT_EQ(WineRegistryFile::load("/nonexistent/corvadex/user.reg"), std::nullopt);
}

}  // namespace
}  // namespace corvadex::platform
