// SPDX-License-Identifier: Apache-2.0
// Each kind of damage the engine detects, made on purpose in a copy of a
// sample (the changed page given a valid checksum again, unless the
// checksum is the damage): the walk must fail with the kind's status, and
// the engine's note must name the check that failed, the page and the
// table. Then the command line: `dump` prints the note as a line of its
// own, `read` only with --verbose.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ese/btree.h"
#include "ese/database.h"
#include "file_io.h"
#include "page_patch.h"
#include "base/temp_folder.h"
#include "test_paths.h"

namespace ese::testing {
namespace {

using corvadex::testing::eseSample;
using corvadex::testing::readFileBytes;
using corvadex::TempFolder;
using corvadex::testing::writeFile;

// Where things are in the intact file: found through the engine, so that
// the cases below need not know the sample's layout.
struct Layout {
  std::uint32_t page_size = 0;
  std::uint32_t leaf = 0;       // the table's first leaf page
  std::size_t record = 0;       // file offset of the first row's record
  std::size_t compressed = 0;   // file offset of a value stored compressed in it
  std::uint32_t lv_root = 0;    // the table's long-value tree
};

// The offset of `part` (bytes read through the engine) in the file image.
std::size_t offsetIn(const std::vector<std::uint8_t>& image, std::size_t from, std::size_t to,
                     Bytes part) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(part.data());
  const auto at = std::search(image.begin() + static_cast<long>(from),
                              image.begin() + static_cast<long>(to), p, p + part.size());
  EXPECT_NE(at, image.begin() + static_cast<long>(to));
  return static_cast<std::size_t>(at - image.begin());
}

Layout find(const std::string& path, const std::vector<std::uint8_t>& image, const char* table) {
  Layout l;
  std::unique_ptr<Database> db;
  EXPECT_EQ(Database::open(path, db), JET_errSuccess);
  if (!db) return l;
  const auto t = db->catalog().find(table);
  EXPECT_NE(t, nullptr);
  if (!t) return l;
  l.page_size = db->file().page_size();
  l.lv_root = t->lv_root_pgno;
  BTreeCursor rows(&db->file(), t->root_pgno, t->objid);
  EXPECT_EQ(rows.first(), JET_errSuccess);
  l.leaf = rows.pgno();
  const std::size_t page_at = (std::size_t{l.leaf} + 1) * l.page_size;
  l.record = offsetIn(image, page_at, page_at + l.page_size, rows.data().bytes());
  Record record;
  EXPECT_EQ(record.parse(rows.data(), l.page_size > 8192), JET_errSuccess);
  for (const ColumnInfo& c : t->columns) {
    StoredValue v;
    if (record.get(c, t->is_derived, 1, v) == JET_errSuccess && v.kind == ValueKind::kCompressed) {
      l.compressed = l.record + static_cast<std::size_t>(v.bytes.data() - rows.data().data());
      break;
    }
  }
  return l;
}

// The first failure of a walk, copied out of the status while the schema
// its names point into is there.
struct Failure {
  JET_ERR code = JET_errSuccess;
  std::uint32_t pgno = 0;
  std::string check;
  std::string table;
  std::string text;
};

Failure failureOf(const Status& s) {
  if (s.ok() || s == JET_errNoCurrentRecord) return {};
  return {s.code, s.pgno, s.check != nullptr ? s.check : "",
          s.table != nullptr ? *s.table : "", s.text()};
}

// Reads every value of every row of `table`; the first failure.
Failure Walk(const std::string& path, const char* table) {
  std::unique_ptr<Database> db;
  if (Status err = Database::open(path, db); !err.ok()) return failureOf(err);
  TableCursor cursor(*db, db->catalog().find(table));
  Status err = cursor.moveFirst();
  for (; err.ok(); err = cursor.moveNext()) {
    for (const ColumnInfo& c : cursor.table().columns) {
      std::uint32_t count = 0;
      if (Status e = cursor.countValues(c, count); !e.ok()) return failureOf(e);
      for (std::uint32_t i = 1; i <= count; ++i) {
        Bytes value;
        bool is_null = false;
        if (Status e = cursor.readValue(c, i, value, is_null); !e.ok()) return failureOf(e);
      }
    }
  }
  return failureOf(err);
}

struct DamageKind {
  const char* name;
  // Damages the image; returns the page the note must name.
  std::function<std::uint32_t(std::vector<std::uint8_t>&, const Layout&)> damage;
  JET_ERR status;
  const char* check;
  const char* table;  // the table the note must name ("" none)
};

// Changes page `pgno` and signs it again.
void patch(std::vector<std::uint8_t>& image, const Layout& l, std::uint32_t pgno,
           const std::function<void(std::uint8_t*)>& change) {
  patchPage(image, l.page_size, pgno, change);
}

// The record's own layout: fixed data end at 2, last variable id at 1, the
// variable offsets after the fixed data.
std::size_t variableOffsets(const std::vector<std::uint8_t>& image, const Layout& l) {
  return l.record + get16(&image[l.record + 2]);
}
std::size_t taggedStart(const std::vector<std::uint8_t>& image, const Layout& l) {
  const std::size_t vars = image[l.record + 1] - 127u;
  const std::size_t offsets = variableOffsets(image, l);
  const std::size_t last_end = vars == 0 ? 0 : get16(&image[offsets + 2 * (vars - 1)]) & 0x7fffu;
  return offsets + 2 * vars + last_end;
}

const DamageKind kKinds[] = {
    {"checksum",
     [](auto& image, const Layout& l) {
       image[(l.leaf + 1) * std::size_t{l.page_size} + 100] ^= 0x40;
       return l.leaf;
     },
     JET_errReadVerifyFailure, "the page's checksum does not match its content", "text"},
    {"never_written",
     [](auto& image, const Layout& l) {
       std::fill_n(image.begin() + static_cast<long>((l.leaf + 1) * std::size_t{l.page_size}),
                   l.page_size, 0);
       return l.leaf;
     },
     JET_errPageNotInitialized, "the page was never written", "text"},
    {"file_cut_short",
     [](auto& image, const Layout& l) {
       image.resize((l.leaf + 1) * std::size_t{l.page_size});
       return l.leaf;
     },
     JET_errFileIOBeyondEOF, "the page lies beyond the end of the file", "text"},
    {"page_of_another_tree",
     [](auto& image, const Layout& l) {
       patch(image, l, l.leaf, [](std::uint8_t* page) { put32(page + 24, get32(page + 24) + 77); });
       return l.leaf;
     },
     JET_errBadPageLink, "the page belongs to another tree than the one linking to it", "text"},
    {"tag_array_too_long",
     [](auto& image, const Layout& l) {
       patch(image, l, l.leaf, [](std::uint8_t* page) { put16(page + 34, 0x3000); });
       return l.leaf;
     },
     JET_errDatabaseCorrupted, "the tag array does not fit in the page", "text"},
    {"node_outside_the_page",
     [](auto& image, const Layout& l) {
       patch(image, l, l.leaf, [&](std::uint8_t* page) {
         std::uint8_t* tag1 = page + l.page_size - 8;
         put16(tag1, static_cast<std::uint16_t>((get16(tag1) & 0xe000) | 0x1fff));
       });
       return l.leaf;
     },
     JET_errDatabaseCorrupted, "a node's tag points outside the page's data area", "text"},
    {"catalog_page",
     [](auto& image, const Layout& l) {
       patch(image, l, 4, [](std::uint8_t* page) { put16(page + 34, 0x3000); });
       return 4u;
     },
     JET_errDatabaseCorrupted, "the tag array does not fit in the page", "MSysObjects"},
    {"record_fixed_data",
     [](auto& image, const Layout& l) {
       const std::size_t at = l.record - (l.leaf + 1) * std::size_t{l.page_size};
       patch(image, l, l.leaf, [&](std::uint8_t* page) { put16(page + at + 2, 0x7ff0); });
       return l.leaf;
     },
     JET_errDatabaseCorrupted, "the record's fixed data ends outside the record", "text"},
    {"record_variable_data",
     [](auto& image, const Layout& l) {
       const std::size_t vars = image[l.record + 1] - 127u;
       const std::size_t last = variableOffsets(image, l) + 2 * (vars - 1);
       const std::size_t at = last - (l.leaf + 1) * std::size_t{l.page_size};
       patch(image, l, l.leaf, [&](std::uint8_t* page) { put16(page + at, 0x7ff0); });
       return l.leaf;
     },
     JET_errDatabaseCorrupted, "the record's variable data runs past its end", "text"},
    {"tagged_directory",
     [](auto& image, const Layout& l) {
       const std::size_t at = taggedStart(image, l) + 2 - (l.leaf + 1) * std::size_t{l.page_size};
       patch(image, l, l.leaf, [&](std::uint8_t* page) { put16(page + at, 0x1ff0); });
       return l.leaf;
     },
     JET_errDatabaseCorrupted, "the tagged directory runs past the record's end", "text"},
    {"compressed_value",
     [](auto& image, const Layout& l) {
       const std::size_t at = l.compressed - (l.leaf + 1) * std::size_t{l.page_size};
       // Scheme 31: no engine writes it.
       patch(image, l, l.leaf, [&](std::uint8_t* page) { page[at] = 0xf8; });
       return l.leaf;
     },
     JET_errDecompressionFailed, "a compressed value does not decompress", "text"},
    {"long_value_tree",
     [](auto& image, const Layout& l) {
       patch(image, l, l.lv_root, [](std::uint8_t* page) { put32(page + 24, get32(page + 24) + 77); });
       return l.lv_root;
     },
     JET_errBadPageLink, "the page belongs to another tree than the one linking to it", "text"},
};

TEST(DamageKinds, EachNamesItsCheckPageAndTable) {
  TempFolder dir;
  const std::string source = eseSample("text");
  const std::vector<std::uint8_t> intact = readFileBytes(source);
  const Layout layout = find(source, intact, "text");
  ASSERT_GT(layout.leaf, 4u);
  ASSERT_GT(layout.lv_root, 0u);
  ASSERT_GT(layout.compressed, layout.record) << "the first row holds no compressed value";
  ASSERT_EQ(Walk(source, "text").code, JET_errSuccess);
  for (const DamageKind& kind : kKinds) {
    std::vector<std::uint8_t> image = intact;
    const std::uint32_t page = kind.damage(image, layout);
    const std::string path = dir.File(std::string(kind.name) + ".edb");
    writeFile(path, std::string(image.begin(), image.end()));
    const Failure note = Walk(path, "text");
    EXPECT_EQ(note.code, kind.status) << kind.name;
    EXPECT_EQ(note.check, kind.check) << kind.name;
    EXPECT_EQ(note.pgno, page) << kind.name;
    EXPECT_EQ(note.table, kind.table) << kind.name;
    EXPECT_EQ(note.text.rfind("page " + std::to_string(page) + ", table " + kind.table, 0), 0u)
        << note.text;
  }
}

// Runs the command line; its standard error.
std::string standardError(const std::string& arguments) {
  const std::string command = "'" + std::string(CORVADEX_BIN_DIR) + "/corvadex-cli' " +
                              arguments + " 2>&1 >/dev/null";
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

TEST(DamageKinds, TheCommandLineGivesTheDetailOnALineOfItsOwn) {
  TempFolder dir;
  const std::string source = dir.File("contacts.edb");
  const std::string make = "'" + std::string(CORVADEX_BIN_DIR) + "/make-contacts-db' --count 50 '" +
                           source + "' > /dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0);
  std::vector<std::uint8_t> image = readFileBytes(source);
  std::string table;
  {
    std::unique_ptr<Database> db;
    ASSERT_EQ(Database::open(source, db), JET_errSuccess);
    for (const auto& t : db->catalog().tables()) {
      if (t->name.rfind("SimpleContact-", 0) == 0) table = t->name;
    }
  }
  ASSERT_FALSE(table.empty());
  const Layout l = find(source, image, table.c_str());
  const std::size_t at = l.record - (l.leaf + 1) * std::size_t{l.page_size};
  patch(image, l, l.leaf, [&](std::uint8_t* page) { put16(page + at + 2, 0x7ff0); });
  const std::string damaged = dir.File("damaged.edb");
  writeFile(damaged, std::string(image.begin(), image.end()));

  const std::string detail = "corvadex-cli: page " + std::to_string(l.leaf) + ", table " + table +
                             ": the record's fixed data ends outside the record\n";
  const std::string dump = standardError("dump '" + damaged + "'");
  EXPECT_NE(dump.find("error -1206 - JET_errDatabaseCorrupted, "), std::string::npos) << dump;
  EXPECT_NE(dump.find("\n" + detail), std::string::npos) << dump;
  const std::string read = standardError("read '" + damaged + "'");
  EXPECT_NE(read.find("JetMove ERROR -1206 - JET_errDatabaseCorrupted, "), std::string::npos)
      << read;
  EXPECT_EQ(read.find("corvadex-cli: page"), std::string::npos) << read;
  // With --verbose the same log, the detail right after the line it explains.
  const std::string verbose = standardError("read --verbose '" + damaged + "'");
  const std::size_t line = verbose.find("JetMove ERROR -1206");
  ASSERT_NE(line, std::string::npos) << verbose;
  EXPECT_EQ(verbose.substr(verbose.find('\n', line) + 1, detail.size()), detail) << verbose;
  std::string without = verbose;
  without.erase(without.find(detail), detail.size());
  EXPECT_EQ(without, read);
}

}  // namespace
}  // namespace ese::testing
