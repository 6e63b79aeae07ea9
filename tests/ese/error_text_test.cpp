// SPDX-License-Identifier: Apache-2.0
// Tests of the engine's status texts.
#include "ese/error_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ese/error_table.h"

namespace ese {
namespace {

TEST(ErrorText, NamesTheCodeAndDescribesIt) {
  EXPECT_EQ(ErrorText(JET_errNoCurrentRecord).rfind("JET_errNoCurrentRecord, ", 0), 0u);
  EXPECT_EQ(ErrorText(JET_wrnColumnNull).rfind("JET_wrnColumnNull, ", 0), 0u);
  EXPECT_EQ(ErrorText(JET_wrnBufferTruncated).rfind("JET_wrnBufferTruncated, ", 0), 0u);
  EXPECT_EQ(ErrorText(JET_errPageSizeMismatch).rfind("JET_errPageSizeMismatch, ", 0), 0u);
  EXPECT_EQ(ErrorText(JET_errSuccess).rfind("JET_errSuccess, ", 0), 0u);
  EXPECT_EQ(ErrorText(-1).rfind("JET_wrnNyi, ", 0), 0u);
  // A description follows the comma.
  EXPECT_GT(ErrorText(JET_errFileNotFound).size(), std::string("JET_errFileNotFound, ").size());
}

TEST(ErrorText, UnknownCodesGetAGenericTextNamingTheNumber) {
  for (JET_ERR code : {-12345, -2, 7, 1005, 999999, -2147483647 - 1}) {
    const std::string text = ErrorText(code);
    EXPECT_NE(text.find(std::to_string(code)), std::string::npos) << text;
    EXPECT_EQ(text.find("JET_"), std::string::npos) << text;
  }
}

TEST(ErrorText, EveryStatusTheProgramNamesHasItsOwnRow) {
  // The constants the program declares must carry the engine's values; a
  // wrong value would print another status's name.
  const std::pair<JET_ERR, const char*> declared[] = {
      {JET_errSuccess, "JET_errSuccess"},
      {JET_wrnColumnNull, "JET_wrnColumnNull"},
      {JET_wrnBufferTruncated, "JET_wrnBufferTruncated"},
      {JET_errBadPageLink, "JET_errBadPageLink"},
      {JET_errDatabaseDirtyShutdown, "JET_errDatabaseDirtyShutdown"},
      {JET_errInvalidName, "JET_errInvalidName"},
      {JET_errInvalidParameter, "JET_errInvalidParameter"},
      {JET_errInvalidDatabaseId, "JET_errInvalidDatabaseId"},
      {JET_errOutOfMemory, "JET_errOutOfMemory"},
      {JET_errReadVerifyFailure, "JET_errReadVerifyFailure"},
      {JET_errPageNotInitialized, "JET_errPageNotInitialized"},
      {JET_errDiskIO, "JET_errDiskIO"},
      {JET_errInvalidPath, "JET_errInvalidPath"},
      {JET_errInvalidDatabase, "JET_errInvalidDatabase"},
      {JET_errNotInitialized, "JET_errNotInitialized"},
      {JET_errAlreadyInitialized, "JET_errAlreadyInitialized"},
      {JET_errFileAccessDenied, "JET_errFileAccessDenied"},
      {JET_errInvalidBufferSize, "JET_errInvalidBufferSize"},
      {JET_errInvalidSesid, "JET_errInvalidSesid"},
      {JET_errInvalidInstance, "JET_errInvalidInstance"},
      {JET_errDatabaseCorrupted, "JET_errDatabaseCorrupted"},
      {JET_errPageSizeMismatch, "JET_errPageSizeMismatch"},
      {JET_errObjectNotFound, "JET_errObjectNotFound"},
      {JET_errInvalidTableId, "JET_errInvalidTableId"},
      {JET_errColumnNotFound, "JET_errColumnNotFound"},
      {JET_errBadColumnId, "JET_errBadColumnId"},
      {JET_errNoCurrentRecord, "JET_errNoCurrentRecord"},
      {JET_errDecompressionFailed, "JET_errDecompressionFailed"},
      {JET_errFileNotFound, "JET_errFileNotFound"},
      {JET_errFileIOBeyondEOF, "JET_errFileIOBeyondEOF"},
  };
  for (const auto& [code, name] : declared) {
    EXPECT_EQ(ErrorText(code).rfind(std::string(name) + ", ", 0), 0u)
        << name << " = " << code << " reads " << ErrorText(code);
  }
}

TEST(ErrorTable, IsSortedUniqueAndFitsTheEngineTextBuffer) {
  const auto table = ErrorTable();
  ASSERT_GT(table.size(), 400u);
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const ErrorTableEntry& row = table[i];
    if (i > 0) {
      EXPECT_LT(table[i - 1].code, row.code) << row.name;
    }
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    EXPECT_TRUE(row.name.starts_with("JET_err") || row.name.starts_with("JET_wrn")) << row.name;
    EXPECT_FALSE(row.description.empty()) << row.name;
    // The text goes through a 256-byte buffer with its terminating NUL.
    EXPECT_LT(ErrorText(row.code).size(), 256u) << row.name;
    EXPECT_EQ(ErrorText(row.code), std::string(row.name) + ", " + std::string(row.description));
  }
}

}  // namespace
}  // namespace ese
