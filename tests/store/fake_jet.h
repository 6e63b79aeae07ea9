// SPDX-License-Identifier: Apache-2.0
// A scripted stand-in for the engine: a small in-memory database (a
// catalogue and tables of rows) answering the Jet calls as the engine does,
// a record of every call with its arguments, and statuses or exceptions
// scripted per call.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ese/jet.h"

namespace corvadex::testing {

using Bytes = std::vector<unsigned char>;
using Value = std::optional<Bytes>;  // nullopt: the column is null

Bytes utf16(std::u16string_view text);
Bytes ascii(std::string_view text);
Bytes dateValue(double days);

struct FakeTable {
  std::string name;
  std::vector<std::string> columns;  // column id = index + 1
  std::vector<std::map<std::string, Value>> rows;  // missing column: null

  ese::JET_COLUMNID columnId(std::string_view column) const;  // 0 if none
};

// The exception a scripted call throws.
struct FakeFailure {
  std::string call;
};

class FakeJet final : public ese::JetApi {
 public:
  FakeJet();

  // --- The database -------------------------------------------------------
  std::uint32_t pageSize = 8192;
  // The database signature JetGetDatabaseFileInfo(JET_DbInfoMisc) gives.
  std::string signature = "fake database signature";
  // Catalogue rows in walk order: (Type, Name). Tables added through
  // addTable get a row of type 1 and one row of type 2 per column.
  std::vector<std::pair<std::int16_t, Bytes>> catalogue;
  FakeTable& addTable(const std::string& name, const std::vector<std::string>& columns);
  // The contact table with all 33 contact columns.
  FakeTable& addContactTable(const std::string& name = "SimpleContact-4711");

  // --- The script ---------------------------------------------------------
  // Calls are named by their key (see Key* below in fake_jet.cpp): the call's
  // name and its main argument, e.g. "JetInit", "JetOpenTable MSysObjects",
  // "JetGetTableColumnInfo MiddleName", "JetMove SimpleContact-4711 next",
  // "JetRetrieveColumn FirstName". `nth` counts that key's calls from 1;
  // 0 means every call.
  void fail(const std::string& key, ese::JET_ERR status, int nth = 0);
  void throwOn(const std::string& key, int nth = 0);
  // What JetGetSystemParameter(JET_paramErrorToString) does.
  enum class ErrorTextMode { Normal, Refuse, NoTerminator };
  ErrorTextMode errorText = ErrorTextMode::Normal;
  // The instance value a failed JetCreateInstance leaves behind.
  ese::JET_INSTANCE instanceAfterFailedCreate = 0;

  // --- What happened ------------------------------------------------------
  // Every call but JetRetrieveColumn and JetGetSystemParameter, in order,
  // with its arguments, e.g. "JetOpenTable(MSysObjects, 4)".
  std::vector<std::string> calls;
  // Every JetRetrieveColumn as "table.column size".
  std::vector<std::string> retrieves;
  // Codes asked for with JetGetSystemParameter.
  std::vector<ese::JET_ERR> errorTextCodes;
  std::size_t openTableCount() const { return open_.size(); }

  // The engine's text for a code in ErrorTextMode::Normal.
  static std::string textFor(ese::JET_ERR code);

  // --- JetApi ---------------------------------------------------------------
  ese::JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                   std::uint32_t cbMax, std::uint32_t InfoLevel) override;
  ese::JET_ERR setSystemParameter(ese::JET_INSTANCE* pinstance, ese::JET_SESID sesid,
                                  std::uint32_t paramid, ese::JET_API_PTR lParam,
                                  const char* szParam) override;
  ese::JET_ERR getSystemParameter(ese::JET_INSTANCE instance, ese::JET_SESID sesid,
                                  std::uint32_t paramid, ese::JET_API_PTR* plParam,
                                  char* szParam, std::uint32_t cbMax) override;
  ese::JET_ERR createInstance(ese::JET_INSTANCE* pinstance, const char* szInstanceName) override;
  ese::JET_ERR init(ese::JET_INSTANCE* pinstance) override;
  ese::JET_ERR beginSession(ese::JET_INSTANCE instance, ese::JET_SESID* psesid,
                            const char* szUserName, const char* szPassword) override;
  ese::JET_ERR attachDatabase(ese::JET_SESID sesid, const char* szFilename,
                              ese::JET_GRBIT grbit) override;
  ese::JET_ERR OpenDatabase(ese::JET_SESID sesid, const char* szFilename, const char* szConnect,
                            ese::JET_DBID* pdbid, ese::JET_GRBIT grbit) override;
  ese::JET_ERR OpenTable(ese::JET_SESID sesid, ese::JET_DBID dbid, const char* szTableName,
                         const void* pvParameters, std::uint32_t cbParameters,
                         ese::JET_GRBIT grbit, ese::JET_TABLEID* ptableid) override;
  ese::JET_ERR getTableColumnInfo(ese::JET_SESID sesid, ese::JET_TABLEID tableid,
                                  const char* szColumnName, void* pvResult, std::uint32_t cbMax,
                                  std::uint32_t InfoLevel) override;
  ese::JET_ERR move(ese::JET_SESID sesid, ese::JET_TABLEID tableid, std::int32_t cRow,
                    ese::JET_GRBIT grbit) override;
  ese::JET_ERR retrieveColumn(ese::JET_SESID sesid, ese::JET_TABLEID tableid,
                              ese::JET_COLUMNID columnid, void* pvData, std::uint32_t cbData,
                              std::uint32_t* pcbActual, ese::JET_GRBIT grbit,
                              ese::JET_RETINFO* pretinfo) override;
  // The row's number in its table, four bytes big-endian; not recorded.
  ese::JET_ERR getBookmark(ese::JET_SESID sesid, ese::JET_TABLEID tableid, void* pvBookmark,
                           std::uint32_t cbMax, std::uint32_t* pcbActual) override;
  ese::JET_ERR closeTable(ese::JET_SESID sesid, ese::JET_TABLEID tableid) override;
  ese::JET_ERR term(ese::JET_INSTANCE instance) override;

 private:
  struct Cursor {
    const FakeTable* table;
    std::optional<std::size_t> row;
  };
  // The scripted outcome of a call with this key: throws, or gives the
  // scripted status (nullopt: none scripted).
  std::optional<ese::JET_ERR> scripted(const std::string& key);
  void rebuildCatalogue();
  const FakeTable* findTable(std::string_view name) const;

  std::deque<FakeTable> tables_;
  FakeTable catalogueTable_;
  struct Rule {
    std::string key;
    int nth;
    bool throws;
    ese::JET_ERR status;
  };
  std::vector<Rule> rules_;
  std::map<std::string, int> seen_;
  std::map<ese::JET_TABLEID, Cursor> open_;
  ese::JET_TABLEID nextTable_ = 0x100;
  ese::JET_INSTANCE nextInstance_ = 0x10;
};

}  // namespace corvadex::testing
