// SPDX-License-Identifier: Apache-2.0
// The Jet calls: the read sequence of the contact store reader, statuses
// for every kind of bad input, and handle checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ese/database.h"
#include "ese/error_text.h"
#include "ese/jet.h"
#include "file_io.h"
#include "page_patch.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese {
namespace {

using testing::patchPage;
using testing::put16;
using corvadex::testing::readFileBytes;
using corvadex::testing::eseSample;
using corvadex::testing::eseSampleNames;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

// An attached, opened database with one table open, torn down at the end.
class JetSession {
 public:
  explicit JetSession(const std::string& path, std::uint32_t page_size = 4096) : path_(path) {
    EXPECT_EQ(JetSetSystemParameter(nullptr, 0, JET_paramDatabasePageSize, page_size, nullptr), 0);
    EXPECT_EQ(JetSetSystemParameter(nullptr, 0, JET_paramRecovery, 0, "Off"), 0);
    EXPECT_EQ(JetCreateInstance(&instance_, "Corvadex"), 0);
    EXPECT_EQ(JetInit(&instance_), 0);
    EXPECT_EQ(JetBeginSession(instance_, &session_, nullptr, nullptr), 0);
  }
  ~JetSession() {
    if (instance_ != 0) JetTerm(instance_);
  }
  JET_ERR attach() { return JetAttachDatabase(session_, path_.c_str(), JET_bitDbReadOnly); }
  JET_ERR open() {
    if (JET_ERR err = attach(); err != 0) return err;
    return JetOpenDatabase(session_, path_.c_str(), nullptr, &dbid_, 0);
  }
  JET_ERR OpenTable(const char* name) {
    return JetOpenTable(session_, dbid_, name, nullptr, 0, JET_bitTableReadOnly, &table_);
  }
  JET_COLUMNID Column(const char* name) {
    JET_COLUMNDEF def{};
    def.cbStruct = sizeof def;
    EXPECT_EQ(JetGetTableColumnInfo(session_, table_, name, &def, sizeof def, JET_ColInfo), 0)
        << name;
    return def.columnid;
  }
  JET_ERR retrieve(JET_COLUMNID column, std::vector<std::uint8_t>& buffer, std::uint32_t& actual,
                   JET_RETINFO* info = nullptr) {
    return JetRetrieveColumn(session_, table_, column, buffer.data(),
                             static_cast<std::uint32_t>(buffer.size()), &actual, 0, info);
  }
  JET_ERR move(std::int32_t rows) { return JetMove(session_, table_, rows, 0); }
  JET_ERR term() {
    const JET_ERR err = JetTerm(instance_);
    instance_ = 0;
    return err;
  }

  std::string path_;
  JET_INSTANCE instance_ = 0;
  JET_SESID session_ = 0;
  JET_DBID dbid_ = 0;
  JET_TABLEID table_ = 0;
};

std::string hex(const std::vector<std::uint8_t>& bytes, std::size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += kDigits[bytes[i] >> 4];
    s += kDigits[bytes[i] & 15];
  }
  return s;
}

TEST(JetCalls, CatalogScanAsTheStoreReaderDoesIt) {
  std::uint32_t page_size = 0;
  ASSERT_EQ(JetGetDatabaseFileInfo(eseSample("text").c_str(), &page_size, 4, JET_DbInfoPageSize), 0);
  EXPECT_EQ(page_size, 4096u);
  JetSession s(eseSample("text"), page_size);
  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("MSysObjects"), 0);
  const JET_COLUMNID type = s.Column("Type");
  const JET_COLUMNID name = s.Column("Name");
  std::vector<std::string> tables;
  std::vector<std::uint8_t> type_buffer(2);
  std::vector<std::uint8_t> name_buffer(256);
  JET_ERR err = s.move(JET_MoveFirst);
  for (; err == 0; err = s.move(JET_MoveNext)) {
    std::uint32_t actual = 0;
    ASSERT_EQ(s.retrieve(type, type_buffer, actual), 0);
    if (type_buffer[0] != 1 || type_buffer[1] != 0) continue;
    ASSERT_EQ(s.retrieve(name, name_buffer, actual), 0);
    tables.emplace_back(reinterpret_cast<const char*>(name_buffer.data()), actual);
  }
  EXPECT_EQ(err, JET_errNoCurrentRecord);
  EXPECT_EQ(tables, (std::vector<std::string>{"MSysObjects", "MSysObjectsShadow", "MSysObjids",
                                              "MSysLocales", "text"}));
  EXPECT_EQ(s.move(JET_MoveNext), JET_errNoCurrentRecord) << "still past the end";
  EXPECT_EQ(JetCloseTable(s.session_, s.table_), 0);
  EXPECT_EQ(s.term(), 0);
}

TEST(JetCalls, RetrieveStatusesNullTruncationAndDates) {
  JetSession s(eseSample("basic"));
  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("basic"), 0);
  ASSERT_EQ(s.move(JET_MoveFirst), 0);
  ASSERT_EQ(s.move(JET_MoveNext), 0);  // the second row has nulls
  std::vector<std::uint8_t> buffer(16, 0xcc);
  std::uint32_t actual = 99;
  EXPECT_EQ(s.retrieve(s.Column("GUID"), buffer, actual), JET_wrnColumnNull);
  EXPECT_EQ(actual, 0u);

  ASSERT_EQ(s.move(JET_MoveFirst), 0);
  EXPECT_EQ(s.retrieve(s.Column("DateTime"), buffer, actual), 0);
  EXPECT_EQ(actual, 8u);
  EXPECT_EQ(hex(buffer, 8), "0000000080afe140") << "the stored 8 bytes";

  std::vector<std::uint8_t> small(5, 0);
  EXPECT_EQ(s.retrieve(s.Column("GUID"), small, actual), JET_wrnBufferTruncated);
  EXPECT_EQ(actual, 16u) << "the full size";
  EXPECT_EQ(hex(small, 5), "f10a363f66") << "what fits";

  std::vector<std::uint8_t> none;
  EXPECT_EQ(s.retrieve(s.Column("Long"), none, actual), JET_wrnBufferTruncated);
  EXPECT_EQ(actual, 4u);

  EXPECT_EQ(s.retrieve(4000, buffer, actual), JET_errColumnNotFound);
  JET_COLUMNDEF def{};
  EXPECT_EQ(JetGetTableColumnInfo(s.session_, s.table_, "NoSuchColumn", &def, sizeof def, 0),
            JET_errColumnNotFound);
  EXPECT_EQ(JetGetTableColumnInfo(s.session_, s.table_, "Long", &def, 20, 0),
            JET_errInvalidBufferSize);
  ASSERT_EQ(JetGetTableColumnInfo(s.session_, s.table_, "Long", &def, sizeof def, 0), 0);
  EXPECT_EQ(def.cbStruct, 28u);
  EXPECT_EQ(def.coltyp, JET_coltypLong);
  EXPECT_EQ(def.grbit & JET_bitColumnFixed, JET_bitColumnFixed);
}

TEST(JetCalls, MultiValuedColumnsGiveTheFirstValueOrTheOneAsked) {
  JetSession s(eseSample("multi"));
  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("multi"), 0);
  ASSERT_EQ(s.move(JET_MoveFirst), 0);
  const JET_COLUMNID column = s.Column("Short");
  std::vector<std::uint8_t> buffer(2);
  std::uint32_t actual = 0;
  ASSERT_EQ(s.retrieve(column, buffer, actual), 0);
  EXPECT_EQ(hex(buffer, 2), "0000");
  JET_RETINFO info{sizeof(JET_RETINFO), 0, 3, 0};
  ASSERT_EQ(s.retrieve(column, buffer, actual, &info), 0);
  EXPECT_EQ(hex(buffer, 2), "ff7f");
  info.itagSequence = 4;
  EXPECT_EQ(s.retrieve(column, buffer, actual, &info), JET_wrnColumnNull);
  JET_COLUMNDEF def{};
  ASSERT_EQ(JetGetTableColumnInfo(s.session_, s.table_, "Short", &def, sizeof def, 0), 0);
  EXPECT_EQ(def.grbit & (JET_bitColumnMultiValued | JET_bitColumnTagged),
            JET_bitColumnMultiValued | JET_bitColumnTagged);
}

// An allocator for JetEnumerateColumns that counts the blocks it holds and
// refuses once `left` allocations are used up (negative: never).
struct CountingAllocator {
  int live = 0;
  int left = -1;
  static void* Realloc(void* context, void* block, std::uint32_t size) {
    auto* self = static_cast<CountingAllocator*>(context);
    if (size == 0) {
      if (block != nullptr) --self->live;
      std::free(block);
      return nullptr;
    }
    if (block != nullptr || self->left == 0) return nullptr;
    if (self->left > 0) --self->left;
    ++self->live;
    return std::malloc(size);
  }
};

// The columns and values asked for, each with its status, cut at the size
// asked for; bad arguments and a failing allocator leave nothing behind.
// (That every value of every row is enumerated as JetRetrieveColumn reads
// it is checked on every sample and every damaged copy by the damage tests.)
TEST(JetCalls, EnumerateColumnsGivesWhatIsAskedAndLeavesNothingOnFailure) {
  JetSession s(eseSample("multi"));
  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("multi"), 0);
  const JET_COLUMNID shorts = s.Column("Short");
  CountingAllocator memory;
  std::uint32_t count = 99;
  JET_ENUMCOLUMN* columns = nullptr;
  auto enumerate = [&](std::uint32_t n, const JET_ENUMCOLUMNID* ids, std::uint32_t most,
                       JET_GRBIT grbit) {
    return JetEnumerateColumns(s.session_, s.table_, n, ids, &count, &columns,
                               &CountingAllocator::Realloc, &memory, most, grbit);
  };
  ASSERT_EQ(s.move(JET_MoveFirst), 0);

  // Skipped, unknown, every value, and values by number: all cut to 1 byte.
  std::uint32_t numbers[] = {0, 1, 3, 4};
  const JET_ENUMCOLUMNID asked[] = {{0, 0, nullptr}, {4000, 0, nullptr}, {shorts, 0, nullptr},
                                    {shorts, 4, numbers}};
  ASSERT_EQ(enumerate(4, asked, 1, JET_bitEnumerateCompressOutput), 0);
  EXPECT_EQ(memory.live, 1);
  ASSERT_EQ(count, 4u);
  EXPECT_EQ(columns[0].err, JET_wrnColumnSkipped);
  EXPECT_EQ(columns[1].err, JET_errColumnNotFound);
  EXPECT_EQ(columns[1].columnid, 4000u);
  auto first_byte = [&](std::uint32_t itag) {
    std::vector<std::uint8_t> buffer(2);
    std::uint32_t actual = 0;
    JET_RETINFO info{sizeof(JET_RETINFO), 0, itag, 0};
    EXPECT_EQ(s.retrieve(shorts, buffer, actual, &info), 0);
    return buffer[0];
  };
  struct Want {
    std::uint32_t itag;
    JET_ERR err;
  };
  const std::vector<Want> every = {{1, JET_wrnColumnTruncated}, {2, JET_wrnColumnTruncated},
                                   {3, JET_wrnColumnTruncated}};
  const std::vector<Want> numbered = {{0, JET_wrnColumnSkipped}, {1, JET_wrnColumnTruncated},
                                      {3, JET_wrnColumnTruncated}, {4, JET_wrnColumnNull}};
  for (const auto& [at, wants] : {std::pair{2, every}, {3, numbered}}) {
    const JET_ENUMCOLUMN& c = columns[at];
    EXPECT_EQ(c.err, JET_errSuccess) << "a cut value is never given in the column itself";
    ASSERT_EQ(c.cEnumColumnValue, wants.size()) << at;
    for (std::size_t k = 0; k < wants.size(); ++k) {
      const JET_ENUMCOLUMNVALUE& v = c.rgEnumColumnValue[k];
      EXPECT_EQ(v.itagSequence, wants[k].itag) << at << " " << k;
      EXPECT_EQ(v.err, wants[k].err) << at << " " << k;
      const bool has_bytes = v.err == JET_wrnColumnTruncated;
      ASSERT_EQ(v.cbData, has_bytes ? 1u : 0u) << at << " " << k;
      if (has_bytes) {
        EXPECT_EQ(*static_cast<std::uint8_t*>(v.pvData), first_byte(v.itagSequence));
      }
    }
  }
  CountingAllocator::Realloc(&memory, columns, 0);
  EXPECT_EQ(memory.live, 0);

  // Every column whole: a single value in the column itself, several in an
  // array, as many as JetRetrieveColumn finds.
  ASSERT_EQ(enumerate(0, nullptr, 1 << 20, JET_bitEnumerateCompressOutput), 0);
  ASSERT_GT(count, 1u);
  for (std::uint32_t i = 0; i < count; ++i) {
    const JET_ENUMCOLUMN& c = columns[i];
    std::uint32_t values = 0;
    std::vector<std::uint8_t> buffer(4096);
    std::uint32_t actual = 0;
    for (JET_RETINFO info{sizeof(JET_RETINFO), 0, 1, 0};
         s.retrieve(c.columnid, buffer, actual, &info) == 0; ++info.itagSequence) {
      ++values;
    }
    EXPECT_EQ(c.err, values == 1 ? JET_wrnColumnSingleValue : JET_errSuccess) << c.columnid;
    EXPECT_EQ(c.cEnumColumnValue, values == 1 ? 0u : values) << c.columnid;
  }
  CountingAllocator::Realloc(&memory, columns, 0);

  // Bad arguments, and a failing allocator.
  const JET_ENUMCOLUMNID no_numbers[] = {{shorts, 2, nullptr}};
  struct Bad {
    const char* what;
    std::uint32_t n;
    const JET_ENUMCOLUMNID* ids;
    JET_GRBIT grbit;
    int allocations;
    JET_ERR want;
  };
  for (const Bad& bad : {Bad{"no column list", 1, nullptr, 0, -1, JET_errInvalidParameter},
                         Bad{"no value numbers", 1, no_numbers, 0, -1, JET_errInvalidParameter},
                         Bad{"an unknown option", 0, nullptr, 0x1, -1, JET_errInvalidGrbit},
                         Bad{"no memory at all", 0, nullptr, 0, 0, JET_errOutOfMemory}}) {
    memory.left = bad.allocations;
    count = 99;
    columns = reinterpret_cast<JET_ENUMCOLUMN*>(&memory);
    EXPECT_EQ(enumerate(bad.n, bad.ids, 100, bad.grbit), bad.want) << bad.what;
    EXPECT_EQ(count, 0u) << bad.what;
    EXPECT_EQ(columns, nullptr) << bad.what;
    EXPECT_EQ(memory.live, 0) << bad.what;
  }
  memory.left = -1;
  EXPECT_EQ(JetEnumerateColumns(s.session_, s.table_, 0, nullptr, nullptr, &columns,
                                &CountingAllocator::Realloc, &memory, 100, 0),
            JET_errInvalidParameter);
  EXPECT_EQ(JetEnumerateColumns(s.session_, s.table_, 0, nullptr, &count, &columns, nullptr,
                                nullptr, 100, 0),
            JET_errInvalidParameter);
  ASSERT_EQ(s.move(JET_MoveLast), 0);
  EXPECT_EQ(s.move(JET_MoveNext), JET_errNoCurrentRecord);
  EXPECT_EQ(enumerate(0, nullptr, 100, 0), JET_errNoCurrentRecord);
  ASSERT_EQ(JetCloseTable(s.session_, s.table_), 0);
  EXPECT_EQ(enumerate(0, nullptr, 100, 0), JET_errInvalidTableId);
  EXPECT_EQ(memory.live, 0);
}

TEST(JetCalls, TablesThatCannotBeOpened) {
  JetSession s(eseSample("basic"));
  ASSERT_EQ(s.open(), 0);
  EXPECT_EQ(s.OpenTable(""), JET_errInvalidName);
  EXPECT_EQ(s.OpenTable(nullptr), JET_errInvalidName);
  EXPECT_EQ(s.OpenTable("SimpleContact-"), JET_errObjectNotFound);
  EXPECT_EQ(JetOpenTable(s.session_, s.dbid_ + 1000, "basic", nullptr, 0, 0, &s.table_),
            JET_errInvalidDatabaseId);
  JET_DBID other = 0;
  EXPECT_EQ(JetOpenDatabase(s.session_, "/not/attached.edb", nullptr, &other, 0),
            JET_errDatabaseNotFound);
}

TEST(JetCalls, StaleAndForeignHandlesAreRefused) {
  JetSession s(eseSample("basic"));
  EXPECT_EQ(JetBeginSession(s.instance_ + 12345, &s.session_, nullptr, nullptr),
            JET_errInvalidInstance);
  JET_INSTANCE fresh = 0;
  ASSERT_EQ(JetCreateInstance(&fresh, "second"), 0);
  JET_SESID unused = 0;
  EXPECT_EQ(JetBeginSession(fresh, &unused, nullptr, nullptr), JET_errNotInitialized);
  EXPECT_EQ(JetInit(&fresh), 0);
  EXPECT_EQ(JetInit(&fresh), JET_errAlreadyInitialized);
  EXPECT_EQ(JetTerm(fresh), 0);

  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("basic"), 0);
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t actual = 0;
  // A table id given as session, a session given as table id.
  EXPECT_EQ(JetMove(s.table_, s.table_, JET_MoveFirst, 0), JET_errInvalidSesid);
  EXPECT_EQ(JetMove(s.session_, s.session_, JET_MoveFirst, 0), JET_errInvalidTableId);
  EXPECT_EQ(JetRetrieveColumn(s.session_, JET_tableidNil, 1, buffer.data(), 8, &actual, 0, nullptr),
            JET_errInvalidTableId);

  const JET_TABLEID closed = s.table_;
  ASSERT_EQ(JetCloseTable(s.session_, closed), 0);
  EXPECT_EQ(JetCloseTable(s.session_, closed), JET_errInvalidTableId);
  EXPECT_EQ(JetMove(s.session_, closed, JET_MoveNext, 0), JET_errInvalidTableId);

  ASSERT_EQ(s.OpenTable("basic"), 0);
  const JET_SESID session = s.session_;
  const JET_TABLEID table = s.table_;
  const JET_INSTANCE instance = s.instance_;
  ASSERT_EQ(s.term(), 0);
  EXPECT_EQ(JetMove(session, table, JET_MoveFirst, 0), JET_errInvalidSesid);
  EXPECT_EQ(JetTerm(instance), JET_errInvalidInstance);
}

TEST(JetCalls, EachKindOfBadFileHasItsOwnStatus) {
  TempFolder dir;
  std::uint32_t page_size = 0;
  EXPECT_EQ(JetGetDatabaseFileInfo(dir.File("missing.edb").c_str(), &page_size, 4, 17),
            JET_errFileNotFound);
  EXPECT_EQ(JetGetDatabaseFileInfo(dir.path().c_str(), &page_size, 4, 17), JET_errInvalidPath);

  const std::string text = dir.File("notes.edb");
  writeFile(text, std::vector<std::uint8_t>(5000, 'x'));
  EXPECT_EQ(JetGetDatabaseFileInfo(text.c_str(), &page_size, 4, 17), JET_errInvalidDatabase);
  {
    JetSession s(text);
    EXPECT_EQ(s.attach(), JET_errInvalidDatabase);
  }

  const auto image = readFileBytes(eseSample("basic"));
  const std::string truncated = dir.File("truncated.edb");
  writeFile(truncated, std::vector<std::uint8_t>(image.begin(), image.begin() + 4 * 4096));
  {
    JetSession s(truncated);
    EXPECT_EQ(s.attach(), JET_errFileIOBeyondEOF);
  }

  auto damaged = image;
  damaged[5 * 4096 + 1234] ^= 0x08;  // the catalog's root page
  const std::string corrupt = dir.File("corrupt.edb");
  writeFile(corrupt, damaged);
  {
    JetSession s(corrupt);
    EXPECT_EQ(s.attach(), JET_errReadVerifyFailure);
  }
  {
    JetSession s(eseSample("basic"), 8192);
    EXPECT_EQ(s.attach(), JET_errPageSizeMismatch);
  }
}

// A copy of the sample "basic" in `dir` whose table's root page has `tags`
// tags (its header's tag count changed, the checksum made valid); the
// root's page number in `root`.
std::string withRootTags(const TempFolder& dir, std::uint16_t tags, std::uint32_t& root) {
  std::unique_ptr<Database> db;
  EXPECT_EQ(Database::open(eseSample("basic"), db), 0);
  root = db->catalog().find("basic")->root_pgno;
  db.reset();
  auto image = readFileBytes(eseSample("basic"));
  patchPage(image, 4096, root, [tags](std::uint8_t* page) { put16(page + 34, tags); });
  const std::string path = dir.File("patched.edb");
  writeFile(path, image);
  return path;
}

TEST(JetCalls, MoveFirstOnAnEmptyTableHasNoCurrentRecord) {
  TempFolder dir;
  std::uint32_t root = 0;
  const std::string path = withRootTags(dir, 1, root);

  JetSession s(path);
  ASSERT_EQ(s.open(), 0);
  ASSERT_EQ(s.OpenTable("basic"), 0);
  EXPECT_EQ(s.move(JET_MoveFirst), JET_errNoCurrentRecord);
  EXPECT_EQ(s.move(JET_MoveNext), JET_errNoCurrentRecord);
  std::vector<std::uint8_t> buffer(4);
  std::uint32_t actual = 0;
  EXPECT_EQ(s.retrieve(s.Column("Id"), buffer, actual), JET_errNoCurrentRecord);
}

// The detail of a failure belongs to the EngineJet whose call failed: calls
// on another one, here and on another thread, leave it; the same engine's
// next call forgets it, except the error-text request; it is given once.
// The free Jet calls give the same code.
TEST(JetCalls, EachEngineKeepsTheDetailOfItsOwnLatestFailure) {
  TempFolder dir;
  std::uint32_t root = 0;
  const std::string path = withRootTags(dir, 2000, root);  // more than the page holds
  const std::string detail =
      "page " + std::to_string(root) + ", table basic: the tag array does not fit in the page";

  JetSession damaged(path);
  ASSERT_EQ(damaged.open(), 0);
  ASSERT_EQ(damaged.OpenTable("basic"), 0);
  JetSession intact(eseSample("basic"));
  ASSERT_EQ(intact.open(), 0);
  ASSERT_EQ(intact.OpenTable("basic"), 0);
  EngineJet failing;
  EngineJet other;
  auto fail = [&] {
    return failing.move(damaged.session_, damaged.table_, JET_MoveFirst, 0);
  };
  ASSERT_EQ(fail(), JET_errDatabaseCorrupted);
  EXPECT_EQ(other.move(intact.session_, intact.table_, JET_MoveFirst, 0), 0);
  std::thread([&] { EXPECT_EQ(other.move(intact.session_, intact.table_, JET_MoveNext, 0), 0); })
      .join();
  EXPECT_EQ(other.takeFailureDetail(), "");
  EXPECT_EQ(failing.takeFailureDetail(), detail);
  EXPECT_EQ(failing.takeFailureDetail(), "") << "given once";

  ASSERT_EQ(fail(), JET_errDatabaseCorrupted);
  char text[256];
  JET_API_PTR code = static_cast<JET_API_PTR>(static_cast<std::intptr_t>(JET_errDatabaseCorrupted));
  EXPECT_EQ(failing.getSystemParameter(0, 0, JET_paramErrorToString, &code, text, sizeof text), 0);
  EXPECT_EQ(failing.takeFailureDetail(), detail) << "kept past the error-text request";

  ASSERT_EQ(fail(), JET_errDatabaseCorrupted);
  JET_COLUMNDEF def{};
  EXPECT_EQ(failing.getTableColumnInfo(damaged.session_, damaged.table_, "Id", &def, sizeof def,
                                       JET_ColInfo),
            0);
  EXPECT_EQ(failing.takeFailureDetail(), "") << "forgotten by the next call";

  EXPECT_EQ(JetMove(damaged.session_, damaged.table_, JET_MoveFirst, 0), JET_errDatabaseCorrupted);
}

TEST(JetCalls, ErrorToStringFillsTheCallersBuffer) {
  char text[256];
  std::memset(text, 'z', sizeof text);
  JET_API_PTR code = static_cast<JET_API_PTR>(static_cast<std::intptr_t>(JET_errNoCurrentRecord));
  ASSERT_EQ(JetGetSystemParameter(0, 0, JET_paramErrorToString, &code, text, sizeof text), 0);
  EXPECT_EQ(std::string(text), errorText(JET_errNoCurrentRecord));

  char tiny[4];
  EXPECT_EQ(JetGetSystemParameter(0, 0, JET_paramErrorToString, &code, tiny, sizeof tiny),
            JET_wrnBufferTruncated);
  EXPECT_EQ(std::strlen(tiny), 3u);
}

TEST(JetCalls, EngineJetForwardsToTheEngine) {
  EngineJet jet;
  std::uint32_t page_size = 0;
  EXPECT_EQ(jet.getDatabaseFileInfo(eseSample("index").c_str(), &page_size, 4, 17), 0);
  EXPECT_EQ(page_size, 4096u);
  EXPECT_EQ(jet.term(JET_instanceNil), JET_errInvalidInstance);
}

}  // namespace
}  // namespace ese
