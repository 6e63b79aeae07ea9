// SPDX-License-Identifier: Apache-2.0
// corvadex-cli tables / dump: the database as the storage engine reads it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "cli_failure_detail.h"
#include "cli_printable.h"
#include "ese/error_text.h"
#include "ese/file_header.h"
#include "ese/jet.h"
#include "ese/jet_schema.h"

namespace corvadex::cli {
namespace {

constexpr const char* kTablesUsage =
    "Usage: corvadex-cli tables DATABASE\n"
    "Prints the page size, format, revision and state of an ESE database,\n"
    "then every table with its columns (id, name, type, code page).\n";

constexpr const char* kDumpUsage =
    "Usage: corvadex-cli dump DATABASE [TABLE...]\n"
    "Writes every table (or the named ones) as canonical JSON on standard\n"
    "output: columns by id, rows in primary-index order, each value a list of\n"
    "lowercase hex strings (one per value) or null.\n";

bool wantsHelp(const Args& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

// The database read through the engine's calls: attached and opened
// read-only in a session of its own, the instance ended when it goes.
class OpenedDatabase {
 public:
  explicit OpenedDatabase(unsigned threads) : jet_(ese::EngineOptions{.threads = threads}) {}
  ~OpenedDatabase() {
    if (instance_ != 0) jet_.term(instance_);
  }
  OpenedDatabase(const OpenedDatabase&) = delete;
  OpenedDatabase& operator=(const OpenedDatabase&) = delete;

  ese::JET_ERR open(const std::string& path) {
    ese::JET_ERR err = jet_.getDatabaseFileInfo(path.c_str(), &page_size_, sizeof page_size_,
                                                ese::JET_DbInfoPageSize);
    if (err == ese::JET_errSuccess) {
      err = jet_.setSystemParameter(nullptr, 0, ese::JET_paramDatabasePageSize, page_size_,
                                    nullptr);
    }
    if (err == ese::JET_errSuccess) err = jet_.createInstance(&instance_, "corvadex-cli");
    if (err == ese::JET_errSuccess) err = jet_.init(&instance_);
    if (err == ese::JET_errSuccess) err = jet_.beginSession(instance_, &session_, nullptr, nullptr);
    if (err == ese::JET_errSuccess) {
      err = jet_.attachDatabase(session_, path.c_str(), ese::JET_bitDbReadOnly);
    }
    if (err == ese::JET_errSuccess) {
      err = jet_.OpenDatabase(session_, path.c_str(), nullptr, &dbid_, ese::JET_bitDbReadOnly);
    }
    if (err == ese::JET_errSuccess) err = ese::getDatabaseTables(session_, dbid_, tables_);
    return err;
  }

  ese::EngineJet& jet() { return jet_; }
  ese::JET_SESID session() const { return session_; }
  ese::JET_DBID dbid() const { return dbid_; }
  std::uint32_t page_size() const { return page_size_; }
  const std::vector<std::shared_ptr<const ese::TableInfo>>& tables() const { return tables_; }

 private:
  ese::EngineJet jet_;
  ese::JET_INSTANCE instance_ = 0;
  ese::JET_SESID session_ = 0;
  ese::JET_DBID dbid_ = 0;
  std::uint32_t page_size_ = 0;
  std::vector<std::shared_ptr<const ese::TableInfo>> tables_;
};

// The error line, then the engine's detail of the failure (which check
// failed, on which page) as a line of its own when it has one.
int databaseError(const std::string& what, ese::JET_ERR err, ese::FailureDetailSource& engine) {
  std::fprintf(stderr, "corvadex-cli: %s: error %d - %s\n", printable(what).c_str(), err,
               ese::errorText(err).c_str());
  printFailureDetail(engine.takeFailureDetail());
  return 1;
}

void putJsonString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x80) {
          // Names are 8-bit text without a declared encoding: bytes beyond
          // ASCII are written as the code points of the same value.
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

// The dump's output: text is gathered in `text` and handed to stdout in
// pieces of about 64 KiB, so a dump of any size needs only a row's worth of
// memory beyond the engine's own.
class DumpOutput {
 public:
  explicit DumpOutput(std::FILE* file) : file_(file) { text.reserve(2 * kChunk); }

  std::string text;

  // Writes the gathered text once there is enough of it.
  void maybeFlush() {
    if (text.size() >= kChunk) flush();
  }
  // Writes all gathered text; false once any write has failed.
  bool flush() {
    if (ok_ && !text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      ok_ = false;
    }
    text.clear();
    return ok_;
  }
  // Writes the rest and flushes the stream; false when any write failed.
  bool finish() { return flush() && std::fflush(file_) == 0 && ok_; }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 16;
  std::FILE* file_;
  bool ok_ = true;
};

void putHex(std::string& out, ese::Bytes bytes) {
  static const char kDigits[] = "0123456789abcdef";
  const std::size_t at = out.size();
  out.resize(at + 2 * bytes.size() + 2);
  char* p = out.data() + at;
  *p++ = '"';
  for (std::byte b : bytes) {
    const auto v = static_cast<unsigned>(b);
    *p++ = kDigits[v >> 4];
    *p++ = kDigits[v & 15];
  }
  *p = '"';
}

// The memory JetEnumerateColumns gives a row's answer in: one block, kept
// and reused from row to row, since each answer is done with before the
// next is asked for.
class RowMemory {
 public:
  static void* Realloc(void* context, void* block, std::uint32_t size) {
    auto& self = *static_cast<RowMemory*>(context);
    if (size == 0) return nullptr;  // freed: kept for the next row
    if (size > self.size_) {
      const std::size_t units = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
      auto bigger = std::make_unique<std::max_align_t[]>(units);
      if (block != nullptr) std::memcpy(bigger.get(), block, self.size_);
      self.block_ = std::move(bigger);
      self.size_ = units * sizeof(std::max_align_t);
    }
    return self.block_.get();
  }

 private:
  std::unique_ptr<std::max_align_t[]> block_;
  std::size_t size_ = 0;
};

ese::Bytes valueBytes(const void* data, std::uint32_t size) {
  return ese::Bytes(static_cast<const std::byte*>(data), size);
}

// A column's values as JetEnumerateColumns gave them (nullptr: none, the
// column is null).
void putColumn(std::string& out, const ese::JET_ENUMCOLUMN* column) {
  if (column != nullptr && column->err == ese::JET_wrnColumnSingleValue) {
    out += "[";
    putHex(out, valueBytes(column->pvData, column->cbData));
    out += "]";
    return;
  }
  if (column == nullptr || column->cEnumColumnValue == 0) {
    out += "null";
    return;
  }
  out += "[";
  for (std::uint32_t i = 0; i < column->cEnumColumnValue; ++i) {
    const ese::JET_ENUMCOLUMNVALUE& v = column->rgEnumColumnValue[i];
    if (i > 0) out += ", ";
    putHex(out, valueBytes(v.pvData, v.cbData));
  }
  out += "]";
}

// Writes one table: the whole of each row from one JetEnumerateColumns
// call. Returns 0 or the failing status, with `where` the table and row,
// and the column when a value failed.
class TableDump {
 public:
  TableDump(OpenedDatabase& db, const ese::TableInfo& table, DumpOutput& output)
      : db_(db), t_(table), out_(output.text), output_(output) {
    // Every row repeats the column names as keys: quoted once.
    keys_.reserve(t_.columns.size());
    for (const ese::ColumnInfo& c : t_.columns) {
      std::string key;
      putJsonString(key, c.name);
      keys_.push_back(key + ": ");
    }
  }

  ese::JET_ERR rows(ese::JET_TABLEID table, std::string& where) {
    table_ = table;
    ese::EngineJet& jet = db_.jet();
    ese::JET_ERR err = jet.move(db_.session(), table_, ese::JET_MoveFirst, 0);
    std::size_t row = 0;
    for (; err == ese::JET_errSuccess; err = jet.move(db_.session(), table_, ese::JET_MoveNext, 0), ++row) {
      out_ += row == 0 ? "{" : ", {";
      std::uint32_t count = 0;
      ese::JET_ENUMCOLUMN* columns = nullptr;
      if (ese::JET_ERR e = enumerate(0, nullptr, count, columns); e != ese::JET_errSuccess) {
        return byColumn(row, e, where);
      }
      // The answer holds the columns with values, by id, as the table
      // lists them.
      std::uint32_t next = 0;
      for (std::size_t k = 0; k < t_.columns.size(); ++k) {
        if (k > 0) out_ += ", ";
        const ese::JET_COLUMNID id = t_.columns[k].id;
        while (next < count && columns[next].columnid < id) ++next;
        const ese::JET_ENUMCOLUMN* found = nullptr;
        if (next < count && columns[next].columnid == id) found = &columns[next++];
        out_ += keys_[k];
        putColumn(out_, found);
      }
      out_ += "}";
      output_.maybeFlush();
    }
    out_ += "]}";
    if (err != ese::JET_errNoCurrentRecord) {
      where = t_.name + " row " + std::to_string(row);
      return err;
    }
    return ese::JET_errSuccess;
  }

 private:
  ese::JET_ERR enumerate(std::uint32_t asked, const ese::JET_ENUMCOLUMNID* ids,
                         std::uint32_t& count, ese::JET_ENUMCOLUMN*& columns) {
    return db_.jet().enumerateColumns(db_.session(), table_, asked, ids, &count, &columns,
                                    &RowMemory::Realloc, &memory_, UINT32_MAX,
                                    ese::JET_bitEnumerateCompressOutput);
  }

  // A row whose values could not be given in one call (status `failed`):
  // written again a column and a value at a time, up to the one that
  // fails, so that the error names the column and the output ends where
  // the reading stopped.
  ese::JET_ERR byColumn(std::size_t row, ese::JET_ERR failed, std::string& where) {
    where = t_.name + " row " + std::to_string(row);
    for (std::size_t k = 0; k < t_.columns.size(); ++k) {
      if (k > 0) out_ += ", ";
      out_ += keys_[k];
      if (ese::JET_ERR e = byValue(t_.columns[k]); e != ese::JET_errSuccess) {
        where += " column " + t_.columns[k].name;
        return e;
      }
    }
    return failed;
  }

  // The values of `column`, one call each; the first failing status.
  ese::JET_ERR byValue(const ese::ColumnInfo& column) {
    std::uint32_t values = 0;
    ese::JET_ERR err = db_.jet().countColumnValues(db_.session(), table_, column.id, &values);
    if (err != ese::JET_errSuccess) return err;
    if (values == 0) {
      out_ += "null";
      return ese::JET_errSuccess;
    }
    out_ += "[";
    for (std::uint32_t i = 1; i <= values; ++i) {
      std::uint32_t itag = i;
      const ese::JET_ENUMCOLUMNID id{column.id, 1, &itag};
      std::uint32_t count = 0;
      ese::JET_ENUMCOLUMN* columns = nullptr;
      if ((err = enumerate(1, &id, count, columns)) != ese::JET_errSuccess) return err;
      if (i > 1) out_ += ", ";
      if (count == 1 && columns->cEnumColumnValue == 1) {
        const ese::JET_ENUMCOLUMNVALUE& v = columns->rgEnumColumnValue[0];
        putHex(out_, valueBytes(v.pvData, v.cbData));
      }
    }
    out_ += "]";
    return ese::JET_errSuccess;
  }

  OpenedDatabase& db_;
  const ese::TableInfo& t_;
  std::string& out_;
  DumpOutput& output_;
  std::vector<std::string> keys_;
  RowMemory memory_;
  ese::JET_TABLEID table_ = 0;
};

// Writes one table; returns 0 or the failing status.
ese::JET_ERR DumpTable(OpenedDatabase& db, const std::shared_ptr<const ese::TableInfo>& t,
                       DumpOutput& output, std::string& where) {
  std::string& out = output.text;
  out += "{\"name\": ";
  putJsonString(out, t->name);
  out += ", \"columns\": [";
  bool first = true;
  for (const ese::ColumnInfo& c : t->columns) {
    out += first ? "" : ", ";
    first = false;
    out += "{\"id\": " + std::to_string(c.id) + ", \"name\": ";
    putJsonString(out, c.name);
    out += ", \"type\": " + std::to_string(c.type) + ", \"codepage\": ";
    const bool text = c.type == ese::JET_coltypText || c.type == ese::JET_coltypLongText;
    out += text ? std::to_string(c.codepage) : "null";
    out += "}";
  }
  out += "], \"rows\": [";
  ese::JET_TABLEID table = 0;
  if (ese::JET_ERR err = ese::openDatabaseTable(db.session(), db.dbid(), t, &table);
      err != ese::JET_errSuccess) {
    where = t->name;
    return err;
  }
  const ese::JET_ERR err = TableDump(db, *t, output).rows(table, where);
  // On failure the table is left open (the instance's end closes it): a
  // further call would forget the failure's detail before it is shown.
  if (err == ese::JET_errSuccess) db.jet().closeTable(db.session(), table);
  return err;
}

}  // namespace

int runTables(const Args& args, const CommandOptions& /*options*/) {
  if (wantsHelp(args)) {
    std::fputs(kTablesUsage, stdout);
    return 0;
  }
  if (args.size() != 1) {
    std::fputs(kTablesUsage, stderr);
    return 2;
  }
  if (!refuseNonRegularFile(args[0])) return 1;
  OpenedDatabase db(1);  // the catalog alone: nothing to read ahead
  ese::JET_DBINFOMISC misc{};
  ese::JET_ERR err = db.open(args[0]);
  if (err == ese::JET_errSuccess) {
    err = db.jet().getDatabaseFileInfo(args[0].c_str(), &misc, sizeof misc, ese::JET_DbInfoMisc);
  }
  if (err != ese::JET_errSuccess) return databaseError(args[0], err, db.jet());
  std::printf("page size: %u\n", db.page_size());
  std::printf("format: 0x%x revision 0x%x\n", misc.ulVersion, misc.ulUpdate);
  std::printf("state: %s\n", ese::databaseStateText(misc.dbstate).c_str());
  for (const auto& t : db.tables()) {
    std::printf("\ntable %s (object %u, root page %u)\n", printable(t->name).c_str(), t->objid,
                t->root_pgno);
    if (!t->template_name.empty()) {
      std::printf("  template: %s\n", printable(t->template_name).c_str());
    }
    for (const ese::ColumnInfo& c : t->columns) {
      std::printf("  %5u  %-32s type %2u", c.id, printable(c.name).c_str(), c.type);
      if (c.type == ese::JET_coltypText || c.type == ese::JET_coltypLongText) {
        std::printf("  code page %u", c.codepage);
      }
      if (c.is_multi_valued()) std::printf("  multi-valued");
      if (c.has_default) std::printf("  default (%zu bytes)", c.default_value.size());
      std::printf("\n");
    }
  }
  return 0;
}

int runDump(const Args& args, const CommandOptions& options) {
  if (wantsHelp(args)) {
    std::fputs(kDumpUsage, stdout);
    return 0;
  }
  if (args.empty()) {
    std::fputs(kDumpUsage, stderr);
    return 2;
  }
  if (!refuseNonRegularFile(args[0])) return 1;
  OpenedDatabase db(options.threads);
  if (ese::JET_ERR err = db.open(args[0]); err != ese::JET_errSuccess) {
    return databaseError(args[0], err, db.jet());
  }
  std::vector<std::shared_ptr<const ese::TableInfo>> wanted;
  if (args.size() == 1) {
    wanted = db.tables();
  } else {
    for (std::size_t i = 1; i < args.size(); ++i) {
      std::shared_ptr<const ese::TableInfo> t;
      for (const auto& candidate : db.tables()) {
        if (candidate->name == args[i]) {
          t = candidate;
          break;
        }
      }
      if (!t) return databaseError("table " + args[i], ese::JET_errObjectNotFound, db.jet());
      wanted.push_back(t);
    }
  }
  // Written as it is read: a database error part-way leaves the output cut
  // short, and the exit status and the message on stderr say so.
  DumpOutput output(stdout);
  output.text = "{\"page_size\": " + std::to_string(db.page_size()) + ", \"tables\": [";
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (i > 0) output.text += ", ";
    std::string where;
    if (ese::JET_ERR err = DumpTable(db, wanted[i], output, where); err != ese::JET_errSuccess) {
      output.finish();
      return databaseError(where, err, db.jet());
    }
    if (!output.flush()) break;  // no use reading on when nothing can be written
  }
  output.text += "]}\n";
  if (!output.finish()) {
    std::fputs("corvadex-cli: cannot write the dump\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace corvadex::cli
