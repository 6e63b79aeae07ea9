// SPDX-License-Identifier: Apache-2.0
// The engine's status texts where a user sees them: the message log line a
// failing read writes through the real engine, for files that fail in
// different ways. A wrong status constant, a lookup that misses its row or a
// text cut short shows here as a different line.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contacts/contact_list.h"
#include "ese/database.h"
#include "ese/error_table.h"
#include "ese/error_text.h"
#include "file_io.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese {
namespace {

using corvadex::testing::eseSample;
using corvadex::testing::readFile;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

// The last line the read wrote (its error line: a failed read stops there,
// JetTerm succeeding).
std::string lastLine(const std::string& path) {
  EngineJet jet;
  corvadex::LineLog log;
  corvadex::ContactList list;
  corvadex::FixedShortDateFormat dates{"%Y-%m-%d"};
  corvadex::ContactStoreReader reader{jet, log, list, dates};
  reader.ReadDatabase(path);
  return log.Lines().empty() ? std::string() : log.Lines().back();
}

// A written contacts database, and the root page of its contact table.
std::string contactsDatabase(const TempFolder& dir, std::uint32_t& root, std::uint32_t& page_size) {
  const std::string path = dir.File("contacts.edb");
  const std::string command = "'" + std::string(CORVADEX_BIN_DIR) + "/make-contacts-db' --count 50 '" +
                              path + "' > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::unique_ptr<Database> db;
  EXPECT_EQ(Database::open(path, db), JET_errSuccess);
  for (const auto& t : db->catalog().tables()) {
    if (t->name.rfind("SimpleContact-", 0) == 0) root = t->root_pgno;
  }
  page_size = db->file().page_size();
  return readFile(path);
}

TEST(ErrorText, TheLogLineOfAFailedReadNamesAndDescribesTheStatus) {
  TempFolder dir;
  std::uint32_t root = 0;
  std::uint32_t page_size = 0;
  const std::string contacts = contactsDatabase(dir, root, page_size);
  ASSERT_GT(root, 4u);
  const std::size_t root_at = (std::size_t{root} + 1) * page_size;
  std::string bad_header = readFile(eseSample("basic"));
  bad_header[300] = static_cast<char>(bad_header[300] ^ 1);
  std::string blank_root = contacts;
  blank_root.replace(root_at, page_size, page_size, '\0');

  const struct {
    const char* name;
    std::string bytes;
    const char* line;
  } kCases[] = {
      {"text", "hello world",
       "ERROR JetGetDatabaseFileInfo -1028 - JET_errInvalidDatabase, Not a database file"},
      {"header", bad_header,
       "ERROR JetGetDatabaseFileInfo -1018 - JET_errReadVerifyFailure, A database page fails its "
       "checksum"},
      {"no_contact_table", readFile(eseSample("basic")),
       "JetOpenTable ERROR -1002 - JET_errInvalidName, The name is not valid"},
      {"blank_page", blank_root,
       "JetMove ERROR -1019 - JET_errPageNotInitialized, The page is blank"},
      {"cut_short", contacts.substr(0, root_at),
       "JetMove ERROR -4001 - JET_errFileIOBeyondEOF, A read went past the end of the file"},
  };
  for (const auto& c : kCases) {
    const std::string path = dir.File(std::string(c.name) + ".edb");
    writeFile(path, c.bytes);
    EXPECT_EQ(lastLine(path), c.line) << c.name;
  }
}

TEST(ErrorText, EveryKnownStatusIsFoundAndUnknownOnesAreNamedByNumber) {
  // The lookup is a binary search: a row out of order would not be found.
  for (const ErrorTableEntry& row : errorTable()) {
    const std::string text = errorText(row.code);
    EXPECT_TRUE(text.starts_with(std::string(row.name) + ", ")) << row.code << ": " << text;
    EXPECT_LT(text.size(), 256u) << "does not fit the engine's text buffer: " << row.name;
  }
  for (JET_ERR code : {-12345, -2, 7, 1005, 999999, -2147483647 - 1}) {
    const std::string text = errorText(code);
    EXPECT_NE(text.find(std::to_string(code)), std::string::npos) << text;
    EXPECT_EQ(text.find("JET_"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace ese
