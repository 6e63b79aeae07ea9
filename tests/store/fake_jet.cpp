// SPDX-License-Identifier: Apache-2.0
#include "fake_jet.h"

#include <algorithm>
#include <cstring>

#include "contacts/contact_columns.h"

namespace corvadex::testing {

using namespace ese;

Bytes utf16(std::u16string_view text) {
  Bytes out;
  for (char16_t c : text) {
    out.push_back(static_cast<unsigned char>(c & 0xFF));
    out.push_back(static_cast<unsigned char>(c >> 8));
  }
  return out;
}

Bytes ascii(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes dateValue(double days) {
  Bytes out(8);
  std::memcpy(out.data(), &days, 8);
  return out;
}

JET_COLUMNID FakeTable::columnId(std::string_view column) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i] == column) return static_cast<JET_COLUMNID>(i + 1);
  return 0;
}

FakeJet::FakeJet() {
  catalogue.emplace_back(std::int16_t{1}, ascii("MSysObjects"));
  catalogue.emplace_back(std::int16_t{2}, ascii("Type"));
  catalogue.emplace_back(std::int16_t{2}, ascii("Name"));
}

FakeTable& FakeJet::addTable(const std::string& name, const std::vector<std::string>& columns) {
  FakeTable& table = tables_.emplace_back();
  table.name = name;
  table.columns = columns;
  catalogue.emplace_back(std::int16_t{1}, ascii(name));
  for (const auto& column : columns) catalogue.emplace_back(std::int16_t{2}, ascii(column));
  return table;
}

FakeTable& FakeJet::addContactTable(const std::string& name) {
  std::vector<std::string> columns;
  // Stored in another order than the load binds them, as a real table may be.
  for (auto it = kContactColumns.rbegin(); it != kContactColumns.rend(); ++it)
    columns.emplace_back(it->name);
  columns.emplace_back("ContactId");
  return addTable(name, columns);
}

void FakeJet::fail(const std::string& key, JET_ERR status, int nth) {
  rules_.push_back({key, nth, false, status});
}

void FakeJet::throwOn(const std::string& key, int nth) { rules_.push_back({key, nth, true, 0}); }

std::optional<JET_ERR> FakeJet::scripted(const std::string& key) {
  const int count = ++seen_[key];
  for (const Rule& rule : rules_) {
    if (rule.key != key || (rule.nth != 0 && rule.nth != count)) continue;
    if (rule.throws) throw FakeFailure{key};
    return rule.status;
  }
  return std::nullopt;
}

std::string FakeJet::textFor(JET_ERR code) { return "text of " + std::to_string(code); }

const FakeTable* FakeJet::findTable(std::string_view name) const {
  for (const auto& table : tables_)
    if (table.name == name) return &table;
  return nullptr;
}

void FakeJet::rebuildCatalogue() {
  catalogueTable_.name = "MSysObjects";
  catalogueTable_.columns = {"Type", "Name"};
  catalogueTable_.rows.clear();
  for (const auto& [type, name] : catalogue) {
    Bytes typeBytes{static_cast<unsigned char>(type & 0xFF),
                    static_cast<unsigned char>((type >> 8) & 0xFF)};
    catalogueTable_.rows.push_back({{"Type", typeBytes}, {"Name", name}});
  }
}

namespace {
std::string text(const char* s) { return s ? std::string(s) : std::string("null"); }
}  // namespace

JET_ERR FakeJet::getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                     std::uint32_t cbMax, std::uint32_t InfoLevel) {
  calls.push_back("JetGetDatabaseFileInfo(" + text(szDatabaseName) + ", " +
                  std::to_string(cbMax) + ", " + std::to_string(InfoLevel) + ")");
  if (auto status = scripted("JetGetDatabaseFileInfo")) return *status;
  if (InfoLevel == JET_DbInfoMisc && cbMax == sizeof(JET_DBINFOMISC)) {
    JET_DBINFOMISC misc{};
    std::memcpy(&misc.signDb, signature.data(), std::min(signature.size(), sizeof misc.signDb));
    std::memcpy(pvResult, &misc, sizeof misc);
    return JET_errSuccess;
  }
  if (cbMax != 4 || InfoLevel != JET_DbInfoPageSize) return JET_errInvalidParameter;
  std::memcpy(pvResult, &pageSize, 4);
  return JET_errSuccess;
}

JET_ERR FakeJet::setSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid,
                                    std::uint32_t paramid, JET_API_PTR lParam,
                                    const char* szParam) {
  calls.push_back("JetSetSystemParameter(" +
                  (pinstance ? std::to_string(*pinstance) : std::string("global")) + ", " +
                  std::to_string(sesid) + ", " + std::to_string(paramid) + ", " +
                  std::to_string(lParam) + ", " + text(szParam) + ")");
  if (auto status = scripted("JetSetSystemParameter " + std::to_string(paramid))) return *status;
  return JET_errSuccess;
}

JET_ERR FakeJet::getSystemParameter(JET_INSTANCE instance, JET_SESID sesid,
                                    std::uint32_t paramid, JET_API_PTR* plParam, char* szParam,
                                    std::uint32_t cbMax) {
  if (instance != 0 || sesid != 0 || paramid != JET_paramErrorToString || plParam == nullptr ||
      cbMax != 256)
    return JET_errInvalidParameter;
  const auto code = static_cast<JET_ERR>(static_cast<std::intptr_t>(*plParam));
  errorTextCodes.push_back(code);
  switch (errorText) {
    case ErrorTextMode::Refuse:
      return JET_wrnBufferTruncated;
    case ErrorTextMode::NoTerminator:
      std::memset(szParam, 'x', cbMax);
      return JET_errSuccess;
    case ErrorTextMode::Normal:
      break;
  }
  // Leave bytes after the terminator that must never reach a line.
  std::memset(szParam, '#', cbMax);
  const std::string t = textFor(code);
  std::memcpy(szParam, t.c_str(), t.size() + 1);
  return JET_errSuccess;
}

JET_ERR FakeJet::createInstance(JET_INSTANCE* pinstance, const char* szInstanceName) {
  calls.push_back("JetCreateInstance(" + text(szInstanceName) + ")");
  if (auto status = scripted("JetCreateInstance")) {
    *pinstance = instanceAfterFailedCreate;
    return *status;
  }
  *pinstance = nextInstance_++;
  return JET_errSuccess;
}

JET_ERR FakeJet::init(JET_INSTANCE* pinstance) {
  calls.push_back("JetInit(" + std::to_string(*pinstance) + ")");
  if (auto status = scripted("JetInit")) return *status;
  return JET_errSuccess;
}

JET_ERR FakeJet::beginSession(JET_INSTANCE instance, JET_SESID* psesid, const char* szUserName,
                              const char* szPassword) {
  calls.push_back("JetBeginSession(" + std::to_string(instance) + ", " + text(szUserName) +
                  ", " + text(szPassword) + ")");
  if (auto status = scripted("JetBeginSession")) return *status;
  *psesid = 0x5E5;
  return JET_errSuccess;
}

JET_ERR FakeJet::attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) {
  calls.push_back("JetAttachDatabase(" + std::to_string(sesid) + ", " + text(szFilename) + ", " +
                  std::to_string(grbit) + ")");
  if (auto status = scripted("JetAttachDatabase")) return *status;
  return JET_errSuccess;
}

JET_ERR FakeJet::OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                              JET_DBID* pdbid, JET_GRBIT grbit) {
  calls.push_back("JetOpenDatabase(" + std::to_string(sesid) + ", " + text(szFilename) + ", " +
                  text(szConnect) + ", " + std::to_string(grbit) + ")");
  if (auto status = scripted("JetOpenDatabase")) return *status;
  *pdbid = 1;
  return JET_errSuccess;
}

JET_ERR FakeJet::OpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                           const void* pvParameters, std::uint32_t cbParameters, JET_GRBIT grbit,
                           JET_TABLEID* ptableid) {
  const std::string name = text(szTableName);
  calls.push_back("JetOpenTable(" + name + ", " + std::to_string(grbit) + ")");
  if (auto status = scripted("JetOpenTable " + name)) return *status;
  if (sesid != 0x5E5 || dbid != 1 || pvParameters != nullptr || cbParameters != 0)
    return JET_errInvalidParameter;
  if (name.empty()) return JET_errInvalidName;
  const FakeTable* table = nullptr;
  if (name == "MSysObjects") {
    rebuildCatalogue();
    table = &catalogueTable_;
  } else {
    table = findTable(name);
  }
  if (!table) return JET_errObjectNotFound;
  *ptableid = nextTable_++;
  open_[*ptableid] = Cursor{table, std::nullopt};
  return JET_errSuccess;
}

JET_ERR FakeJet::getTableColumnInfo(JET_SESID, JET_TABLEID tableid, const char* szColumnName,
                                    void* pvResult, std::uint32_t cbMax,
                                    std::uint32_t InfoLevel) {
  const auto it = open_.find(tableid);
  const std::string column = text(szColumnName);
  JET_COLUMNDEF def;
  std::memcpy(&def, pvResult, sizeof def);
  calls.push_back("JetGetTableColumnInfo(" +
                  (it == open_.end() ? std::string("?") : it->second.table->name) + ", " +
                  column + ", " + std::to_string(def.cbStruct) + ", " + std::to_string(cbMax) +
                  ", " + std::to_string(InfoLevel) + ")");
  if (auto status = scripted("JetGetTableColumnInfo " + column)) return *status;
  if (it == open_.end()) return JET_errInvalidTableId;
  if (cbMax != sizeof(JET_COLUMNDEF) || InfoLevel != JET_ColInfo) return JET_errInvalidParameter;
  const JET_COLUMNID id = it->second.table->columnId(column);
  if (id == 0) return JET_errColumnNotFound;
  def.columnid = id;
  def.coltyp = JET_coltypLongText;
  std::memcpy(pvResult, &def, sizeof def);
  return JET_errSuccess;
}

JET_ERR FakeJet::move(JET_SESID, JET_TABLEID tableid, std::int32_t cRow, JET_GRBIT grbit) {
  const auto it = open_.find(tableid);
  const std::string table = it == open_.end() ? std::string("?") : it->second.table->name;
  const std::string how = cRow == JET_MoveFirst ? "first" : cRow == JET_MoveNext ? "next" : "?";
  calls.push_back("JetMove(" + table + ", " + how + ", " + std::to_string(grbit) + ")");
  if (auto status = scripted("JetMove " + table + " " + how)) return *status;
  if (it == open_.end()) return JET_errInvalidTableId;
  Cursor& cursor = it->second;
  const std::size_t rows = cursor.table->rows.size();
  if (cRow == JET_MoveFirst) {
    if (rows == 0) return JET_errNoCurrentRecord;
    cursor.row = 0;
    return JET_errSuccess;
  }
  if (cRow == JET_MoveNext) {
    if (!cursor.row) return JET_errNoCurrentRecord;
    if (*cursor.row + 1 >= rows) return JET_errNoCurrentRecord;
    ++*cursor.row;
    return JET_errSuccess;
  }
  return JET_errInvalidParameter;
}

JET_ERR FakeJet::retrieveColumn(JET_SESID, JET_TABLEID tableid, JET_COLUMNID columnid,
                                void* pvData, std::uint32_t cbData, std::uint32_t* pcbActual,
                                JET_GRBIT grbit, JET_RETINFO* pretinfo) {
  const auto it = open_.find(tableid);
  if (it == open_.end()) return JET_errInvalidTableId;
  const FakeTable& table = *it->second.table;
  const std::string column =
      columnid >= 1 && columnid <= table.columns.size() ? table.columns[columnid - 1] : "?";
  retrieves.push_back(table.name + "." + column + " " + std::to_string(cbData) +
                      (pvData ? "" : " nobuffer"));
  if (auto status = scripted("JetRetrieveColumn " + column)) return *status;
  if (grbit != 0 || pretinfo != nullptr) return JET_errInvalidParameter;
  if (column == "?") return JET_errBadColumnId;
  if (!it->second.row) return JET_errNoCurrentRecord;
  const auto& row = table.rows[*it->second.row];
  const auto value = row.find(column);
  if (value == row.end() || !value->second) {
    *pcbActual = 0;
    return JET_wrnColumnNull;
  }
  const Bytes& bytes = *value->second;
  *pcbActual = static_cast<std::uint32_t>(bytes.size());
  if (pvData && cbData && !bytes.empty())
    std::memcpy(pvData, bytes.data(), std::min<std::size_t>(cbData, bytes.size()));
  return bytes.size() > cbData ? JET_wrnBufferTruncated : JET_errSuccess;
}

JET_ERR FakeJet::getBookmark(JET_SESID, JET_TABLEID tableid, void* pvBookmark,
                             std::uint32_t cbMax, std::uint32_t* pcbActual) {
  const auto it = open_.find(tableid);
  if (it == open_.end()) return JET_errInvalidTableId;
  if (!it->second.row) return JET_errNoCurrentRecord;
  const auto n = static_cast<std::uint32_t>(*it->second.row);
  const unsigned char key[4] = {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                                static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)};
  if (pcbActual != nullptr) *pcbActual = 4;
  if (cbMax < 4) return JET_errBufferTooSmall;
  std::memcpy(pvBookmark, key, 4);
  return JET_errSuccess;
}

JET_ERR FakeJet::closeTable(JET_SESID, JET_TABLEID tableid) {
  const auto it = open_.find(tableid);
  calls.push_back("JetCloseTable(" +
                  (it == open_.end() ? std::string("?") : it->second.table->name) + ")");
  if (auto status = scripted("JetCloseTable")) return *status;
  if (it == open_.end()) return JET_errInvalidTableId;
  open_.erase(it);
  return JET_errSuccess;
}

JET_ERR FakeJet::term(JET_INSTANCE instance) {
  calls.push_back("JetTerm(" + std::to_string(instance) + ")");
  // Open tables are left as they are, so that a test sees any table the
  // program failed to close itself.
  if (auto status = scripted("JetTerm")) return *status;
  return JET_errSuccess;
}

}  // namespace corvadex::testing
