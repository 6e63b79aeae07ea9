// SPDX-License-Identifier: Apache-2.0
// Reads a contacts database into the contact list, reporting every step and
// every engine failure as a line of the message log.
//
// The read operations are members of this object: the window holds one
// reader, bound to its log and list, and keeps it (with its list of table
// names) from one read to the next. Everything goes through a JetApi, so
// every engine call can be scripted in tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_log.h"
#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "store/database_reader.h"

namespace corvadex {

class ShortDateFormat;  // platform/short_date.h

// The contact table is the first table whose name begins with this, compared
// byte for byte.
inline constexpr std::string_view kContactTablePrefix = "SimpleContact-";

// The plain line after the page size for a database that was not shut down
// cleanly: what only its transaction logs hold is not in the file.
inline constexpr std::string_view kDirtyShutdownLine =
    "The database was not shut down cleanly; changes held only in its log files may be missing";

// The memory the contact list may take in one read, its rows and their
// texts: kListBytesPerFileByte times the file's size plus kListAllowance,
// the read's bound but for the 32 MiB left to the engine (its page cache and
// the value it is reading). The texts come within the engine's own bound on
// expanded values, and a row costs some 24 bytes beside them, while the
// smallest row takes twenty-odd bytes of file: no sound file comes near the
// bound. It stands guard should a row ever cost more than its file can
// explain; a read that reaches it stops with tooManyRowsLine and keeps the
// rows that fit.
inline constexpr std::uint64_t kListBytesPerFileByte = 8;
inline constexpr std::uint64_t kListAllowance = std::uint64_t{32} << 20;
std::uint64_t listByteLimit(std::uint64_t fileSize);

// The line that ends such a read, given the table's name and the number of
// contacts kept.
std::string tooManyRowsLine(std::string_view table, std::size_t kept);

// The first of `names` that begins with kContactTablePrefix, or empty text.
std::string contactTableName(const std::vector<std::string>& names);

class ContactStoreReader final : public DatabaseReader {
 public:
  ContactStoreReader(ese::JetApi& jet, MessageLog& log, ContactList& list,
                     const ShortDateFormat& dates);
  ContactStoreReader(const ContactStoreReader&) = delete;
  ContactStoreReader& operator=(const ContactStoreReader&) = delete;

  // Opens the file read-only through the engine, finds the contact table,
  // and loads every row into the list. Failures go to the log; an exception
  // from the list or from memory exhaustion leaves after the teardown
  // (update bracket ended, table closed, instance terminated).
  ese::JET_ERR ReadDatabase(const std::string& path) override;

  // Fills TableNames from the catalogue of an open database; failures go to
  // the log and end the scan with the names found so far.
  void ListTables(ese::JET_SESID session, ese::JET_DBID database);

  // The names of the tables the last catalogue scan found, in walk order.
  const std::vector<std::string>& TableNames() const { return tableNames_; }

  // The column readers: the value of one column of the table's current row
  // as UTF-8, empty when it is null or its read failed (a failure adds one
  // "JetRetrieveColumn ERROR " line).
  std::string RetrieveShortText(ese::JET_SESID session, ese::JET_TABLEID table,
                                ese::JET_COLUMNID column);
  std::string RetrieveLongText(ese::JET_SESID session, ese::JET_TABLEID table,
                               ese::JET_COLUMNID column);
  std::string RetrieveDate(ese::JET_SESID session, ese::JET_TABLEID table,
                           ese::JET_COLUMNID column);

  // Frees every row's record and removes every row.
  void ClearContacts();

 private:
  // The read sequence; failures go to failed().
  void readFile(const std::string& path);
  void readWithInstance(const std::string& path, ese::JET_INSTANCE& instance);
  void terminate(ese::JET_INSTANCE instance);
  void loadContacts(ese::JET_SESID session, ese::JET_TABLEID table);
  bool bindColumns(ese::JET_SESID session, ese::JET_TABLEID table,
                   ese::JET_COLUMNID* ids);
  void walkRows(ese::JET_SESID session, ese::JET_TABLEID table,
                const ese::JET_COLUMNID* ids);
  // Fills the row the cursor is on; false (after its line) when the list
  // outgrows listLimit_.
  bool loadRow(ese::JET_SESID session, ese::JET_TABLEID table, const ese::JET_COLUMNID* ids);
  bool tooManyRows();
  void scanCatalogue(ese::JET_SESID session, ese::JET_TABLEID catalogue);

  // The readers proper: each leaves the value in `out` (cleared first).
  void readShortText(ese::JET_SESID session, ese::JET_TABLEID table,
                     ese::JET_COLUMNID column, std::string& out);
  void readLongText(ese::JET_SESID session, ese::JET_TABLEID table,
                    ese::JET_COLUMNID column, std::string& out);
  // Also leaves the date as "YYYY-MM-DD" in `iso` when given (empty for a
  // null, zero or unreadable date).
  void readDate(ese::JET_SESID session, ese::JET_TABLEID table, ese::JET_COLUMNID column,
                std::string& out, std::string* iso = nullptr);
  void readKey(ese::JET_SESID session, ese::JET_TABLEID table, std::string& out);
  void readColumn(ese::JET_SESID session, ese::JET_TABLEID table, ese::JET_COLUMNID column,
                  std::size_t index, std::string& out);

  void failed(std::string_view prefix, ese::JET_ERR code);
  ese::JET_ERR firstFailure_ = ese::JET_errSuccess;  // of the read under way

  ese::JetApi& jet_;
  MessageLog& log_;
  ContactList& list_;
  const ShortDateFormat& dates_;
  std::vector<std::string> tableNames_;
  std::string contactTable_;
  std::uint64_t listLimit_ = 0;
  // Scratch space of the row walk, reused from value to value.
  std::vector<unsigned char> longBuffer_;
  ContactDraft draft_;
  std::string identity_;
};

}  // namespace corvadex
