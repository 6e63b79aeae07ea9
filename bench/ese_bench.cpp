// SPDX-License-Identifier: Apache-2.0
// Storage engine benchmark: how fast a whole database file is read.
//
//   ese_bench [--runs N] [--threads N] [--walk-only] [--by value|enum] DATABASE...
//
// For each database, in one run:
//   cat    `cat DATABASE > /dev/null`, once to bring the file into the page
//          cache and then timed: the floor any reader of the file faces;
//   dump   `corvadex-cli dump DATABASE > /dev/null`: every table as JSON;
//   read   `corvadex-cli read DATABASE > /dev/null`: the contacts listed;
//   walk   in this process, through the Jet calls: every table found
//          through MSysObjects, opened, walked with JetMove, and every value
//          of every column of every row read with JetRetrieveColumn, the way
//          the contact store reader (read, the window) reads its table;
//   enum   the same walk, each row's values all given by one
//          JetEnumerateColumns call, into memory from a bump allocator, the
//          way dump reads every table.
// Each is run N times (default 5) and the fastest run is reported, as MB/s of
// database file and rows/s, with each time as a multiple of cat's. --walk-only times the walk alone (for a profiler). --threads N
// (default 1) walks with the engine's options for N threads: more than one
// adds the worker that reads pages ahead. The walks count the same rows,
// values and bytes, or the benchmark fails. --by times one walk alone.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ese/error_text.h"
#include "ese/jet.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// Runs a shell command with its output thrown away; its time, or a negative
// number when it did not exit with status 0.
double timeCommand(const std::string& command) {
  const auto start = Clock::now();
  const int status = std::system((command + " > /dev/null").c_str());
  const auto elapsed = Clock::now() - start;
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return seconds(elapsed);
}

// How a walk reads a row's values.
enum class By { kValue, kEnumeration };

// Memory for one row's enumeration: blocks are handed out in order from one
// buffer, and all of them taken back at once before the next row. A block
// that does not fit comes from the heap until then.
class RowArena {
 public:
  static void* Allocate(void* context, void* block, std::uint32_t size) {
    auto* arena = static_cast<RowArena*>(context);
    if (block != nullptr) return nullptr;  // freed with the row; never resized
    return arena->take(size);
  }
  void Reset() {
    used_ = 0;
    for (void* p : spilled_) std::free(p);
    spilled_.clear();
  }
  ~RowArena() { Reset(); }

 private:
  void* take(std::size_t size) {
    const std::size_t at = (used_ + 15) & ~std::size_t{15};
    if (at + size <= buffer_.size()) {
      used_ = at + size;
      return buffer_.data() + at;
    }
    void* p = std::malloc(size);
    if (p != nullptr) spilled_.push_back(p);
    return p;
  }
  std::vector<std::byte> buffer_ = std::vector<std::byte>(std::size_t{1} << 20);
  std::size_t used_ = 0;
  std::vector<void*> spilled_;
};

struct Walk {
  ese::JET_ERR status = ese::JET_errSuccess;
  std::uint64_t rows = 0;
  std::uint64_t values = 0;
  std::uint64_t bytes = 0;
};

class JetWalker {
 public:
  JetWalker(ese::JetApi& jet, By by) : jet_(jet), by_(by) {}

  Walk Run(const std::string& path) {
    Walk walk;
    std::uint32_t page_size = 0;
    if (fail(walk, jet_.getDatabaseFileInfo(path.c_str(), &page_size, sizeof page_size,
                                            ese::JET_DbInfoPageSize)) ||
        fail(walk, jet_.setSystemParameter(nullptr, 0, ese::JET_paramDatabasePageSize, page_size,
                                           nullptr)) ||
        fail(walk, jet_.setSystemParameter(nullptr, 0, ese::JET_paramRecovery, 0, "Off"))) {
      return walk;
    }
    ese::JET_INSTANCE instance = 0;
    if (fail(walk, jet_.createInstance(&instance, "Corvadex"))) return walk;
    ese::JET_SESID ses = 0;
    ese::JET_DBID dbid = 0;
    if (!fail(walk, jet_.init(&instance)) &&
        !fail(walk, jet_.beginSession(instance, &ses, nullptr, nullptr)) &&
        !fail(walk, jet_.attachDatabase(ses, path.c_str(), ese::JET_bitDbReadOnly)) &&
        !fail(walk, jet_.OpenDatabase(ses, path.c_str(), nullptr, &dbid, 0))) {
      std::vector<Table> tables;
      if (!fail(walk, readCatalog(ses, dbid, tables))) {
        for (const Table& t : tables) {
          if (fail(walk, walkTable(ses, dbid, t, walk))) break;
        }
      }
    }
    fail(walk, jet_.term(instance));
    return walk;
  }

 private:
  struct Table {
    std::uint32_t objid = 0;
    std::string name;
    std::vector<std::string> columns;
    bool catalog = false;  // a catalog table, whose columns are known here
  };

  static bool fail(Walk& walk, ese::JET_ERR err) {
    if (err == ese::JET_errSuccess) return false;
    if (walk.status == ese::JET_errSuccess) walk.status = err;
    return true;
  }

  ese::JET_ERR retrieve(ese::JET_SESID ses, ese::JET_TABLEID table, ese::JET_COLUMNID column,
                        std::uint32_t itag, std::uint32_t& size) {
    ese::JET_RETINFO info{sizeof(ese::JET_RETINFO), 0, itag, 0};
    ese::JET_RETINFO* options = itag == 1 ? nullptr : &info;
    ese::JET_ERR err = jet_.retrieveColumn(ses, table, column, buffer_.data(),
                                           static_cast<std::uint32_t>(buffer_.size()), &size, 0,
                                           options);
    if (err == ese::JET_wrnBufferTruncated) {
      buffer_.resize(size);
      err = jet_.retrieveColumn(ses, table, column, buffer_.data(),
                                static_cast<std::uint32_t>(buffer_.size()), &size, 0, options);
    }
    return err;
  }

  std::uint32_t number(std::uint32_t size) const {
    std::uint32_t n = 0;
    for (std::uint32_t b = 0; b < size && b < 4; ++b) {
      n |= static_cast<std::uint32_t>(static_cast<unsigned char>(buffer_[b])) << (8 * b);
    }
    return n;
  }

  // Tables (type 1) and their columns (type 2) from MSysObjects.
  ese::JET_ERR readCatalog(ese::JET_SESID ses, ese::JET_DBID dbid, std::vector<Table>& tables) {
    ese::JET_TABLEID cat = 0;
    ese::JET_ERR err =
        jet_.OpenTable(ses, dbid, "MSysObjects", nullptr, 0, ese::JET_bitTableReadOnly, &cat);
    if (err != ese::JET_errSuccess) return err;
    const char* names[4] = {"ObjidTable", "Type", "Id", "Name"};
    ese::JET_COLUMNID ids[4] = {};
    for (int i = 0; i < 4 && err == ese::JET_errSuccess; ++i) {
      ese::JET_COLUMNDEF def{};
      err = jet_.getTableColumnInfo(ses, cat, names[i], &def, sizeof def, ese::JET_ColInfo);
      ids[i] = def.columnid;
    }
    if (err == ese::JET_errSuccess) err = jet_.move(ses, cat, ese::JET_MoveFirst, 0);
    for (; err == ese::JET_errSuccess; err = jet_.move(ses, cat, ese::JET_MoveNext, 0)) {
      std::uint32_t value[4] = {};
      std::string name;
      for (int i = 0; i < 4 && err == ese::JET_errSuccess; ++i) {
        std::uint32_t size = 0;
        err = retrieve(ses, cat, ids[i], 1, size);
        if (err == ese::JET_wrnColumnNull) {
          err = ese::JET_errSuccess;
          size = 0;
        }
        if (i < 3) value[i] = number(size);
        if (i == 3) name.assign(buffer_.data(), size);
      }
      if (err != ese::JET_errSuccess) break;
      if ((value[1] & 0xffff) == 1) tables.push_back({value[2], name, {}});
      if ((value[1] & 0xffff) == 2) {
        for (Table& t : tables) {
          if (t.objid == value[0]) t.columns.push_back(name);
        }
      }
    }
    jet_.closeTable(ses, cat);
    for (Table& t : tables) {
      // No catalog row describes the catalog's own columns.
      if (t.name == "MSysObjects" || t.name == "MSysObjectsShadow") {
        t.catalog = true;
        t.columns = {"ObjidTable", "Type", "Id", "ColtypOrPgnoFDP", "SpaceUsage", "Flags",
                     "PagesOrLocale", "RootFlag", "RecordOffset", "LCMapFlags", "KeyMost",
                     "LVChunkMax", "Name", "Stats", "TemplateTable", "DefaultValue", "KeyFldIDs",
                     "VarSegMac", "ConditionalColumns", "TupleLimits", "Version", "SortID",
                     "CallbackData", "CallbackDependencies", "SeparateLV", "SpaceHints",
                     "SpaceDeferredLVHints", "LocaleName"};
      }
    }
    return err == ese::JET_errNoCurrentRecord ? ese::JET_errSuccess : err;
  }

  ese::JET_ERR walkTable(ese::JET_SESID ses, ese::JET_DBID dbid, const Table& t, Walk& walk) {
    ese::JET_TABLEID table = 0;
    ese::JET_ERR err =
        jet_.OpenTable(ses, dbid, t.name.c_str(), nullptr, 0, ese::JET_bitTableReadOnly, &table);
    if (err != ese::JET_errSuccess) return err;
    std::vector<ese::JET_COLUMNDEF> defs;
    for (std::size_t i = 0; i < t.columns.size() && err == ese::JET_errSuccess; ++i) {
      ese::JET_COLUMNDEF def{};
      err = jet_.getTableColumnInfo(ses, table, t.columns[i].c_str(), &def, sizeof def,
                                    ese::JET_ColInfo);
      if (err == ese::JET_errSuccess) defs.push_back(def);
      // Older formats lack some of the catalog's own later columns.
      if (err == ese::JET_errColumnNotFound && t.catalog) err = ese::JET_errSuccess;
    }
    if (err == ese::JET_errSuccess) err = jet_.move(ses, table, ese::JET_MoveFirst, 0);
    if (by_ == By::kEnumeration) {
      for (; err == ese::JET_errSuccess; err = jet_.move(ses, table, ese::JET_MoveNext, 0)) {
        ++walk.rows;
        err = enumerateRow(ses, table, walk);
      }
    } else {
      for (; err == ese::JET_errSuccess; err = jet_.move(ses, table, ese::JET_MoveNext, 0)) {
        ++walk.rows;
        for (const ese::JET_COLUMNDEF& def : defs) {
          err = walkValues(ses, table, def, 1, walk);
          if (err != ese::JET_errSuccess) break;
        }
      }
    }
    jet_.closeTable(ses, table);
    return err == ese::JET_errNoCurrentRecord ? ese::JET_errSuccess : err;
  }

  // Values `itag` on of one column, one call each, until the first null.
  ese::JET_ERR walkValues(ese::JET_SESID ses, ese::JET_TABLEID table,
                          const ese::JET_COLUMNDEF& def, std::uint32_t itag, Walk& walk) {
    const bool multi = (def.grbit & ese::JET_bitColumnMultiValued) != 0;
    for (;; ++itag) {
      std::uint32_t size = 0;
      const ese::JET_ERR err = retrieve(ses, table, def.columnid, itag, size);
      if (err == ese::JET_wrnColumnNull) return ese::JET_errSuccess;
      if (err != ese::JET_errSuccess) return err;
      ++walk.values;
      walk.bytes += size;
      if (!multi) return err;
    }
  }

  // Every value of the row from one JetEnumerateColumns call. It is the
  // engine's own entry point, beside the JetApi the rest of the walk uses:
  // both reach the same process-wide engine, so the handles are the same.
  ese::JET_ERR enumerateRow(ese::JET_SESID ses, ese::JET_TABLEID table, Walk& walk) {
    arena_.Reset();
    std::uint32_t count = 0;
    ese::JET_ENUMCOLUMN* columns = nullptr;
    const ese::JET_ERR err = ese::JetEnumerateColumns(
        ses, table, 0, nullptr, &count, &columns, &RowArena::Allocate, &arena_, UINT32_MAX,
        ese::JET_bitEnumerateCompressOutput);
    if (err != ese::JET_errSuccess) return err;
    for (std::uint32_t i = 0; i < count; ++i) {
      const ese::JET_ENUMCOLUMN& c = columns[i];
      if (c.err == ese::JET_wrnColumnSingleValue) {
        ++walk.values;
        walk.bytes += c.cbData;
        continue;
      }
      if (c.err != ese::JET_errSuccess) return c.err < 0 ? c.err : ese::JET_errInvalidParameter;
      for (std::uint32_t k = 0; k < c.cEnumColumnValue; ++k) {
        const ese::JET_ENUMCOLUMNVALUE& v = c.rgEnumColumnValue[k];
        // The walk by values stops at a column's first null.
        if (v.err == ese::JET_wrnColumnNull) break;
        if (v.err != ese::JET_errSuccess) return v.err < 0 ? v.err : ese::JET_errInvalidParameter;
        ++walk.values;
        walk.bytes += v.cbData;
      }
    }
    return ese::JET_errSuccess;
  }

  ese::JetApi& jet_;
  const By by_;
  RowArena arena_;
  std::vector<char> buffer_ = std::vector<char>(1 << 16);
};

void report(const char* what, double seconds, double megabytes, std::uint64_t rows, double cat) {
  if (seconds < 0) {
    std::printf("  %-5s failed\n", what);
    return;
  }
  std::printf("  %-5s %9.2f ms  %9.1f MB/s", what, seconds * 1e3, megabytes / seconds);
  if (rows > 0) std::printf("  %12.0f rows/s", static_cast<double>(rows) / seconds);
  if (cat > 0) std::printf("  %6.2fx cat", seconds / cat);
  std::printf("\n");
}

// Whether `walk` read what `shown` did; says so when not.
bool sameWalk(const char* what, const Walk& walk, const Walk& shown) {
  if (walk.status == shown.status && walk.rows == shown.rows && walk.values == shown.values &&
      walk.bytes == shown.bytes) {
    return true;
  }
  std::printf("  the walk by %s read %llu rows, %llu values, %llu bytes: not the same\n", what,
              static_cast<unsigned long long>(walk.rows),
              static_cast<unsigned long long>(walk.values),
              static_cast<unsigned long long>(walk.bytes));
  return false;
}

// One walk of `file`, kept in `walk`; `fastest` (negative: none yet)
// becomes its time when it finished and was faster.
void timeWalk(JetWalker& walker, const std::string& file, Walk& walk, double& fastest) {
  const auto start = Clock::now();
  walk = walker.Run(file);
  const double w = seconds(Clock::now() - start);
  if (walk.status == ese::JET_errSuccess && (fastest < 0 || w < fastest)) fastest = w;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  bool walk_only = false;
  bool by_value = true, by_enum = true;
  ese::EngineOptions options;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--threads" && i + 1 < argc) {
      options.threads = static_cast<unsigned>(std::max(1, std::atoi(argv[++i])));
    } else if (arg == "--by") {
      const std::string by = i + 1 < argc ? argv[++i] : "";
      by_value = by == "value";
      by_enum = by == "enum";
      if (!by_value && !by_enum) {
        std::fputs("ese_bench: --by takes value or enum\n", stderr);
        return 2;
      }
    } else if (arg == "--walk-only") {
      walk_only = true;
    } else if (arg == "--help" || arg == "-h") {
      std::puts("Usage: ese_bench [--runs N] [--threads N] [--walk-only] [--by value|enum] DATABASE...");
      return 0;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fputs("Usage: ese_bench [--runs N] [--threads N] [--walk-only] [--by value|enum] DATABASE...\n", stderr);
    return 2;
  }
  const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
  const std::string cli = (self.parent_path() / "corvadex-cli").string();

  ese::EngineJet jet(options);
  JetWalker walker(jet, By::kValue);
  JetWalker enum_walker(jet, By::kEnumeration);
  int exit_status = 0;
  std::printf("fastest of %d runs each, walk with %u thread%s\n", runs, options.threads,
              options.threads == 1 ? "" : "s");
  for (const std::string& file : files) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
      std::fprintf(stderr, "ese_bench: %s: cannot read\n", file.c_str());
      exit_status = 1;
      continue;
    }
    const double megabytes = static_cast<double>(st.st_size) / 1e6;
    const std::string cat_command = "cat " + Quoted(file);
    const std::string dump_command = Quoted(cli) + " dump " + Quoted(file);
    // read writes its message log on standard error.
    const std::string read_command = Quoted(cli) + " read " + Quoted(file) + " 2>/dev/null";
    if (!walk_only) timeCommand(cat_command);  // brings the file into the page cache

    double cat = -1, dump = -1, read = -1, walk_time = -1, enum_time = -1;
    Walk walk, enum_walk;
    for (int r = 0; r < runs; ++r) {
      if (!walk_only) {
        const double c = timeCommand(cat_command);
        if (c >= 0 && (cat < 0 || c < cat)) cat = c;
        const double d = timeCommand(dump_command);
        if (d >= 0 && (dump < 0 || d < dump)) dump = d;
        const double l = timeCommand(read_command);
        if (l >= 0 && (read < 0 || l < read)) read = l;
      }
      if (by_value) timeWalk(walker, file, walk, walk_time);
      if (by_enum) timeWalk(enum_walker, file, enum_walk, enum_time);
    }
    const Walk& shown = by_value ? walk : enum_walk;
    std::printf("%s: %.2f MB, %llu rows, %llu values (%.2f MB of values)\n", file.c_str(),
                megabytes, static_cast<unsigned long long>(shown.rows),
                static_cast<unsigned long long>(shown.values),
                static_cast<double>(shown.bytes) / 1e6);
    if (shown.status != ese::JET_errSuccess) {
      std::printf("  walk stopped: %d - %s\n", shown.status, ese::errorText(shown.status).c_str());
      exit_status = 1;
    }
    if (by_enum && !sameWalk("enumeration", enum_walk, shown)) {
      exit_status = 1;
    }
    if (!walk_only) {
      report("cat", cat, megabytes, 0, -1);
      report("dump", dump, megabytes, shown.rows, cat);
      report("read", read, megabytes, shown.rows, cat);
    }
    if (by_value) report("walk", walk_time, megabytes, walk.rows, cat);
    if (by_enum) report("enum", enum_time, megabytes, enum_walk.rows, cat);
  }
  return exit_status;
}
