// SPDX-License-Identifier: Apache-2.0
// corvadex-cli tables / dump: the database as the storage engine reads it.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "cli_failure_detail.h"
#include "cli_printable.h"
#include "ese/database.h"
#include "ese/error_text.h"
#include "ese/failure_note.h"

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

// The error line, then the engine's detail of the failure (which check
// failed, on which page) as a line of its own when it has one.
int databaseError(const std::string& what, ese::JET_ERR err) {
  std::fprintf(stderr, "corvadex-cli: %s: error %d - %s\n", printable(what).c_str(), err,
               ese::errorText(err).c_str());
  const ese::FailureNote& note = ese::latestFailure();
  if (note.code == err) printFailureDetail(note.Text());
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

// Writes one table; returns 0 or the failing status.
ese::JET_ERR DumpTable(const ese::Database& db, const std::shared_ptr<const ese::TableInfo>& t,
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
  // Every row repeats the column names as keys: quote them once.
  std::vector<std::string> keys;
  keys.reserve(t->columns.size());
  for (const ese::ColumnInfo& c : t->columns) {
    std::string key;
    putJsonString(key, c.name);
    keys.push_back(key + ": ");
  }
  ese::TableCursor cursor(db, t);
  ese::JET_ERR err = cursor.moveFirst();
  std::size_t row = 0;
  for (; err == ese::JET_errSuccess; err = cursor.moveNext(), ++row) {
    out += row == 0 ? "{" : ", {";
    for (std::size_t k = 0; k < t->columns.size(); ++k) {
      const ese::ColumnInfo& c = t->columns[k];
      if (k > 0) out += ", ";
      out += keys[k];
      std::uint32_t count = 0;
      if (ese::JET_ERR e = cursor.countValues(c, count); e != ese::JET_errSuccess) {
        where = t->name + " row " + std::to_string(row) + " column " + c.name;
        return e;
      }
      if (count == 0) {
        out += "null";
        continue;
      }
      out += "[";
      for (std::uint32_t i = 1; i <= count; ++i) {
        ese::Bytes value;
        bool is_null = false;
        if (ese::JET_ERR e = cursor.readValue(c, i, value, is_null); e != ese::JET_errSuccess) {
          where = t->name + " row " + std::to_string(row) + " column " + c.name;
          return e;
        }
        if (i > 1) out += ", ";
        putHex(out, value);
      }
      out += "]";
    }
    out += "}";
    output.maybeFlush();
  }
  out += "]}";
  if (err != ese::JET_errNoCurrentRecord) {
    where = t->name + " row " + std::to_string(row);
    return err;
  }
  return ese::JET_errSuccess;
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
  std::unique_ptr<ese::Database> db;
  if (ese::JET_ERR err = ese::Database::open(args[0], db); err != ese::JET_errSuccess) {
    return databaseError(args[0], err);
  }
  const ese::FileHeader& h = db->header();
  std::printf("page size: %u\n", h.page_size);
  std::printf("format: 0x%x revision 0x%x\n", h.format_version, h.format_revision);
  std::printf("state: %s\n", ese::databaseStateText(h.state).c_str());
  for (const auto& t : db->catalog().tables()) {
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
  std::unique_ptr<ese::Database> db;
  if (ese::JET_ERR err = ese::Database::open(args[0], db, ese::DbFile::Options{.read_ahead_thread = options.threads > 1}); err != ese::JET_errSuccess) {
    return databaseError(args[0], err);
  }
  std::vector<std::shared_ptr<const ese::TableInfo>> wanted;
  if (args.size() == 1) {
    wanted = db->catalog().tables();
  } else {
    for (std::size_t i = 1; i < args.size(); ++i) {
      auto t = db->catalog().find(args[i]);
      if (!t) return databaseError("table " + args[i], ese::JET_errObjectNotFound);
      wanted.push_back(t);
    }
  }
  // Written as it is read: a database error part-way leaves the output cut
  // short, and the exit status and the message on stderr say so.
  DumpOutput output(stdout);
  output.text = "{\"page_size\": " + std::to_string(db->header().page_size) + ", \"tables\": [";
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (i > 0) output.text += ", ";
    std::string where;
    if (ese::JET_ERR err = DumpTable(*db, wanted[i], output, where); err != ese::JET_errSuccess) {
      output.finish();
      return databaseError(where, err);
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
