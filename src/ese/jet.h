// SPDX-License-Identifier: Apache-2.0
// The Jet-style calls of the read-only storage engine.
//
// These are the fifteen entry points the contact store reader uses, and
// JetEnumerateColumns (a row's values in one call, for the command line's
// dump, which reads every column), with the engine's public names,
// argument order, numeric constants and status codes.
// The free functions are the engine itself (process-wide, like the DLL they
// stand in for); JetApi is the same set of calls behind an interface, so that
// callers take a JetApi& and tests can substitute one that fails on demand.
//
// Everything here is read-only: no call creates, changes or writes a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ese {

struct Status;

using JET_ERR = std::int32_t;
using JET_API_PTR = std::uintptr_t;
using JET_INSTANCE = JET_API_PTR;
using JET_SESID = JET_API_PTR;
using JET_TABLEID = JET_API_PTR;
using JET_DBID = std::uint32_t;
using JET_COLUMNID = std::uint32_t;
using JET_COLTYP = std::uint32_t;
using JET_GRBIT = std::uint32_t;

constexpr JET_INSTANCE JET_instanceNil = ~JET_INSTANCE{0};
constexpr JET_SESID JET_sesidNil = ~JET_SESID{0};
constexpr JET_TABLEID JET_tableidNil = ~JET_TABLEID{0};
constexpr JET_DBID JET_dbidNil = 0xFFFFFFFFu;

// The engine's column definition, 28 bytes as on Windows (every "unsigned
// long" there is 32 bits).
struct JET_COLUMNDEF {
  std::uint32_t cbStruct;
  JET_COLUMNID columnid;
  JET_COLTYP coltyp;
  std::uint16_t wCountry;
  std::uint16_t langid;
  std::uint16_t cp;
  std::uint16_t wCollate;
  std::uint32_t cbMax;
  JET_GRBIT grbit;
};
static_assert(sizeof(JET_COLUMNDEF) == 28);

// Options of JetRetrieveColumn: which value of a multi-valued column
// (itagSequence, 1-based; 0 behaves as 1) and where in a long value to start.
struct JET_RETINFO {
  std::uint32_t cbStruct;
  std::uint32_t ibLongValue;
  std::uint32_t itagSequence;
  JET_COLUMNID columnidNextTagged;
};
static_assert(sizeof(JET_RETINFO) == 16);

// JetEnumerateColumns: a column asked for, and which of its values
// (itagSequence numbers, 1-based; none: every value).
struct JET_ENUMCOLUMNID {
  JET_COLUMNID columnid;
  std::uint32_t ctagSequence;
  std::uint32_t* rgtagSequence;
};

// One value given by JetEnumerateColumns: its number, its status
// (JET_errSuccess, JET_wrnColumnNull for none, JET_wrnColumnTruncated when
// cut at the size asked for, JET_wrnColumnSkipped for number 0) and its
// bytes (nullptr when there are none).
struct JET_ENUMCOLUMNVALUE {
  std::uint32_t itagSequence;
  JET_ERR err;
  std::uint32_t cbData;
  void* pvData;
};

// One column given by JetEnumerateColumns. With the status
// JET_wrnColumnSingleValue the column's one value is in cbData and pvData;
// else its values are the cEnumColumnValue of rgEnumColumnValue (nullptr
// when there are none). The two pairs are separate fields rather than
// overlaid, so that reading either is always defined.
struct JET_ENUMCOLUMN {
  JET_COLUMNID columnid;
  JET_ERR err;
  std::uint32_t cEnumColumnValue;
  JET_ENUMCOLUMNVALUE* rgEnumColumnValue;
  std::uint32_t cbData;
  void* pvData;
};

// The caller's allocator for JetEnumerateColumns, as realloc: (context,
// nullptr, size) allocates, (context, block, 0) frees.
using JET_PFNREALLOC = void* (*)(void* pvContext, void* pv, std::uint32_t cb);

// The moment a database was created, to the second, as the file stores it.
struct JET_LOGTIME {
  unsigned char bSeconds, bMinutes, bHours, bDay, bMonth, bYear;  // year - 1900
  unsigned char bFiller1, bFiller2;
};
static_assert(sizeof(JET_LOGTIME) == 8);

// What tells one database apart from every other: a random number, the
// creation time and the creating computer's name (NUL-padded).
struct JET_SIGNATURE {
  std::uint32_t ulRandom;
  JET_LOGTIME logtimeCreate;
  char szComputerName[16];
};
static_assert(sizeof(JET_SIGNATURE) == 28);

// The leading members of the engine's miscellaneous database information
// (JET_DbInfoMisc); this engine offers these and no more.
struct JET_DBINFOMISC {
  std::uint32_t ulVersion;
  std::uint32_t ulUpdate;
  JET_SIGNATURE signDb;
  std::uint32_t dbstate;
};
static_assert(sizeof(JET_DBINFOMISC) == 40);

// Column types.
constexpr JET_COLTYP JET_coltypNil = 0;
constexpr JET_COLTYP JET_coltypBit = 1;
constexpr JET_COLTYP JET_coltypUnsignedByte = 2;
constexpr JET_COLTYP JET_coltypShort = 3;
constexpr JET_COLTYP JET_coltypLong = 4;
constexpr JET_COLTYP JET_coltypCurrency = 5;
constexpr JET_COLTYP JET_coltypIEEESingle = 6;
constexpr JET_COLTYP JET_coltypIEEEDouble = 7;
constexpr JET_COLTYP JET_coltypDateTime = 8;
constexpr JET_COLTYP JET_coltypBinary = 9;
constexpr JET_COLTYP JET_coltypText = 10;
constexpr JET_COLTYP JET_coltypLongBinary = 11;
constexpr JET_COLTYP JET_coltypLongText = 12;
constexpr JET_COLTYP JET_coltypUnsignedLong = 14;
constexpr JET_COLTYP JET_coltypLongLong = 15;
constexpr JET_COLTYP JET_coltypGUID = 16;
constexpr JET_COLTYP JET_coltypUnsignedShort = 17;

// Column definition bits (JET_COLUMNDEF::grbit).
constexpr JET_GRBIT JET_bitColumnFixed = 0x00000001;
constexpr JET_GRBIT JET_bitColumnTagged = 0x00000002;
constexpr JET_GRBIT JET_bitColumnNotNULL = 0x00000004;
constexpr JET_GRBIT JET_bitColumnVersion = 0x00000008;
constexpr JET_GRBIT JET_bitColumnAutoincrement = 0x00000010;
constexpr JET_GRBIT JET_bitColumnMultiValued = 0x00000400;

// System parameters.
constexpr std::uint32_t JET_paramRecovery = 34;
constexpr std::uint32_t JET_paramDatabasePageSize = 64;
constexpr std::uint32_t JET_paramErrorToString = 70;

// Info levels. JET_DbInfoPageSize gives the page size as a 4-byte number;
// JET_DbInfoMisc the header's version, signature and state (JET_DBINFOMISC).
constexpr std::uint32_t JET_DbInfoMisc = 14;
constexpr std::uint32_t JET_DbInfoPageSize = 17;
constexpr std::uint32_t JET_dbstateDirtyShutdown = 2;
constexpr std::uint32_t JET_ColInfo = 0;

// Flags.
constexpr JET_GRBIT JET_bitDbReadOnly = 0x00000001;
constexpr JET_GRBIT JET_bitTableReadOnly = 0x00000004;
constexpr JET_GRBIT JET_bitEnumerateCompressOutput = 0x00080000;

// JetMove row counts.
constexpr std::int32_t JET_MoveFirst = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t JET_MovePrevious = -1;
constexpr std::int32_t JET_MoveNext = 1;
constexpr std::int32_t JET_MoveLast = 0x7fffffff;

// Status codes: 0 success, negative errors, positive warnings.
constexpr JET_ERR JET_errSuccess = 0;
constexpr JET_ERR JET_wrnColumnNull = 1004;
constexpr JET_ERR JET_wrnBufferTruncated = 1006;
constexpr JET_ERR JET_wrnColumnSkipped = 1531;
constexpr JET_ERR JET_wrnColumnTruncated = 1534;
constexpr JET_ERR JET_wrnColumnSingleValue = 1536;
constexpr JET_ERR JET_errInvalidGrbit = -900;
constexpr JET_ERR JET_errBadPageLink = -327;
constexpr JET_ERR JET_errBadParentPageLink = -338;
constexpr JET_ERR JET_errDatabaseDirtyShutdown = -550;
constexpr JET_ERR JET_errInvalidName = -1002;
constexpr JET_ERR JET_errInvalidParameter = -1003;
constexpr JET_ERR JET_errInvalidDatabaseId = -1010;
constexpr JET_ERR JET_errOutOfMemory = -1011;
constexpr JET_ERR JET_errReadVerifyFailure = -1018;
constexpr JET_ERR JET_errPageNotInitialized = -1019;
constexpr JET_ERR JET_errDiskIO = -1022;
constexpr JET_ERR JET_errInvalidPath = -1023;
constexpr JET_ERR JET_errInvalidDatabase = -1028;
constexpr JET_ERR JET_errNotInitialized = -1029;
constexpr JET_ERR JET_errAlreadyInitialized = -1030;
constexpr JET_ERR JET_errFileAccessDenied = -1032;
constexpr JET_ERR JET_errInvalidBufferSize = -1047;
constexpr JET_ERR JET_errBufferTooSmall = -1038;
constexpr JET_ERR JET_errInvalidSesid = -1104;
constexpr JET_ERR JET_errInvalidInstance = -1115;
constexpr JET_ERR JET_errDatabaseNotFound = -1203;
constexpr JET_ERR JET_errDatabaseCorrupted = -1206;
constexpr JET_ERR JET_errPageSizeMismatch = -1213;
constexpr JET_ERR JET_errObjectNotFound = -1305;
constexpr JET_ERR JET_errInvalidTableId = -1310;
constexpr JET_ERR JET_errColumnNotFound = -1507;
constexpr JET_ERR JET_errBadColumnId = -1517;
constexpr JET_ERR JET_errNoCurrentRecord = -1603;
constexpr JET_ERR JET_errDecompressionFailed = -1620;
constexpr JET_ERR JET_errFileNotFound = -1811;
constexpr JET_ERR JET_errFileIOBeyondEOF = -4001;

// ---------------------------------------------------------------------------
// The engine's entry points. Text arguments are 8-bit (UTF-8 paths and names).

JET_ERR JetGetDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                               std::uint32_t cbMax, std::uint32_t InfoLevel);
JET_ERR JetSetSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid,
                              std::uint32_t paramid, JET_API_PTR lParam,
                              const char* szParam);
JET_ERR JetGetSystemParameter(JET_INSTANCE instance, JET_SESID sesid,
                              std::uint32_t paramid, JET_API_PTR* plParam,
                              char* szParam, std::uint32_t cbMax);
JET_ERR JetCreateInstance(JET_INSTANCE* pinstance, const char* szInstanceName);
JET_ERR JetInit(JET_INSTANCE* pinstance);
JET_ERR JetBeginSession(JET_INSTANCE instance, JET_SESID* psesid,
                        const char* szUserName, const char* szPassword);
JET_ERR JetAttachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit);
JET_ERR JetOpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                        JET_DBID* pdbid, JET_GRBIT grbit);
JET_ERR JetOpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                     const void* pvParameters, std::uint32_t cbParameters,
                     JET_GRBIT grbit, JET_TABLEID* ptableid);
JET_ERR JetGetTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid,
                              const char* szColumnName, void* pvResult,
                              std::uint32_t cbMax, std::uint32_t InfoLevel);
JET_ERR JetMove(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow, JET_GRBIT grbit);
JET_ERR JetRetrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                          void* pvData, std::uint32_t cbData, std::uint32_t* pcbActual,
                          JET_GRBIT grbit, JET_RETINFO* pretinfo);
// The values of the current row's columns in one call, in memory from the
// caller's allocator.
// - cEnumColumnId 0: every column of the table that has a value in this
//   row, by column id, each with all its values; a column the record does
//   not store gives its default value, if it has one. Null columns are left
//   out.
// - Else one column for each of rgEnumColumnId, in that order: column id 0
//   gives JET_wrnColumnSkipped, an id the table does not have
//   JET_errColumnNotFound (in that column's err; the call goes on). A
//   column with ctagSequence 0 gives all its values (none and
//   JET_wrnColumnNull when it is null); else the values numbered, each with
//   its own status.
// A value longer than cbDataMost is cut to cbDataMost bytes. grbit may be
// JET_bitEnumerateCompressOutput: a column with exactly one value, whole,
// then gives it in the column itself (JET_wrnColumnSingleValue).
// The answer is one block from pfnRealloc: the column array, then the
// columns' arrays of values, then the values' bytes. The caller frees it
// with pfnRealloc(pvReallocContext, *prgEnumColumn, 0). No column gives no
// block (*prgEnumColumn nullptr). On failure nothing is left allocated,
// *pcEnumColumn is 0 and *prgEnumColumn nullptr.
JET_ERR JetEnumerateColumns(JET_SESID sesid, JET_TABLEID tableid, std::uint32_t cEnumColumnId,
                            const JET_ENUMCOLUMNID* rgEnumColumnId, std::uint32_t* pcEnumColumn,
                            JET_ENUMCOLUMN** prgEnumColumn, JET_PFNREALLOC pfnRealloc,
                            void* pvReallocContext, std::uint32_t cbDataMost, JET_GRBIT grbit);
// The bookmark of the current row: its primary key as the index stores it,
// the same bytes on every read of the same file.
JET_ERR JetGetBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark,
                       std::uint32_t cbMax, std::uint32_t* pcbActual);
JET_ERR JetCloseTable(JET_SESID sesid, JET_TABLEID tableid);
JET_ERR JetTerm(JET_INSTANCE instance);

// The same calls behind an interface. Callers hold a JetApi&; the engine's
// own implementation is EngineJet below, tests derive their own.
class JetApi {
 public:
  virtual ~JetApi() = default;
  virtual JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult,
                                      std::uint32_t cbMax, std::uint32_t InfoLevel) = 0;
  virtual JET_ERR setSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid,
                                     std::uint32_t paramid, JET_API_PTR lParam,
                                     const char* szParam) = 0;
  virtual JET_ERR getSystemParameter(JET_INSTANCE instance, JET_SESID sesid,
                                     std::uint32_t paramid, JET_API_PTR* plParam,
                                     char* szParam, std::uint32_t cbMax) = 0;
  virtual JET_ERR createInstance(JET_INSTANCE* pinstance, const char* szInstanceName) = 0;
  virtual JET_ERR init(JET_INSTANCE* pinstance) = 0;
  virtual JET_ERR beginSession(JET_INSTANCE instance, JET_SESID* psesid,
                               const char* szUserName, const char* szPassword) = 0;
  virtual JET_ERR attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) = 0;
  virtual JET_ERR OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                               JET_DBID* pdbid, JET_GRBIT grbit) = 0;
  virtual JET_ERR OpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                            const void* pvParameters, std::uint32_t cbParameters,
                            JET_GRBIT grbit, JET_TABLEID* ptableid) = 0;
  virtual JET_ERR getTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid,
                                     const char* szColumnName, void* pvResult,
                                     std::uint32_t cbMax, std::uint32_t InfoLevel) = 0;
  virtual JET_ERR move(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow,
                       JET_GRBIT grbit) = 0;
  virtual JET_ERR retrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                                 void* pvData, std::uint32_t cbData, std::uint32_t* pcbActual,
                                 JET_GRBIT grbit, JET_RETINFO* pretinfo) = 0;
  virtual JET_ERR getBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark,
                              std::uint32_t cbMax, std::uint32_t* pcbActual) = 0;
  virtual JET_ERR closeTable(JET_SESID sesid, JET_TABLEID tableid) = 0;
  virtual JET_ERR term(JET_INSTANCE instance) = 0;
};

// What an engine can say about its latest failure beyond the status code,
// for a command line's error output: which check of the file failed and
// where, e.g. "page 1234, table Contacts: the record's variable data runs
// past its end". Apart from the calls, so that the error text the calls give
// (JET_paramErrorToString) stays the text of the code alone.
class FailureDetailSource {
 public:
  virtual ~FailureDetailSource() = default;
  // The detail of the latest failed call, or empty text when it left none.
  // Taking it forgets it, so that it is given once.
  virtual std::string takeFailureDetail() = 0;
};

// How an EngineJet reads the databases it attaches.
struct EngineOptions {
  // 1: everything on the caller's thread. More: a worker thread besides
  // reads the pages a walk comes to next, and verifies them, while the
  // caller works on the rows before them. What is read is the same either
  // way.
  unsigned threads = 1;
  // The page cache of each attached database, in bytes (at least 64 pages
  // are kept whatever this says).
  std::size_t cache_bytes = std::size_t{8} << 20;
};

// Forwards every call to the engine's free functions above, which share
// one process-wide engine; databases it attaches are read as its options
// say. It keeps the detail of its latest failed call (the free functions
// give the code alone); every call but the error-text request forgets the
// detail of the call before it.
class EngineJet final : public JetApi, public FailureDetailSource {
 public:
  EngineJet() = default;
  explicit EngineJet(const EngineOptions& options) : options_(options) {}

  std::string takeFailureDetail() override;
  JET_ERR getDatabaseFileInfo(const char* szDatabaseName, void* pvResult, std::uint32_t cbMax,
                              std::uint32_t InfoLevel) override;
  JET_ERR setSystemParameter(JET_INSTANCE* pinstance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR lParam, const char* szParam) override;
  JET_ERR getSystemParameter(JET_INSTANCE instance, JET_SESID sesid, std::uint32_t paramid,
                             JET_API_PTR* plParam, char* szParam, std::uint32_t cbMax) override;
  JET_ERR createInstance(JET_INSTANCE* pinstance, const char* szInstanceName) override;
  JET_ERR init(JET_INSTANCE* pinstance) override;
  JET_ERR beginSession(JET_INSTANCE instance, JET_SESID* psesid, const char* szUserName,
                       const char* szPassword) override;
  JET_ERR attachDatabase(JET_SESID sesid, const char* szFilename, JET_GRBIT grbit) override;
  JET_ERR OpenDatabase(JET_SESID sesid, const char* szFilename, const char* szConnect,
                       JET_DBID* pdbid, JET_GRBIT grbit) override;
  JET_ERR OpenTable(JET_SESID sesid, JET_DBID dbid, const char* szTableName,
                    const void* pvParameters, std::uint32_t cbParameters, JET_GRBIT grbit,
                    JET_TABLEID* ptableid) override;
  JET_ERR getTableColumnInfo(JET_SESID sesid, JET_TABLEID tableid, const char* szColumnName,
                             void* pvResult, std::uint32_t cbMax,
                             std::uint32_t InfoLevel) override;
  JET_ERR move(JET_SESID sesid, JET_TABLEID tableid, std::int32_t cRow,
               JET_GRBIT grbit) override;
  JET_ERR retrieveColumn(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                         void* pvData, std::uint32_t cbData, std::uint32_t* pcbActual,
                         JET_GRBIT grbit, JET_RETINFO* pretinfo) override;
  // As JetEnumerateColumns (no JetApi call: the store reader makes none).
  JET_ERR enumerateColumns(JET_SESID sesid, JET_TABLEID tableid, std::uint32_t cEnumColumnId,
                           const JET_ENUMCOLUMNID* rgEnumColumnId, std::uint32_t* pcEnumColumn,
                           JET_ENUMCOLUMN** prgEnumColumn, JET_PFNREALLOC pfnRealloc,
                           void* pvReallocContext, std::uint32_t cbDataMost, JET_GRBIT grbit);
  // The number of values `columnid` has in the current row (0: null), as
  // the record gives it, no value read: for the command line's dump, which
  // writes a column's values one by one when they cannot be read at once.
  JET_ERR countColumnValues(JET_SESID sesid, JET_TABLEID tableid, JET_COLUMNID columnid,
                            std::uint32_t* pcValues);
  JET_ERR getBookmark(JET_SESID sesid, JET_TABLEID tableid, void* pvBookmark, std::uint32_t cbMax,
                      std::uint32_t* pcbActual) override;
  JET_ERR closeTable(JET_SESID sesid, JET_TABLEID tableid) override;
  JET_ERR term(JET_INSTANCE instance) override;

 private:
  // The status's code; its detail kept, or the detail before forgotten.
  JET_ERR noted(const Status& status);

  EngineOptions options_;
  std::string detail_;
};

}  // namespace ese
