// SPDX-License-Identifier: Apache-2.0
// The Jet calls: process-wide engine state behind checked handle tables.
//
// Every handle the engine gives out (instance, session, database id, table
// id) is a fresh number that is never reused, looked up in its own table on
// each call: a stale handle (closed or terminated) or one of the wrong kind
// finds nothing and gets an error status instead of touching freed state.
// Instance, session and table handles carry a kind tag in their high bits
// so that one kind is never mistaken for another.
//
// One mutex serialises the calls that open, close and look up handles. The
// calls that walk a table (JetMove, JetRetrieveColumn, JetEnumerateColumns,
// JetGetBookmark, JetGetTableColumnInfo) find the table of the thread's
// previous such call without it: a session is used by one thread at a time, so nothing but a
// close can change the table under the caller, and every close (of a table,
// or of a whole session or instance) starts a new epoch of the handle
// tables, which makes each thread's remembered table stale.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/small_copy.h"
#include "ese/database.h"
#include "ese/enumerate_columns.h"
#include "ese/error_text.h"
#include "ese/jet.h"
#include "ese/jet_schema.h"
#include "ese/status.h"

namespace ese {
namespace {

constexpr JET_API_PTR kInstanceTag = JET_API_PTR{0x1} << 40;
constexpr JET_API_PTR kSessionTag = JET_API_PTR{0x2} << 40;
constexpr JET_API_PTR kTableTag = JET_API_PTR{0x3} << 40;

struct Instance {
  std::string name;
  bool initialized = false;
};

struct Session {
  JET_INSTANCE instance = 0;
  std::map<std::string, std::shared_ptr<Database>> attached;  // by path
};

struct OpenDatabase {
  JET_SESID session = 0;
  std::shared_ptr<Database> db;
};

struct OpenTable {
  JET_SESID session = 0;
  std::shared_ptr<Database> db;  // keeps the file mapped while the table is open
  std::unique_ptr<TableCursor> cursor;
  std::unique_ptr<ColumnEnumerator> enumerator;  // made by the first JetEnumerateColumns
  std::uint64_t row = 0;  // index of the current row while on one
  bool on_row = false;
};

struct Engine {
  std::mutex mutex;
  std::uint32_t page_size = 4096;
  bool recovery = true;
  JET_API_PTR next_handle = 1;
  JET_DBID next_dbid = 1;
  std::map<JET_INSTANCE, Instance> instances;
  std::map<JET_SESID, Session> sessions;
  std::map<JET_DBID, OpenDatabase> databases;
  std::map<JET_TABLEID, OpenTable> tables;
  // Changed, under the mutex, before any handle is closed.
  std::atomic<std::uint64_t> epoch{1};

  void newEpoch() { epoch.fetch_add(1, std::memory_order_release); }

  JET_API_PTR newHandle(JET_API_PTR tag) { return tag | next_handle++; }

  bool anyInitialized() const {
    return std::any_of(instances.begin(), instances.end(),
                       [](const auto& i) { return i.second.initialized; });
  }
};

// Nothing runs engine calls during static initialisation, so a plain
// global saves the per-call guard of a function-local static.
Engine g_engine;

inline Engine& theEngine() { return g_engine; }

bool equalsIgnoringCase(const std::string& a, const char* b) {
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y && !(x < 0x80 && y < 0x80 && std::tolower(x) == std::tolower(y))) return false;
  }
  return true;
}

// The table the calling thread found last, and the epoch it was found in.
struct RecentTable {
  JET_SESID sesid = 0;
  JET_TABLEID tableid = 0;
  OpenTable* table = nullptr;
  std::uint64_t epoch = 0;
};
thread_local constinit RecentTable t_recent;

// The session's table `tableid`, or the status to return; with the mutex
// held.
JET_ERR findTable(Engine& e, JET_SESID sesid, JET_TABLEID tableid, OpenTable*& out) {
  if (!e.sessions.count(sesid)) return JET_errInvalidSesid;
  auto it = e.tables.find(tableid);
  if (it == e.tables.end() || it->second.session != sesid) return JET_errInvalidTableId;
  out = &it->second;
  // std::map keeps its elements in place while others come and go.
  t_recent = RecentTable{sesid, tableid, out, e.epoch.load(std::memory_order_relaxed)};
  return JET_errSuccess;
}

[[gnu::noinline]] JET_ERR findTableLocked(Engine& e, JET_SESID sesid, JET_TABLEID tableid,
                                          OpenTable*& out) {
  std::lock_guard lock(e.mutex);
  return findTable(e, sesid, tableid, out);
}

// The thread's last table, when it is asked for again and no handle was
// closed since; else null.
inline OpenTable* recentTable(const Engine& e, JET_SESID sesid, JET_TABLEID tableid) {
  const RecentTable& r = t_recent;
  return r.tableid == tableid && r.sesid == sesid &&
                 r.epoch == e.epoch.load(std::memory_order_acquire)
             ? r.table
             : nullptr;
}

// The same for the calls on an open table: the recent table without the
// mutex, any other with it.
inline JET_ERR findOpenTable(Engine& e, JET_SESID sesid, JET_TABLEID tableid,
                             OpenTable*& out) {
  out = recentTable(e, sesid, tableid);
  if (out != nullptr) return JET_errSuccess;
  return findTableLocked(e, sesid, tableid, out);
}

// Moves the table's cursor to row `target` (0-based) by walking forward,
// from the first row when it must go back.
Status moveToRow(OpenTable& t, std::uint64_t target) {
  if (!t.on_row || target < t.row) {
    t.on_row = false;
    if (Status err = t.cursor->moveFirst(); !err.ok()) return err;
    t.row = 0;
    t.on_row = true;
  }
  while (t.row < target) {
    if (Status err = t.cursor->moveNext(); !err.ok()) {
      t.on_row = false;
      return err;
    }
    ++t.row;
  }
  return JET_errSuccess;
}

// The session's database `dbid`, or the status to return; with the mutex
// held.
JET_ERR findDatabase(Engine& e, JET_SESID sesid, JET_DBID dbid,
                     const std::shared_ptr<Database>*& out) {
  if (!e.sessions.count(sesid)) return JET_errInvalidSesid;
  auto d = e.databases.find(dbid);
  if (d == e.databases.end() || d->second.session != sesid) return JET_errInvalidDatabaseId;
  out = &d->second.db;
  return JET_errSuccess;
}

// A new table handle on `table` of `db`, its cursor on the first row if
// there is one; with the mutex held.
JET_TABLEID openTable(Engine& e, JET_SESID sesid, const std::shared_ptr<Database>& db,
                      std::shared_ptr<const TableInfo> table) {
  OpenTable open;
  open.session = sesid;
  open.db = db;
  open.cursor = std::make_unique<TableCursor>(*open.db, std::move(table));
  // A fresh cursor stands on the first row, if there is one.
  if (open.cursor->moveFirst() == JET_errSuccess) open.on_row = true;
  const JET_TABLEID handle = e.newHandle(kTableTag);
  e.tables[handle] = std::move(open);
  return handle;
}

void dropSession(Engine& e, JET_SESID sesid) {
  e.newEpoch();
  std::erase_if(e.tables, [&](const auto& t) { return t.second.session == sesid; });
  std::erase_if(e.databases, [&](const auto& d) { return d.second.session == sesid; });
  e.sessions.erase(sesid);
}

}  // namespace

namespace {

Status getDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                           std::uint32_t InfoLevel) {
  if (szDatabaseName == nullptr || pvResult == nullptr) return JET_errInvalidParameter;
  if (InfoLevel != JET_DbInfoPageSize && InfoLevel != JET_DbInfoMisc) return JET_errInvalidParameter;
  const std::size_t needed =
      InfoLevel == JET_DbInfoMisc ? sizeof(JET_DBINFOMISC) : sizeof(std::uint32_t);
  if (cbMax < needed) return JET_errInvalidBufferSize;
  FileHeader header;
  if (Status err = DbFile::readHeader(szDatabaseName, header); !err.ok()) return err;
  if (InfoLevel == JET_DbInfoMisc) {
    JET_DBINFOMISC misc{};
    misc.ulVersion = header.format_version;
    misc.ulUpdate = header.format_revision;
    static_assert(sizeof misc.signDb == kDatabaseSignatureSize);
    std::memcpy(&misc.signDb, header.signature.data(), kDatabaseSignatureSize);
    misc.dbstate = header.state;
    std::memcpy(pvResult, &misc, sizeof misc);
    return JET_errSuccess;
  }
  const std::uint32_t page_size = header.page_size;
  std::memcpy(pvResult, &page_size, sizeof page_size);
  return JET_errSuccess;
}

}  // namespace

JET_ERR JetGetDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                               std::uint32_t InfoLevel) {
  return getDatabaseFileInfo(szDatabaseName, pvResult, cbMax, InfoLevel).code;
}

JET_ERR JetSetSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid, std::uint32_t paramid,
                              JET_API_PTR lParam, const char* szParam) {
  (void)sesid;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  if (pinstance != nullptr && *pinstance != 0 && *pinstance != JET_instanceNil &&
      !e.instances.count(*pinstance)) {
    return JET_errInvalidInstance;
  }
  switch (paramid) {
    case JET_paramDatabasePageSize: {
      if (lParam > 0xffffffffu || !isValidPageSize(static_cast<std::uint32_t>(lParam))) {
        return JET_errInvalidParameter;
      }
      // The page size is fixed for the process once an engine is running.
      if (e.anyInitialized() && lParam != e.page_size) return JET_errAlreadyInitialized;
      e.page_size = static_cast<std::uint32_t>(lParam);
      return JET_errSuccess;
    }
    case JET_paramRecovery: {
      if (szParam == nullptr) return JET_errInvalidParameter;
      const std::string text = szParam;
      if (equalsIgnoringCase(text, "Off")) {
        e.recovery = false;
      } else if (equalsIgnoringCase(text, "On")) {
        e.recovery = true;
      } else {
        return JET_errInvalidParameter;
      }
      return JET_errSuccess;
    }
    default: return JET_errInvalidParameter;
  }
}

JET_ERR JetGetSystemParameter(JET_INSTANCE instance, JET_SESID sesid, std::uint32_t paramid,
                              JET_API_PTR* plParam, char* szParam, std::uint32_t cbMax) {
  (void)instance;
  (void)sesid;
  Engine& e = theEngine();
  switch (paramid) {
    case JET_paramErrorToString: {
      if (plParam == nullptr || szParam == nullptr) return JET_errInvalidParameter;
      if (cbMax == 0) return JET_errInvalidBufferSize;
      const auto code = static_cast<JET_ERR>(static_cast<std::int64_t>(*plParam));
      const std::string text = errorText(code);
      const std::size_t n = std::min<std::size_t>(text.size(), cbMax - 1);
      std::memcpy(szParam, text.data(), n);
      szParam[n] = '\0';
      return n < text.size() ? JET_wrnBufferTruncated : JET_errSuccess;
    }
    case JET_paramDatabasePageSize: {
      if (plParam == nullptr) return JET_errInvalidParameter;
      std::lock_guard lock(e.mutex);
      *plParam = e.page_size;
      return JET_errSuccess;
    }
    case JET_paramRecovery: {
      if (szParam == nullptr || cbMax == 0) return JET_errInvalidParameter;
      std::lock_guard lock(e.mutex);
      const char* text = e.recovery ? "On" : "Off";
      const std::size_t n = std::min<std::size_t>(std::strlen(text), cbMax - 1);
      std::memcpy(szParam, text, n);
      szParam[n] = '\0';
      return JET_errSuccess;
    }
    default: return JET_errInvalidParameter;
  }
}

JET_ERR JetCreateInstance(JET_INSTANCE* pinstance, const char* szInstanceName) {
  if (pinstance == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  const JET_INSTANCE handle = e.newHandle(kInstanceTag);
  e.instances[handle].name = szInstanceName != nullptr ? szInstanceName : "";
  *pinstance = handle;
  return JET_errSuccess;
}

JET_ERR JetInit(JET_INSTANCE* pinstance) {
  if (pinstance == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  auto it = e.instances.find(*pinstance);
  if (it == e.instances.end()) return JET_errInvalidInstance;
  if (it->second.initialized) return JET_errAlreadyInitialized;
  it->second.initialized = true;
  return JET_errSuccess;
}

JET_ERR JetBeginSession(JET_INSTANCE instance, JET_SESID* psesid, const char* szUserName,
                        const char* szPassword) {
  (void)szUserName;
  (void)szPassword;
  if (psesid == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  auto it = e.instances.find(instance);
  if (it == e.instances.end()) return JET_errInvalidInstance;
  if (!it->second.initialized) return JET_errNotInitialized;
  const JET_SESID handle = e.newHandle(kSessionTag);
  e.sessions[handle].instance = instance;
  *psesid = handle;
  return JET_errSuccess;
}

namespace {

Status attach(JET_SESID sesid, const char* szFilename, const EngineOptions& options) {
  if (szFilename == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  auto it = e.sessions.find(sesid);
  if (it == e.sessions.end()) return JET_errInvalidSesid;
  const std::string path = szFilename;
  if (path.empty()) return JET_errInvalidPath;
  FileHeader header;
  if (Status err = DbFile::readHeader(path, header); !err.ok()) return err;
  if (header.page_size != e.page_size) return JET_errPageSizeMismatch;
  DbFile::Options read;
  read.cache_bytes = options.cache_bytes;
  read.read_ahead_thread = options.threads > 1;
  std::unique_ptr<Database> db;
  if (Status err = Database::open(path, db, read); !err.ok()) return err;
  it->second.attached[path] = std::shared_ptr<Database>(std::move(db));
  return JET_errSuccess;
}

}  // namespace

JET_ERR JetAttachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) {
  (void)grbit;  // every attachment is read-only: this engine never writes
  return attach(sesid, szFilename, EngineOptions{}).code;
}

JET_ERR JetOpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                        JET_DBID* pdbid, JET_GRBIT grbit) {
  (void)szConnect;
  (void)grbit;
  if (szFilename == nullptr || pdbid == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  auto it = e.sessions.find(sesid);
  if (it == e.sessions.end()) return JET_errInvalidSesid;
  auto db = it->second.attached.find(szFilename);
  if (db == it->second.attached.end()) return JET_errDatabaseNotFound;
  const JET_DBID dbid = e.next_dbid++;
  e.databases[dbid] = OpenDatabase{sesid, db->second};
  *pdbid = dbid;
  return JET_errSuccess;
}

JET_ERR JetOpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                     const void* pvParameters, std::uint32_t cbParameters, JET_GRBIT grbit,
                     JET_TABLEID* ptableid) {
  (void)pvParameters;
  (void)cbParameters;
  (void)grbit;
  if (ptableid == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  const std::shared_ptr<Database>* db = nullptr;
  if (JET_ERR err = findDatabase(e, sesid, dbid, db); err != JET_errSuccess) return err;
  if (szTableName == nullptr || szTableName[0] == '\0') return JET_errInvalidName;
  const Catalog& catalog = (*db)->catalog();
  std::shared_ptr<const TableInfo> table = catalog.find(szTableName);
  if (!table) {
    // Names are matched without regard to case, as the engine does.
    for (const auto& t : catalog.tables()) {
      if (equalsIgnoringCase(t->name, szTableName)) {
        table = t;
        break;
      }
    }
  }
  if (!table) return JET_errObjectNotFound;
  *ptableid = openTable(e, sesid, *db, std::move(table));
  return JET_errSuccess;
}

JET_ERR getDatabaseTables(JET_SESID sesid, JET_DBID dbid,
                          std::vector<std::shared_ptr<const TableInfo>>& tables) {
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  const std::shared_ptr<Database>* db = nullptr;
  if (JET_ERR err = findDatabase(e, sesid, dbid, db); err != JET_errSuccess) return err;
  tables = (*db)->catalog().tables();
  return JET_errSuccess;
}

JET_ERR openDatabaseTable(JET_SESID sesid, JET_DBID dbid,
                          const std::shared_ptr<const TableInfo>& table, JET_TABLEID* ptableid) {
  if (ptableid == nullptr) return JET_errInvalidParameter;
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  const std::shared_ptr<Database>* db = nullptr;
  if (JET_ERR err = findDatabase(e, sesid, dbid, db); err != JET_errSuccess) return err;
  const auto& tables = (*db)->catalog().tables();
  if (!table || std::find(tables.begin(), tables.end(), table) == tables.end()) {
    return JET_errObjectNotFound;
  }
  *ptableid = openTable(e, sesid, *db, table);
  return JET_errSuccess;
}

JET_ERR JetGetTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid, const char* szColumnName,
                              void* pvResult, std::uint32_t cbMax, std::uint32_t InfoLevel) {
  Engine& e = theEngine();
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  if (InfoLevel != JET_ColInfo || szColumnName == nullptr || pvResult == nullptr) {
    return JET_errInvalidParameter;
  }
  if (cbMax < sizeof(JET_COLUMNDEF)) return JET_errInvalidBufferSize;
  const TableInfo& info = t->cursor->table();
  const ColumnInfo* column = info.findColumn(std::string(szColumnName));
  if (column == nullptr) {
    for (const ColumnInfo& c : info.columns) {
      if (equalsIgnoringCase(c.name, szColumnName)) {
        column = &c;
        break;
      }
    }
  }
  if (column == nullptr) return JET_errColumnNotFound;
  JET_COLUMNDEF def{};
  def.cbStruct = sizeof(JET_COLUMNDEF);
  def.columnid = column->id;
  def.coltyp = column->type;
  const bool text = column->type == JET_coltypText || column->type == JET_coltypLongText;
  def.cp = static_cast<std::uint16_t>(text ? column->codepage : 0);
  def.cbMax = column->is_fixed() ? column->fixed_size : column->max_size;
  def.grbit = column->grbit();
  std::memcpy(pvResult, &def, sizeof def);
  return JET_errSuccess;
}

namespace {

Status moveTable(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow) {
  Engine& e = theEngine();
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  if (cRow == JET_MoveFirst) {
    t->on_row = false;
    return moveToRow(*t, 0);
  }
  if (cRow == JET_MoveLast) {
    Status err = moveToRow(*t, t->on_row ? t->row : 0);
    while (err == JET_errSuccess) {
      const std::uint64_t last = t->row;
      err = moveToRow(*t, last + 1);
      if (err == JET_errNoCurrentRecord) return moveToRow(*t, last);
    }
    return err;
  }
  if (!t->on_row) return JET_errNoCurrentRecord;
  if (cRow == 0) return JET_errSuccess;
  if (cRow < 0) {
    const std::uint64_t back = static_cast<std::uint64_t>(-static_cast<std::int64_t>(cRow));
    if (back > t->row) {
      t->on_row = false;
      return JET_errNoCurrentRecord;
    }
    return moveToRow(*t, t->row - back);
  }
  return moveToRow(*t, t->row + static_cast<std::uint64_t>(cRow));
}

}  // namespace

JET_ERR JetMove(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow, JET_GRBIT grbit) {
  (void)grbit;
  return moveTable(sesid, tableid, cRow).code;
}

namespace {

// The full size of a value copied, as much as fits, and the status for it.
[[gnu::always_inline]] inline JET_ERR delivered(Bytes value, std::uint32_t cbData,
                                                std::uint32_t* pcbActual) {
  if (pcbActual != nullptr) *pcbActual = static_cast<std::uint32_t>(value.size());
  return value.size() > cbData ? JET_wrnBufferTruncated : JET_errSuccess;
}

// A null: no bytes, and its status.
[[gnu::always_inline]] inline JET_ERR deliveredNull(std::uint32_t* pcbActual) {
  if (pcbActual != nullptr) *pcbActual = 0;
  return JET_wrnColumnNull;
}

// The value into the caller's buffer, as much as fits; with memcpy, for
// values longer than the small copy's.
[[gnu::noinline]] JET_ERR deliverAny(Bytes value, void* pvData, std::uint32_t cbData,
                                     std::uint32_t* pcbActual) {
  std::memcpy(pvData, value.data(), std::min<std::size_t>(value.size(), cbData));
  return delivered(value, cbData, pcbActual);
}

// The same from byte `offset` on. Longer copies are left to deliverAny, out
// of line, so that the short ones need no stack frame.
[[gnu::always_inline]] inline JET_ERR deliver(Bytes value, std::uint32_t offset, void* pvData,
                                              std::uint32_t cbData, std::uint32_t* pcbActual) {
  if (offset > value.size()) offset = static_cast<std::uint32_t>(value.size());
  value = value.subspan(offset);
  if (value.size() > 32 && cbData > 32) return deliverAny(value, pvData, cbData, pcbActual);
  corvadex::base::copySmall(pvData, value.data(), std::min<std::size_t>(value.size(), cbData));
  return delivered(value, cbData, pcbActual);
}

// Value `itag` of `column` read in full (long values followed, compressed
// ones expanded) and delivered; kept out of line so that the common answers
// below need no stack frame. A failure's detail goes to `detail`, when
// given: the retrieve calls pass codes, not statuses, since the store reader
// makes one for every column of every row.
[[gnu::noinline]] JET_ERR readAndDeliver(OpenTable& t, const ColumnInfo& column, void* pvData,
                                         std::uint32_t cbData, std::uint32_t* pcbActual,
                                         std::uint32_t itag, std::uint32_t offset,
                                         std::string* detail) {
  Bytes value;
  bool is_null = false;
  if (Status err = t.cursor->readAnyValue(column, itag, value, is_null); !err.ok()) {
    if (detail != nullptr) *detail = err.text();
    return err.code;
  }
  if (is_null) return deliveredNull(pcbActual);
  return deliver(value, offset, pvData, cbData, pcbActual);
}

// Value `itag` of `columnid` in the table's current row, from byte `offset`
// on, into the caller's buffer: what JetRetrieveColumn gives. A plain
// value or a null of a row whose tagged directory is prepared is answered
// here.
[[gnu::always_inline]] inline JET_ERR retrieveValue(OpenTable& t, JET_COLUMNID columnid,
                                                    void* pvData, std::uint32_t cbData,
                                                    std::uint32_t* pcbActual, std::uint32_t itag,
                                                    std::uint32_t offset, std::string* detail) {
  if (pvData == nullptr && cbData > 0) return JET_errInvalidParameter;
  const ColumnInfo* column = t.cursor->table().findColumn(columnid);
  if (column == nullptr) return JET_errColumnNotFound;
  if (!t.on_row) return JET_errNoCurrentRecord;
  ByteView bytes;
  switch (t.cursor->quickValue(*column, itag, bytes)) {
    case Record::Quick::kNull:
      return deliveredNull(pcbActual);
    case Record::Quick::kValue:
      return deliver(bytes.bytes(), offset, pvData, cbData, pcbActual);
    case Record::Quick::kAsk:
      break;
  }
  return readAndDeliver(t, *column, pvData, cbData, pcbActual, itag, offset, detail);
}

// JetRetrieveColumn the whole way: the table looked up, the retrieve
// options read.
[[gnu::noinline]] JET_ERR retrieveColumnInFull(JET_SESID sesid, JET_TABLEID tableid,
                                               JET_COLUMNID columnid, void* pvData,
                                               std::uint32_t cbData, std::uint32_t* pcbActual,
                                               JET_RETINFO* pretinfo, std::string* detail) {
  Engine& e = theEngine();
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  std::uint32_t itag = 1;
  std::uint32_t offset = 0;
  if (pretinfo != nullptr) {
    if (pretinfo->cbStruct < sizeof(JET_RETINFO)) return JET_errInvalidParameter;
    itag = pretinfo->itagSequence == 0 ? 1 : pretinfo->itagSequence;
    offset = pretinfo->ibLongValue;
    pretinfo->columnidNextTagged = 0;
  }
  return retrieveValue(*t, columnid, pvData, cbData, pcbActual, itag, offset, detail);
}

// JetRetrieveColumn. The common call, on the thread's last table with no
// options, goes straight to the value; everything else the whole way.
// Inlined into EngineJet's forwarding too, which the store reader calls for
// every column of every row.
[[gnu::always_inline]] inline JET_ERR retrieveColumn(JET_SESID sesid, JET_TABLEID tableid,
                                                     JET_COLUMNID columnid, void* pvData,
                                                     std::uint32_t cbData, std::uint32_t* pcbActual,
                                                     JET_RETINFO* pretinfo, std::string* detail) {
  if (pretinfo == nullptr) {
    if (OpenTable* t = recentTable(theEngine(), sesid, tableid)) {
      return retrieveValue(*t, columnid, pvData, cbData, pcbActual, 1, 0, detail);
    }
  }
  return retrieveColumnInFull(sesid, tableid, columnid, pvData, cbData, pcbActual, pretinfo,
                              detail);
}

}  // namespace

JET_ERR JetRetrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                          void* pvData, std::uint32_t cbData, std::uint32_t* pcbActual,
                          JET_GRBIT grbit, JET_RETINFO* pretinfo) {
  (void)grbit;
  return retrieveColumn(sesid, tableid, columnid, pvData, cbData, pcbActual, pretinfo, nullptr);
}

namespace {

Status enumerateColumns(JET_SESID sesid, JET_TABLEID tableid, std::uint32_t cEnumColumnId,
                        const JET_ENUMCOLUMNID* rgEnumColumnId, std::uint32_t* pcEnumColumn,
                        JET_ENUMCOLUMN** prgEnumColumn, JET_PFNREALLOC pfnRealloc,
                        void* pvReallocContext, std::uint32_t cbDataMost, JET_GRBIT grbit) {
  if (pcEnumColumn != nullptr) *pcEnumColumn = 0;
  if (prgEnumColumn != nullptr) *prgEnumColumn = nullptr;
  if (pcEnumColumn == nullptr || prgEnumColumn == nullptr || pfnRealloc == nullptr ||
      (cEnumColumnId > 0 && rgEnumColumnId == nullptr)) {
    return JET_errInvalidParameter;
  }
  if ((grbit & ~JET_bitEnumerateCompressOutput) != 0) return JET_errInvalidGrbit;
  Engine& e = theEngine();
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  if (!t->on_row) return JET_errNoCurrentRecord;
  const EnumerateRequest request{cEnumColumnId, rgEnumColumnId, pfnRealloc, pvReallocContext,
                                 cbDataMost, (grbit & JET_bitEnumerateCompressOutput) != 0};
  if (!t->enumerator) t->enumerator = std::make_unique<ColumnEnumerator>();
  return t->enumerator->enumerate(*t->cursor, request, *pcEnumColumn, *prgEnumColumn);
}

}  // namespace

JET_ERR JetEnumerateColumns(JET_SESID sesid, JET_TABLEID tableid, std::uint32_t cEnumColumnId,
                            const JET_ENUMCOLUMNID* rgEnumColumnId, std::uint32_t* pcEnumColumn,
                            JET_ENUMCOLUMN** prgEnumColumn, JET_PFNREALLOC pfnRealloc,
                            void* pvReallocContext, std::uint32_t cbDataMost, JET_GRBIT grbit) {
  return enumerateColumns(sesid, tableid, cEnumColumnId, rgEnumColumnId, pcEnumColumn,
                          prgEnumColumn, pfnRealloc, pvReallocContext, cbDataMost, grbit)
      .code;
}

namespace {

Status countValues(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                   std::uint32_t* pcValues) {
  if (pcValues == nullptr) return JET_errInvalidParameter;
  *pcValues = 0;
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(theEngine(), sesid, tableid, t); err != JET_errSuccess) {
    return err;
  }
  const ColumnInfo* column = t->cursor->table().findColumn(columnid);
  if (column == nullptr) return JET_errColumnNotFound;
  if (!t->on_row) return JET_errNoCurrentRecord;
  return t->cursor->countValues(*column, *pcValues);
}

}  // namespace

JET_ERR JetGetBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark,
                       std::uint32_t cbMax, std::uint32_t* pcbActual) {
  Engine& e = theEngine();
  OpenTable* t = nullptr;
  if (JET_ERR err = findOpenTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  if (pvBookmark == nullptr && cbMax > 0) return JET_errInvalidParameter;
  if (!t->on_row) return JET_errNoCurrentRecord;
  const Bytes key = t->cursor->key();
  if (pcbActual != nullptr) *pcbActual = static_cast<std::uint32_t>(key.size());
  if (key.size() > cbMax) return JET_errBufferTooSmall;
  if (!key.empty()) std::memcpy(pvBookmark, key.data(), key.size());
  return JET_errSuccess;
}

JET_ERR JetCloseTable(JET_SESID sesid, JET_TABLEID tableid) {
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  OpenTable* t = nullptr;
  if (JET_ERR err = findTable(e, sesid, tableid, t); err != JET_errSuccess) return err;
  e.newEpoch();
  e.tables.erase(tableid);
  return JET_errSuccess;
}

JET_ERR JetTerm(JET_INSTANCE instance) {
  Engine& e = theEngine();
  std::lock_guard lock(e.mutex);
  if (!e.instances.count(instance)) return JET_errInvalidInstance;
  std::vector<JET_SESID> doomed;
  for (const auto& [id, s] : e.sessions) {
    if (s.instance == instance) doomed.push_back(id);
  }
  for (JET_SESID id : doomed) dropSession(e, id);
  e.instances.erase(instance);
  return JET_errSuccess;
}

std::string EngineJet::takeFailureDetail() {
  std::string text = std::move(detail_);
  detail_.clear();
  return text;
}

JET_ERR EngineJet::noted(const Status& status) {
  if (status.ok()) {
    if (!detail_.empty()) detail_.clear();
  } else {
    detail_ = status.text();
  }
  return status.code;
}

// EngineJet forwards to the engine's calls, keeping the detail of a failure
// and forgetting that of the call before.
JET_ERR EngineJet::getDatabaseFileInfo(const char* a, void* b, std::uint32_t c, std::uint32_t d) {
  return noted(ese::getDatabaseFileInfo(a, b, c, d));
}
JET_ERR EngineJet::setSystemParameter(JET_INSTANCE* a, JET_SESID b, std::uint32_t c,
                                      JET_API_PTR d, const char* f) {
  return noted(JetSetSystemParameter(a, b, c, d, f));
}
JET_ERR EngineJet::getSystemParameter(JET_INSTANCE a, JET_SESID b, std::uint32_t c,
                                      JET_API_PTR* d, char* f, std::uint32_t g) {
  return JetGetSystemParameter(a, b, c, d, f, g);  // keeps the detail
}
JET_ERR EngineJet::createInstance(JET_INSTANCE* a, const char* b) {
  return noted(JetCreateInstance(a, b));
}
JET_ERR EngineJet::init(JET_INSTANCE* a) { return noted(JetInit(a)); }
JET_ERR EngineJet::beginSession(JET_INSTANCE a, JET_SESID* b, const char* c, const char* d) {
  return noted(JetBeginSession(a, b, c, d));
}
JET_ERR EngineJet::attachDatabase(JET_SESID a, const char* b, JET_GRBIT c) {
  (void)c;  // every attachment is read-only: this engine never writes
  return noted(attach(a, b, options_));
}
JET_ERR EngineJet::OpenDatabase(JET_SESID a, const char* b, const char* c, JET_DBID* d,
                                JET_GRBIT f) {
  return noted(JetOpenDatabase(a, b, c, d, f));
}
JET_ERR EngineJet::OpenTable(JET_SESID a, JET_DBID b, const char* c, const void* d,
                             std::uint32_t f, JET_GRBIT g, JET_TABLEID* h) {
  return noted(JetOpenTable(a, b, c, d, f, g, h));
}
JET_ERR EngineJet::getTableColumnInfo(JET_SESID a, JET_TABLEID b, const char* c, void* d,
                                      std::uint32_t f, std::uint32_t g) {
  return noted(JetGetTableColumnInfo(a, b, c, d, f, g));
}
JET_ERR EngineJet::move(JET_SESID a, JET_TABLEID b, std::int32_t c, JET_GRBIT d) {
  (void)d;
  return noted(moveTable(a, b, c));
}
JET_ERR EngineJet::retrieveColumn(JET_SESID a, JET_TABLEID b, JET_COLUMNID c, void* d,
                                  std::uint32_t f, std::uint32_t* g, JET_GRBIT h,
                                  JET_RETINFO* i) {
  (void)h;
  if (!detail_.empty()) detail_.clear();
  return ese::retrieveColumn(a, b, c, d, f, g, i, &detail_);
}
JET_ERR EngineJet::enumerateColumns(JET_SESID a, JET_TABLEID b, std::uint32_t c,
                                    const JET_ENUMCOLUMNID* d, std::uint32_t* f,
                                    JET_ENUMCOLUMN** g, JET_PFNREALLOC h, void* i,
                                    std::uint32_t j, JET_GRBIT k) {
  return noted(ese::enumerateColumns(a, b, c, d, f, g, h, i, j, k));
}
JET_ERR EngineJet::countColumnValues(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                                     std::uint32_t* pcValues) {
  return noted(countValues(sesid, tableid, columnid, pcValues));
}
JET_ERR EngineJet::getBookmark(JET_SESID a, JET_TABLEID b, void* c, std::uint32_t d,
                               std::uint32_t* f) {
  return noted(JetGetBookmark(a, b, c, d, f));
}
JET_ERR EngineJet::closeTable(JET_SESID a, JET_TABLEID b) { return noted(JetCloseTable(a, b)); }
JET_ERR EngineJet::term(JET_INSTANCE a) { return noted(JetTerm(a)); }

}  // namespace ese
