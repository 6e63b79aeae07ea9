// SPDX-License-Identifier: Apache-2.0
#include "read_everything.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "ese/database.h"

namespace ese::testing {
namespace detail {

// FNV-1a, 64 bits: cheap, order-sensitive, good enough to tell readings apart.
class Digest {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      value_ ^= p[i];
      value_ *= 0x100000001b3ull;
    }
  }
  void addNumber(std::uint64_t n) { Add(&n, sizeof n); }
  void addText(const std::string& s) {
    addNumber(s.size());
    Add(s.data(), s.size());
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

void fail(ReadOutcome& outcome, JET_ERR err) {
  if (outcome.status == JET_errSuccess) outcome.status = err;
}

}  // namespace detail

using detail::Digest;
using detail::fail;

ReadOutcome readThroughDatabase(const std::string& path) {
  ReadOutcome outcome;
  std::unique_ptr<Database> db;
  if (Status err = Database::open(path, db); !err.ok()) {
    outcome.status = err.code;
    return outcome;
  }
  Digest digest;
  digest.addNumber(db->header().page_size);
  for (const auto& table : db->catalog().tables()) {
    ++outcome.tables;
    digest.addText(table->name);
    for (const ColumnInfo& c : table->columns) {
      digest.addNumber(c.id);
      digest.addText(c.name);
      digest.addNumber(c.type);
    }
    TableCursor cursor(*db, table);
    Status err = cursor.moveFirst();
    for (; err.ok(); err = cursor.moveNext()) {
      ++outcome.rows;
      digest.addNumber(0xfeed);  // row mark
      for (const ColumnInfo& c : table->columns) {
        std::uint32_t count = 0;
        if ((err = cursor.countValues(c, count)) != JET_errSuccess) break;
        digest.addNumber(count);
        for (std::uint32_t i = 1; i <= count; ++i) {
          Bytes value;
          bool is_null = false;
          if ((err = cursor.readValue(c, i, value, is_null)) != JET_errSuccess) break;
          ++outcome.values;
          digest.addNumber(is_null ? ~std::uint64_t{0} : value.size());
          digest.Add(value.data(), value.size());
        }
        if (err != JET_errSuccess) break;
      }
      if (err != JET_errSuccess) break;
    }
    if (err != JET_errNoCurrentRecord) fail(outcome, err.code);
  }
  outcome.digest = digest.value();
  return outcome;
}

}  // namespace ese::testing

namespace ese::testing {
namespace {

// One table as the catalog lists it: name and column names.
struct CatalogTable {
  std::uint32_t objid = 0;
  std::string name;
  std::vector<std::string> columns;
  bool catalog = false;  // a catalog table, whose columns are known here
};

class JetWalk {
 public:
  JetWalk(JetApi& jet, ReadOutcome& outcome, bool enumerate)
      : jet_(jet), outcome_(outcome), enumerate_(enumerate) {}

  // Records a failing status; true when `err` is a failure.
  bool failed(JET_ERR err) {
    if (err == JET_errSuccess) return false;
    if (outcome_.status == JET_errSuccess) outcome_.status = err;
    return true;
  }

  // Reads value `itag` of `column` into buffer_; JET_wrnColumnNull for none.
  JET_ERR retrieve(JET_SESID ses, JET_TABLEID table, JET_COLUMNID column, std::uint32_t itag,
                   std::uint32_t& size) {
    JET_RETINFO info{sizeof(JET_RETINFO), 0, itag, 0};
    JET_ERR err = jet_.retrieveColumn(ses, table, column, buffer_.data(),
                                      static_cast<std::uint32_t>(buffer_.size()), &size, 0,
                                      itag == 1 ? nullptr : &info);
    if (err == JET_wrnBufferTruncated) {
      buffer_.resize(size);
      err = jet_.retrieveColumn(ses, table, column, buffer_.data(),
                                static_cast<std::uint32_t>(buffer_.size()), &size, 0,
                                itag == 1 ? nullptr : &info);
    }
    return err;
  }

  // Reads MSysObjects: tables (type 1) and their columns (type 2).
  JET_ERR readCatalog(JET_SESID ses, JET_DBID dbid, std::vector<CatalogTable>& tables) {
    JET_TABLEID cat = 0;
    if (JET_ERR err = jet_.OpenTable(ses, dbid, "MSysObjects", nullptr, 0, JET_bitTableReadOnly,
                                     &cat);
        err != JET_errSuccess) {
      return err;
    }
    JET_COLUMNID ids[4] = {};
    const char* names[4] = {"ObjidTable", "Type", "Id", "Name"};
    JET_ERR err = JET_errSuccess;
    for (int i = 0; i < 4 && err == JET_errSuccess; ++i) {
      JET_COLUMNDEF def{};
      err = jet_.getTableColumnInfo(ses, cat, names[i], &def, sizeof def, JET_ColInfo);
      ids[i] = def.columnid;
    }
    for (err = err == JET_errSuccess ? jet_.move(ses, cat, JET_MoveFirst, 0) : err;
         err == JET_errSuccess; err = jet_.move(ses, cat, JET_MoveNext, 0)) {
      std::uint32_t values[3] = {};
      for (int i = 0; i < 3 && err == JET_errSuccess; ++i) {
        std::uint32_t size = 0;
        err = retrieve(ses, cat, ids[i], 1, size);
        if (err == JET_wrnColumnNull) err = JET_errSuccess;
        for (std::uint32_t b = 0; b < size && b < 4; ++b) {
          values[i] |= static_cast<std::uint32_t>(static_cast<unsigned char>(buffer_[b])) << (8 * b);
        }
      }
      std::uint32_t size = 0;
      if (err == JET_errSuccess) err = retrieve(ses, cat, ids[3], 1, size);
      if (err == JET_wrnColumnNull) err = JET_errSuccess;
      if (err != JET_errSuccess) break;
      const std::string name(buffer_.data(), size);
      const std::uint32_t type = values[1] & 0xffff;
      if (type == 1) {
        tables.push_back({values[2], name, {}});
      } else if (type == 2) {
        for (CatalogTable& t : tables) {
          if (t.objid == values[0]) t.columns.push_back(name);
        }
      }
    }
    jet_.closeTable(ses, cat);
    // The catalog describes itself nowhere: its own columns are known.
    for (CatalogTable& t : tables) {
      if (t.name == "MSysObjects" || t.name == "MSysObjectsShadow") {
        t.catalog = true;
        t.columns = {"ObjidTable",   "Type",         "Id",
                     "ColtypOrPgnoFDP", "SpaceUsage", "Flags",
                     "PagesOrLocale", "RootFlag",     "RecordOffset",
                     "LCMapFlags",   "KeyMost",      "LVChunkMax",
                     "Name",         "Stats",        "TemplateTable",
                     "DefaultValue", "KeyFldIDs",    "VarSegMac",
                     "ConditionalColumns", "TupleLimits", "Version",
                     "SortID",       "CallbackData", "CallbackDependencies",
                     "SeparateLV",   "SpaceHints",   "SpaceDeferredLVHints",
                     "LocaleName"};
      }
    }
    return err == JET_errNoCurrentRecord ? JET_errSuccess : err;
  }

  // Walks one table; returns the first failure.
  JET_ERR readTable(JET_SESID ses, JET_DBID dbid, const CatalogTable& t, Digest& digest) {
    JET_TABLEID table = 0;
    if (JET_ERR err = jet_.OpenTable(ses, dbid, t.name.c_str(), nullptr, 0, JET_bitTableReadOnly,
                                     &table);
        err != JET_errSuccess) {
      return err;
    }
    ++outcome_.tables;
    digest.addText(t.name);
    std::vector<JET_COLUMNDEF> defs;
    JET_ERR err = JET_errSuccess;
    for (std::size_t i = 0; i < t.columns.size() && err == JET_errSuccess; ++i) {
      JET_COLUMNDEF def{};
      err = jet_.getTableColumnInfo(ses, table, t.columns[i].c_str(), &def, sizeof def,
                                    JET_ColInfo);
      if (err == JET_errSuccess) {
        defs.push_back(def);
        digest.addText(t.columns[i]);
        digest.addNumber(def.columnid);
        digest.addNumber(def.coltyp);
      }
      // Older formats lack some of the catalog's own later columns.
      if (err == JET_errColumnNotFound && t.catalog) err = JET_errSuccess;
    }
    for (err = err == JET_errSuccess ? jet_.move(ses, table, JET_MoveFirst, 0) : err;
         err == JET_errSuccess; err = jet_.move(ses, table, JET_MoveNext, 0)) {
      ++outcome_.rows;
      digest.addNumber(0xfeed);
      if (enumerate_) {
        if ((err = foldEnumeratedRow(ses, table, defs, digest)) != JET_errSuccess) break;
        continue;
      }
      for (const JET_COLUMNDEF& def : defs) {
        const bool multi = (def.grbit & JET_bitColumnMultiValued) != 0;
        for (std::uint32_t itag = 1; err == JET_errSuccess; ++itag) {
          std::uint32_t size = 0;
          err = retrieve(ses, table, def.columnid, itag, size);
          if (err == JET_wrnColumnNull) {
            digest.addNumber(~std::uint64_t{0});
            err = JET_errSuccess;
            break;
          }
          if (err != JET_errSuccess) break;
          ++outcome_.values;
          digest.addNumber(size);
          digest.Add(buffer_.data(), size);
          if (!multi) break;
        }
        if (err != JET_errSuccess) break;
      }
      if (err != JET_errSuccess) break;
    }
    jet_.closeTable(ses, table);
    return err == JET_errNoCurrentRecord ? JET_errSuccess : err;
  }

 private:
  static void* reallocate(void*, void* block, std::uint32_t size) {
    if (size == 0) {
      std::free(block);
      return nullptr;
    }
    return std::realloc(block, size);
  }

  // The row read with one JetEnumerateColumns call (the engine's own, which
  // shares its handles with EngineJet) and folded as the reading column by
  // column folds it: each column's values up to its first null, then the
  // null's mark (a single-valued column with a value has none). Rows
  // alternate between the answer's two forms.
  JET_ERR foldEnumeratedRow(JET_SESID ses, JET_TABLEID table,
                            const std::vector<JET_COLUMNDEF>& defs, Digest& digest) {
    std::uint32_t count = 0;
    JET_ENUMCOLUMN* columns = nullptr;
    const JET_GRBIT grbit = outcome_.rows % 2 == 0 ? JET_bitEnumerateCompressOutput : 0;
    JET_ERR err = JetEnumerateColumns(ses, table, 0, nullptr, &count, &columns, &reallocate,
                                      nullptr, UINT32_MAX, grbit);
    if (err != JET_errSuccess) return err;
    std::map<JET_COLUMNID, const JET_ENUMCOLUMN*> by_id;
    for (std::uint32_t i = 0; i < count; ++i) {
      // Every column once, by id, each with a value.
      if ((i > 0 && columns[i].columnid <= columns[i - 1].columnid) ||
          (columns[i].err != JET_errSuccess && columns[i].err != JET_wrnColumnSingleValue)) {
        err = JET_errInvalidParameter;
      }
      by_id[columns[i].columnid] = &columns[i];
    }
    for (const JET_COLUMNDEF& def : defs) {
      if (err != JET_errSuccess) break;
      std::vector<std::pair<const void*, std::uint32_t>> values;
      if (auto it = by_id.find(def.columnid); it != by_id.end()) {
        const JET_ENUMCOLUMN& c = *it->second;
        if (c.err == JET_wrnColumnSingleValue) values.emplace_back(c.pvData, c.cbData);
        for (std::uint32_t k = 0; c.err == JET_errSuccess && k < c.cEnumColumnValue; ++k) {
          const JET_ENUMCOLUMNVALUE& v = c.rgEnumColumnValue[k];
          if (v.err == JET_wrnColumnNull) break;
          if (v.err != JET_errSuccess) err = JET_errInvalidParameter;
          values.emplace_back(v.pvData, v.cbData);
        }
      }
      const bool multi = (def.grbit & JET_bitColumnMultiValued) != 0;
      if (!multi && values.size() > 1) values.resize(1);
      for (const auto& [data, size] : values) {
        ++outcome_.values;
        digest.addNumber(size);
        digest.Add(data, size);
      }
      if (multi || values.empty()) digest.addNumber(~std::uint64_t{0});
    }
    std::free(columns);
    return err;
  }

  JetApi& jet_;
  ReadOutcome& outcome_;
  const bool enumerate_;
  std::vector<char> buffer_ = std::vector<char>(4096);
};

}  // namespace

namespace {

ReadOutcome readWithJetCalls(JetApi& jet, const std::string& path,
                             const std::function<void()>& while_open, bool enumerate) {
  ReadOutcome outcome;
  JetWalk walk(jet, outcome, enumerate);
  std::uint32_t page_size = 0;
  if (walk.failed(jet.getDatabaseFileInfo(path.c_str(), &page_size, sizeof page_size,
                                          JET_DbInfoPageSize)) ||
      walk.failed(jet.setSystemParameter(nullptr, 0, JET_paramDatabasePageSize, page_size,
                                         nullptr)) ||
      walk.failed(jet.setSystemParameter(nullptr, 0, JET_paramRecovery, 0, "Off"))) {
    return outcome;
  }
  JET_INSTANCE instance = 0;
  if (walk.failed(jet.createInstance(&instance, "Corvadex"))) return outcome;
  JET_SESID ses = 0;
  JET_DBID dbid = 0;
  if (!walk.failed(jet.init(&instance)) &&
      !walk.failed(jet.beginSession(instance, &ses, nullptr, nullptr)) &&
      !walk.failed(jet.attachDatabase(ses, path.c_str(), JET_bitDbReadOnly)) &&
      !walk.failed(jet.OpenDatabase(ses, path.c_str(), nullptr, &dbid, 0))) {
    if (while_open) while_open();
    Digest digest;
    digest.addNumber(page_size);
    std::vector<CatalogTable> tables;
    if (!walk.failed(walk.readCatalog(ses, dbid, tables))) {
      for (const CatalogTable& t : tables) walk.failed(walk.readTable(ses, dbid, t, digest));
    }
    outcome.digest = digest.value();
  }
  walk.failed(jet.term(instance));
  return outcome;
}

}  // namespace

ReadOutcome readThroughJet(JetApi& jet, const std::string& path,
                           const std::function<void()>& while_open) {
  return readWithJetCalls(jet, path, while_open, false);
}

ReadOutcome readThroughEnumeration(const std::string& path) {
  EngineJet jet;
  return readWithJetCalls(jet, path, {}, true);
}

void makeManyLeafDatabase(const std::string& path) {
  const std::string command = "'" + std::string(CORVADEX_BIN_DIR) +
                              "/make-contacts-db' --count 3000 --page-size 4096 '" + path +
                              "' > /dev/null";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace ese::testing
