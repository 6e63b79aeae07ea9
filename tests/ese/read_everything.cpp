// SPDX-License-Identifier: Apache-2.0
#include "read_everything.h"

#include <memory>
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
  void AddNumber(std::uint64_t n) { Add(&n, sizeof n); }
  void AddText(const std::string& s) {
    AddNumber(s.size());
    Add(s.data(), s.size());
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

void Fail(ReadOutcome& outcome, JET_ERR err) {
  if (outcome.status == JET_errSuccess) outcome.status = err;
}

}  // namespace detail

using detail::Digest;
using detail::Fail;

ReadOutcome ReadThroughDatabase(const std::string& path) {
  ReadOutcome outcome;
  std::unique_ptr<Database> db;
  if (JET_ERR err = Database::Open(path, db); err != JET_errSuccess) {
    outcome.status = err;
    return outcome;
  }
  Digest digest;
  digest.AddNumber(db->header().page_size);
  for (const auto& table : db->catalog().tables()) {
    ++outcome.tables;
    digest.AddText(table->name);
    for (const ColumnInfo& c : table->columns) {
      digest.AddNumber(c.id);
      digest.AddText(c.name);
      digest.AddNumber(c.type);
    }
    TableCursor cursor(*db, table);
    JET_ERR err = cursor.MoveFirst();
    for (; err == JET_errSuccess; err = cursor.MoveNext()) {
      ++outcome.rows;
      digest.AddNumber(0xfeed);  // row mark
      for (const ColumnInfo& c : table->columns) {
        std::uint32_t count = 0;
        if ((err = cursor.CountValues(c, count)) != JET_errSuccess) break;
        digest.AddNumber(count);
        for (std::uint32_t i = 1; i <= count; ++i) {
          Bytes value;
          bool is_null = false;
          if ((err = cursor.ReadValue(c, i, value, is_null)) != JET_errSuccess) break;
          ++outcome.values;
          digest.AddNumber(is_null ? ~std::uint64_t{0} : value.size());
          digest.Add(value.data(), value.size());
        }
        if (err != JET_errSuccess) break;
      }
      if (err != JET_errSuccess) break;
    }
    if (err != JET_errNoCurrentRecord) Fail(outcome, err);
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
  JetWalk(JetApi& jet, ReadOutcome& outcome) : jet_(jet), outcome_(outcome) {}

  // Records a failing status; true when `err` is a failure.
  bool Failed(JET_ERR err) {
    if (err == JET_errSuccess) return false;
    if (outcome_.status == JET_errSuccess) outcome_.status = err;
    return true;
  }

  // Reads value `itag` of `column` into buffer_; JET_wrnColumnNull for none.
  JET_ERR Retrieve(JET_SESID ses, JET_TABLEID table, JET_COLUMNID column, std::uint32_t itag,
                   std::uint32_t& size) {
    JET_RETINFO info{sizeof(JET_RETINFO), 0, itag, 0};
    JET_ERR err = jet_.RetrieveColumn(ses, table, column, buffer_.data(),
                                      static_cast<std::uint32_t>(buffer_.size()), &size, 0,
                                      itag == 1 ? nullptr : &info);
    if (err == JET_wrnBufferTruncated) {
      buffer_.resize(size);
      err = jet_.RetrieveColumn(ses, table, column, buffer_.data(),
                                static_cast<std::uint32_t>(buffer_.size()), &size, 0,
                                itag == 1 ? nullptr : &info);
    }
    return err;
  }

  // Reads MSysObjects: tables (type 1) and their columns (type 2).
  JET_ERR ReadCatalog(JET_SESID ses, JET_DBID dbid, std::vector<CatalogTable>& tables) {
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
      err = jet_.GetTableColumnInfo(ses, cat, names[i], &def, sizeof def, JET_ColInfo);
      ids[i] = def.columnid;
    }
    for (err = err == JET_errSuccess ? jet_.Move(ses, cat, JET_MoveFirst, 0) : err;
         err == JET_errSuccess; err = jet_.Move(ses, cat, JET_MoveNext, 0)) {
      std::uint32_t values[3] = {};
      for (int i = 0; i < 3 && err == JET_errSuccess; ++i) {
        std::uint32_t size = 0;
        err = Retrieve(ses, cat, ids[i], 1, size);
        if (err == JET_wrnColumnNull) err = JET_errSuccess;
        for (std::uint32_t b = 0; b < size && b < 4; ++b) {
          values[i] |= static_cast<std::uint32_t>(static_cast<unsigned char>(buffer_[b])) << (8 * b);
        }
      }
      std::uint32_t size = 0;
      if (err == JET_errSuccess) err = Retrieve(ses, cat, ids[3], 1, size);
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
    jet_.CloseTable(ses, cat);
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
  JET_ERR ReadTable(JET_SESID ses, JET_DBID dbid, const CatalogTable& t, Digest& digest) {
    JET_TABLEID table = 0;
    if (JET_ERR err = jet_.OpenTable(ses, dbid, t.name.c_str(), nullptr, 0, JET_bitTableReadOnly,
                                     &table);
        err != JET_errSuccess) {
      return err;
    }
    ++outcome_.tables;
    digest.AddText(t.name);
    std::vector<JET_COLUMNDEF> defs;
    JET_ERR err = JET_errSuccess;
    for (std::size_t i = 0; i < t.columns.size() && err == JET_errSuccess; ++i) {
      JET_COLUMNDEF def{};
      err = jet_.GetTableColumnInfo(ses, table, t.columns[i].c_str(), &def, sizeof def,
                                    JET_ColInfo);
      if (err == JET_errSuccess) {
        defs.push_back(def);
        digest.AddText(t.columns[i]);
        digest.AddNumber(def.columnid);
        digest.AddNumber(def.coltyp);
      }
      // Older formats lack some of the catalog's own later columns.
      if (err == JET_errColumnNotFound && t.catalog) err = JET_errSuccess;
    }
    for (err = err == JET_errSuccess ? jet_.Move(ses, table, JET_MoveFirst, 0) : err;
         err == JET_errSuccess; err = jet_.Move(ses, table, JET_MoveNext, 0)) {
      ++outcome_.rows;
      digest.AddNumber(0xfeed);
      for (const JET_COLUMNDEF& def : defs) {
        const bool multi = (def.grbit & JET_bitColumnMultiValued) != 0;
        for (std::uint32_t itag = 1; err == JET_errSuccess; ++itag) {
          std::uint32_t size = 0;
          err = Retrieve(ses, table, def.columnid, itag, size);
          if (err == JET_wrnColumnNull) {
            digest.AddNumber(~std::uint64_t{0});
            err = JET_errSuccess;
            break;
          }
          if (err != JET_errSuccess) break;
          ++outcome_.values;
          digest.AddNumber(size);
          digest.Add(buffer_.data(), size);
          if (!multi) break;
        }
        if (err != JET_errSuccess) break;
      }
      if (err != JET_errSuccess) break;
    }
    jet_.CloseTable(ses, table);
    return err == JET_errNoCurrentRecord ? JET_errSuccess : err;
  }

 private:
  JetApi& jet_;
  ReadOutcome& outcome_;
  std::vector<char> buffer_ = std::vector<char>(4096);
};

}  // namespace

ReadOutcome ReadThroughJet(JetApi& jet, const std::string& path,
                           const std::function<void()>& while_open) {
  ReadOutcome outcome;
  JetWalk walk(jet, outcome);
  std::uint32_t page_size = 0;
  if (walk.Failed(jet.GetDatabaseFileInfo(path.c_str(), &page_size, sizeof page_size,
                                          JET_DbInfoPageSize)) ||
      walk.Failed(jet.SetSystemParameter(nullptr, 0, JET_paramDatabasePageSize, page_size,
                                         nullptr)) ||
      walk.Failed(jet.SetSystemParameter(nullptr, 0, JET_paramRecovery, 0, "Off"))) {
    return outcome;
  }
  JET_INSTANCE instance = 0;
  if (walk.Failed(jet.CreateInstance(&instance, "Corvadex"))) return outcome;
  JET_SESID ses = 0;
  JET_DBID dbid = 0;
  if (!walk.Failed(jet.Init(&instance)) &&
      !walk.Failed(jet.BeginSession(instance, &ses, nullptr, nullptr)) &&
      !walk.Failed(jet.AttachDatabase(ses, path.c_str(), JET_bitDbReadOnly)) &&
      !walk.Failed(jet.OpenDatabase(ses, path.c_str(), nullptr, &dbid, 0))) {
    if (while_open) while_open();
    Digest digest;
    digest.AddNumber(page_size);
    std::vector<CatalogTable> tables;
    if (!walk.Failed(walk.ReadCatalog(ses, dbid, tables))) {
      for (const CatalogTable& t : tables) walk.Failed(walk.ReadTable(ses, dbid, t, digest));
    }
    outcome.digest = digest.value();
  }
  walk.Failed(jet.Term(instance));
  return outcome;
}

}  // namespace ese::testing
