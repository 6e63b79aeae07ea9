// SPDX-License-Identifier: Apache-2.0
#include "database_writer.h"

#include <algorithm>
#include <stdexcept>

#include "checksum.h"
#include "key.h"

namespace corvadex::esew {

namespace {

// Fixed places of the system trees, as the engine lays out a new database.
constexpr std::uint32_t kCatalogFDP = 4, kCatalogPages = 20, kCatalogFirstData = 13;
constexpr std::uint32_t kNameIndexFDP = 7, kRootObjectsIndexFDP = 10, kIndexPages = 3;
constexpr std::uint32_t kShadowFDP = 24, kShadowPages = 5;
constexpr std::uint32_t kObjidsFDP = 29, kLocalesFDP = 30;
constexpr std::uint32_t kTablePages = 4;  // FDP, owned and available extents, one leaf
constexpr std::int32_t kObjidCatalog = 2, kObjidShadow = 3, kObjidNameIndex = 4,
                       kObjidRootObjects = 5, kObjidObjids = 6, kObjidLocales = 7;
constexpr std::uint32_t kDensity = 80;
constexpr std::uint32_t kLcMapFlags = 0x00030401;

bool hasObjidsTables(std::uint32_t revision) { return revision >= 0x14; }

Bytes keyFieldIds(const std::vector<std::uint32_t>& columns, std::uint32_t revision) {
  Bytes out;
  for (std::uint32_t id : columns) {
    if (revision >= 0x11) putU16(out, 0);  // per-column flags: ascending
    putU16(out, static_cast<std::uint16_t>(id));
  }
  return out;
}

TableDef objidsTableDef() {
  TableDef t;
  t.name = "MSysObjids";
  t.columns = {{256, "objid", ColumnType::Long}, {257, "objidTable", ColumnType::Long},
               {258, "type", ColumnType::Short}};
  t.keyColumns = {256};
  t.primaryIndexName = "primary";
  return t;
}

TableDef localesTableDef() {
  TableDef t;
  t.name = "MSysLocales";
  ColumnDef type{1, "Type", ColumnType::UnsignedByte};
  type.notNull = true;
  ColumnDef value{2, "iValue", ColumnType::Long};
  value.defaultValue = le32(0);
  t.columns = {type, value, {128, "Key", ColumnType::Binary}};
  t.keyColumns = {128};
  t.primaryIndexName = "KeyPrimary";
  return t;
}

// The locale bookkeeping rows a current engine keeps: schema versions and
// the consistency marker.
std::vector<Row> localesRows() {
  std::vector<Row> rows;
  auto add = [&](std::uint8_t type, std::uint32_t value, const char* key) {
    Bytes k = utf16le(key);
    k.append(2, '\0');
    rows.push_back({{1, {u8(type)}}, {2, {le32(value)}}, {128, {k}}});
  };
  add(1, 1, ".Schema\\External\\Major");
  add(1, 0, ".Schema\\External\\Minor");
  add(1, 0, ".Schema\\External\\Update");
  add(1, 1, ".Schema\\Internal\\Major");
  add(1, 0, ".Schema\\Internal\\Minor");
  add(1, 0, ".Schema\\Internal\\Update");
  add(2, 1, "MSysLocalesConsistent");
  return rows;
}

// A log time: seconds, minutes, hours, day, month, years since 1900, two
// flag bytes.
Bytes logTime(int year, int month, int day, int hour, int minute, int second) {
  Bytes t;
  for (int v : {second, minute, hour, day, month, year - 1900}) putU8(t, static_cast<std::uint8_t>(v));
  t.append(2, '\0');
  return t;
}

struct OsVersion {
  std::uint32_t major, minor, build, servicePack;
};

OsVersion osVersionFor(std::uint32_t revision) {
  switch (revision) {
    case 0x09: return {5, 1, 2600, 3};
    case 0x0c: return {6, 0, 6002, 2};
    case 0x11: return {6, 1, 7601, 1};
    default: return {6, 2, 9200, 0};
  }
}

}  // namespace

struct DatabaseWriter::OpenTable {
  TableDef def;
  std::int32_t objid = 0;
  TreePlacement placement;
  std::unique_ptr<TreeWriter> tree;
  std::unique_ptr<TreeWriter> longValues;
  TreePlacement lvPlacement;
  std::uint32_t nextLvid = 1;
  std::unique_ptr<RecordEncoder> encoder;
};

DatabaseWriter::DatabaseWriter() = default;
DatabaseWriter::~DatabaseWriter() = default;

template <typename F>
std::string DatabaseWriter::guarded(F&& work) {
  if (!error_.empty()) return error_;
  try {
    work();
  } catch (const std::exception& e) {
    error_ = e.what();
  }
  return error_;
}

std::string DatabaseWriter::create(const std::string& path, const WriterOptions& options,
                                   DumpWriter* dump) {
  if (created_) return "the writer was already used";
  created_ = true;
  options_ = options;
  dump_ = dump;
  if (std::string problem = options.format.problem(); !problem.empty()) return error_ = problem;
  if (std::string problem = file_.open(path, options.format); !problem.empty()) return error_ = problem;
  return guarded([&] {
    // Reserve the fixed pages in the order the engine creates them.
    file_.allocate(3);                  // database space tree: root, owned, available
    file_.allocate(kCatalogPages);      // MSysObjects and its two index trees
    file_.allocate(kShadowPages);       // MSysObjectsShadow
    nextObjid_ = kObjidObjids;
    if (hasObjidsTables(options.format.revision)) {
      file_.allocate(2);                // MSysObjids, MSysLocales
      nextObjid_ = kObjidLocales + 1;
    }
  });
}

std::string DatabaseWriter::beginTable(const TableDef& def) {
  return guarded([&] {
    if (!created_ || finished_) throw std::logic_error("beginTable outside an open database");
    if (table_) throw std::logic_error("beginTable before the previous table ended");
    if (def.keyColumns.empty()) throw std::invalid_argument("table " + def.name + " has no primary key");
    auto t = std::make_unique<OpenTable>();
    t->def = def;
    t->encoder = std::make_unique<RecordEncoder>(t->def, options_.format);
    t->objid = nextObjid_++;
    t->placement.objid = static_cast<std::uint32_t>(t->objid);
    t->placement.pgnoFDP = file_.allocate(kTablePages);
    t->placement.primaryPages = kTablePages;
    t->placement.pgnoParentFDP = 1;
    t->tree = std::make_unique<TreeWriter>(file_, t->placement);
    table_ = std::move(t);
    if (dump_ != nullptr) dump_->beginTable(table_->def);
  });
}

std::uint32_t DatabaseWriter::storeLongValue(std::string_view value) {
  OpenTable& t = *table_;
  if (!t.longValues) {
    // The long-value tree comes into being with the first separated value.
    t.lvPlacement.objid = static_cast<std::uint32_t>(nextObjid_++);
    t.lvPlacement.pgnoFDP = file_.allocate(kTablePages);
    t.lvPlacement.primaryPages = kTablePages;
    t.lvPlacement.pgnoParentFDP = t.placement.pgnoFDP;
    t.lvPlacement.pageFlags = page_flags::kLongValue;
    t.longValues = std::make_unique<TreeWriter>(file_, t.lvPlacement);
  }
  // Long value: a root node keyed by the big-endian id (reference count,
  // total size), then chunks keyed by id and big-endian byte offset.
  const std::uint32_t lvid = t.nextLvid++;
  const FileFormat& f = options_.format;
  const std::size_t chunk = f.pageSize - f.pageHeaderSize() - 42;
  Bytes key;
  putBE32(key, lvid);
  Bytes root;
  putU32(root, 1);
  putU32(root, static_cast<std::uint32_t>(value.size()));
  t.longValues->add(key, root);
  for (std::size_t offset = 0; offset < value.size(); offset += chunk) {
    Bytes chunkKey = key;
    putBE32(chunkKey, static_cast<std::uint32_t>(offset));
    t.longValues->add(chunkKey, value.substr(offset, chunk));
  }
  return lvid;
}

std::string DatabaseWriter::addRow(const Row& row) {
  return guarded([&] {
    if (!table_) throw std::logic_error("addRow outside a table");
    OpenTable& t = *table_;
    const Bytes key = primaryKey(t.def, row);
    const FileFormat& f = options_.format;
    const std::size_t capacity = f.pageSize - f.pageHeaderSize() - 20;
    const std::size_t maxRecord = capacity - 6 - key.size();
    const Bytes record = t.encoder->encode(row, maxRecord, [this](std::string_view v) { return storeLongValue(v); });
    t.tree->add(key, record);
    if (dump_ != nullptr) dump_->row(row);
  });
}

std::string DatabaseWriter::endTable() {
  return guarded([&] {
    if (!table_) throw std::logic_error("endTable outside a table");
    OpenTable& t = *table_;
    t.tree->finish();
    const std::uint32_t rev = options_.format.revision;
    CatalogEntry tableRow;
    tableRow.objidTable = t.objid;
    tableRow.type = catalog_type::kTable;
    tableRow.id = t.objid;
    tableRow.coltypOrPgnoFDP = static_cast<std::int32_t>(t.placement.pgnoFDP);
    tableRow.spaceUsage = kDensity;
    tableRow.pagesOrLocale = static_cast<std::int32_t>(kTablePages);
    tableRow.rootFlag = true;
    tableRow.name = t.def.name;
    userEntries_.push_back(tableRow);
    for (auto& e : columnEntries(t.objid, t.def)) userEntries_.push_back(std::move(e));
    CatalogEntry index;
    index.objidTable = t.objid;
    index.type = catalog_type::kIndex;
    index.id = t.objid;
    index.coltypOrPgnoFDP = static_cast<std::int32_t>(t.placement.pgnoFDP);
    index.spaceUsage = kDensity;
    index.flags = rev >= 0x11 ? 0x0001002fu : 0x0000002fu;
    index.pagesOrLocale = rev >= 0x14 ? 0 : 1033;
    index.lcMapFlags = kLcMapFlags;
    index.name = t.def.primaryIndexName;
    index.keyFldIds = keyFieldIds(t.def.keyColumns, rev);
    if (rev >= 0x14) index.localeName = utf16le("en-US");
    userEntries_.push_back(index);
    objids_.push_back({t.objid, {t.objid, catalog_type::kTable}});
    if (t.longValues) {
      t.longValues->finish();
      CatalogEntry lv;
      lv.objidTable = t.objid;
      lv.type = catalog_type::kLongValue;
      lv.id = static_cast<std::int32_t>(t.lvPlacement.objid);
      lv.coltypOrPgnoFDP = static_cast<std::int32_t>(t.lvPlacement.pgnoFDP);
      lv.spaceUsage = 100;
      lv.pagesOrLocale = static_cast<std::int32_t>(kTablePages);
      lv.name = "LV";
      userEntries_.push_back(lv);
      objids_.push_back({lv.id, {t.objid, catalog_type::kLongValue}});
    }
    if (dump_ != nullptr) dump_->endTable();
    table_.reset();
  });
}

std::vector<CatalogEntry> DatabaseWriter::systemCatalogEntries() const {
  const std::uint32_t rev = options_.format.revision;
  std::vector<CatalogEntry> out;
  auto tableEntry = [&](std::int32_t objid, std::uint32_t fdp, std::int32_t density, std::uint32_t flags,
                        std::int32_t pages, const std::string& name) {
    CatalogEntry e;
    e.objidTable = objid;
    e.type = catalog_type::kTable;
    e.id = objid;
    e.coltypOrPgnoFDP = static_cast<std::int32_t>(fdp);
    e.spaceUsage = density;
    e.flags = flags;
    e.pagesOrLocale = pages;
    e.rootFlag = true;
    e.name = name;
    out.push_back(e);
  };
  auto indexEntry = [&](std::int32_t objidTable, std::int32_t id, std::uint32_t fdp, std::int32_t density,
                        std::uint32_t flags, const std::string& name, const std::vector<std::uint32_t>& keys) {
    CatalogEntry e;
    e.objidTable = objidTable;
    e.type = catalog_type::kIndex;
    e.id = id;
    e.coltypOrPgnoFDP = static_cast<std::int32_t>(fdp);
    e.spaceUsage = density;
    e.flags = rev >= 0x11 ? flags : (flags & 0xffffu);
    e.pagesOrLocale = rev >= 0x14 ? 0 : 1033;
    e.lcMapFlags = kLcMapFlags;
    e.name = name;
    e.keyFldIds = keyFieldIds(keys, rev);
    if (rev >= 0x14) e.localeName = utf16le("en-US");
    out.push_back(e);
  };
  const TableDef catalog = catalogTableDef(rev, "MSysObjects");
  tableEntry(kObjidCatalog, kCatalogFDP, kDensity, 0xc0000000u, kCatalogPages, "MSysObjects");
  for (auto& e : columnEntries(kObjidCatalog, catalog)) out.push_back(e);
  indexEntry(kObjidCatalog, kObjidCatalog, kCatalogFDP, kDensity, 0x00010031u, "Id", {1, 2, 3});
  indexEntry(kObjidCatalog, kObjidNameIndex, kNameIndexFDP, kDensity, 0x00010011u, "Name", {1, 2, 128});
  indexEntry(kObjidCatalog, kObjidRootObjects, kRootObjectsIndexFDP, kDensity, 0x00010009u, "RootObjects",
             {8, 128});
  tableEntry(kObjidShadow, kShadowFDP, kDensity, 0xc0000000u, kShadowPages, "MSysObjectsShadow");
  for (auto& e : columnEntries(kObjidShadow, catalog)) out.push_back(e);
  indexEntry(kObjidShadow, kObjidShadow, kShadowFDP, kDensity, 0x00010031u, "Id", {1, 2, 3});
  if (hasObjidsTables(rev)) {
    tableEntry(kObjidObjids, kObjidsFDP, 100, 0xc8000000u, 0, "MSysObjids");
    for (auto& e : columnEntries(kObjidObjids, objidsTableDef())) out.push_back(e);
    indexEntry(kObjidObjids, kObjidObjids, kObjidsFDP, 100, 0x0001002fu, "primary", {256});
    tableEntry(kObjidLocales, kLocalesFDP, 92, 0x88000000u, 0, "MSysLocales");
    for (auto& e : columnEntries(kObjidLocales, localesTableDef())) out.push_back(e);
    indexEntry(kObjidLocales, kObjidLocales, kLocalesFDP, 92, 0x0001402fu, "KeyPrimary", {128});
  }
  return out;
}

void DatabaseWriter::writeSystemTables() {
  const FileFormat& f = options_.format;
  const TableDef catalogDef = catalogTableDef(f.revision, "MSysObjects");
  TableDef shadowDef = catalogDef;
  shadowDef.name = "MSysObjectsShadow";

  std::vector<CatalogEntry> entries = systemCatalogEntries();
  entries.insert(entries.end(), userEntries_.begin(), userEntries_.end());
  entries.insert(entries.end(), options_.extraCatalogEntries.begin(), options_.extraCatalogEntries.end());
  std::vector<std::pair<Bytes, Row>> keyed;
  for (const auto& e : entries) {
    Row row = catalogRow(e, catalogDef);
    keyed.emplace_back(primaryKey(catalogDef, row), std::move(row));
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  auto writeTable = [&](const TableDef& def, const TreePlacement& placement,
                        const std::vector<std::pair<Bytes, Row>>& rows) {
    RecordEncoder encoder(def, f);
    TreeWriter tree(file_, placement);
    const std::size_t capacity = f.pageSize - f.pageHeaderSize() - 20;
    for (const auto& [key, row] : rows)
      tree.add(key, encoder.encode(row, capacity - 6 - key.size(), [](std::string_view) -> std::uint32_t {
        throw std::invalid_argument("a system table value is too large for its record");
      }));
    tree.finish();
  };

  TreePlacement catalog{static_cast<std::uint32_t>(kObjidCatalog), kCatalogFDP, kCatalogPages, kCatalogFirstData,
                        1, true, false, 0};
  writeTable(catalogDef, catalog, keyed);
  // The catalog's secondary indexes (by name, and over root objects) are
  // sorted by the host's language collation, which only Windows computes;
  // they are written as valid empty trees.
  for (auto [objid, fdp] : {std::pair{kObjidNameIndex, kNameIndexFDP}, std::pair{kObjidRootObjects, kRootObjectsIndexFDP}}) {
    TreePlacement index{static_cast<std::uint32_t>(objid), fdp, kIndexPages, fdp + kIndexPages, kCatalogFDP,
                        true, false, page_flags::kIndex};
    TreeWriter(file_, index).finish();
  }
  TreePlacement shadow{static_cast<std::uint32_t>(kObjidShadow), kShadowFDP, kShadowPages, 0, 1, true, false, 0};
  writeTable(shadowDef, shadow, keyed);

  std::vector<Row> catalogRows;
  for (const auto& [key, row] : keyed) catalogRows.push_back(row);
  if (dump_ != nullptr) {
    dump_->systemTable(catalogDef, catalogRows);
    dump_->systemTable(shadowDef, catalogRows);
  }

  if (hasObjidsTables(f.revision)) {
    std::vector<std::pair<std::int32_t, std::pair<std::int32_t, std::int16_t>>> objids = {
        {kObjidCatalog, {kObjidCatalog, catalog_type::kTable}},
        {kObjidShadow, {kObjidShadow, catalog_type::kTable}},
        {kObjidNameIndex, {kObjidCatalog, catalog_type::kIndex}},
        {kObjidRootObjects, {kObjidCatalog, catalog_type::kIndex}},
        {kObjidObjids, {kObjidObjids, catalog_type::kTable}},
        {kObjidLocales, {kObjidLocales, catalog_type::kTable}}};
    objids.insert(objids.end(), objids_.begin(), objids_.end());
    const TableDef objidsDef = objidsTableDef();
    std::vector<std::pair<Bytes, Row>> rows;
    for (const auto& [objid, owner] : objids) {
      Row row{{256, {le32(static_cast<std::uint32_t>(objid))}},
              {257, {le32(static_cast<std::uint32_t>(owner.first))}},
              {258, {le16(static_cast<std::uint16_t>(owner.second))}}};
      rows.emplace_back(primaryKey(objidsDef, row), std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    writeTable(objidsDef, TreePlacement{static_cast<std::uint32_t>(kObjidObjids), kObjidsFDP, 1, 0, 1, false, false, 0}, rows);

    const TableDef localesDef = localesTableDef();
    std::vector<std::pair<Bytes, Row>> locales;
    for (auto& row : localesRows()) locales.emplace_back(primaryKey(localesDef, row), row);
    std::sort(locales.begin(), locales.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    writeTable(localesDef, TreePlacement{static_cast<std::uint32_t>(kObjidLocales), kLocalesFDP, 1, 0, 1, false, false, 0}, locales);
    if (dump_ != nullptr) {
      std::vector<Row> plain;
      for (const auto& [key, row] : rows) plain.push_back(row);
      dump_->systemTable(objidsDef, plain);
      plain.clear();
      for (const auto& [key, row] : locales) plain.push_back(row);
      dump_->systemTable(localesDef, plain);
    }
  }

  // The database's own space: one owned extent covering every page, none free.
  PageBuilder page(f);
  const std::uint32_t last = file_.lastAllocated();
  Bytes header;
  putU32(header, last);
  putU32(header, 0);
  putU32(header, 1);
  putU32(header, 2);
  page.start(1, page_flags::kRoot | page_flags::kLeaf, header);
  file_.writePage(1, page.finish(1, 0, 0, file_.nextDbtime()));
  page.start(1, page_flags::kRoot | page_flags::kLeaf | page_flags::kSpaceTree, Bytes(16, '\0'));
  Bytes lastKey;
  putBE32(lastKey, last);
  page.addNode(lastKey, le32(last));
  file_.writePage(2, page.finish(2, 0, 0, file_.nextDbtime()));
  page.start(1, page_flags::kRoot | page_flags::kLeaf | page_flags::kSpaceTree, Bytes(16, '\0'));
  file_.writePage(3, page.finish(3, 0, 0, file_.nextDbtime()));
}

void DatabaseWriter::writeHeader() {
  // Database header (the first page and its copy in the second):
  //   0 checksum (legacy XOR)   4 signature 0x89abcdef   8 format version
  //  12 file type (0 database) 16 database time          24 database signature
  //  52 state (2 dirty, 3 clean shutdown)  56 consistent log position
  //  64 consistent time  72 attach time  80 attach position  88 detach time
  //  96 detach position  104 log signature  212 last object id
  // 216 OS major, minor, build, service pack  232 format revision
  // 236 page size  340 creation version  344 creation revision
  const FileFormat& f = options_.format;
  std::vector<unsigned char> h(f.pageSize, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) { storeU32(h.data() + at, v); };
  auto putBytes = [&](std::size_t at, const Bytes& b) { std::copy(b.begin(), b.end(), h.begin() + static_cast<std::ptrdiff_t>(at)); };
  const Bytes created = logTime(2026, 1, 15, 10, 20, 30);
  const Bytes attached = logTime(2026, 1, 15, 10, 20, 31);
  const Bytes detached = logTime(2026, 1, 15, 10, 21, 5);
  Bytes position;  // log position: byte offset (2), sector (2), generation (4)
  putU16(position, 0);
  putU16(position, 0x1b);
  putU32(position, 1);
  const bool clean = !options_.dirtyShutdown;
  put32(4, 0x89abcdefu);
  put32(8, kFormatVersion);
  put32(12, 0);
  storeU64(h.data() + 16, file_.dbtime() + 1);
  put32(24, options_.signature);
  putBytes(28, created);
  put32(52, clean ? 3 : 2);
  if (clean) {
    putBytes(56, position);
    putBytes(64, detached);
  }
  putBytes(72, attached);
  putBytes(80, position);
  if (clean) {
    putBytes(88, detached);
    putBytes(96, position);
  }
  put32(104, options_.signature ^ 0x1a2b3c4du);
  putBytes(108, created);
  put32(212, static_cast<std::uint32_t>(nextObjid_ - 1));
  const OsVersion os = osVersionFor(f.revision);
  put32(216, os.major);
  put32(220, os.minor);
  put32(224, os.build);
  put32(228, os.servicePack);
  put32(232, f.revision);
  put32(236, f.pageSize);
  put32(340, kFormatVersion);
  put32(344, f.revision);
  if (f.revision >= 0x11) {
    put32(508, 0xffffffffu);
    put32(512, 0xffffffffu);
    put32(664, 0x01000000u);
  }
  put32(0, legacyChecksum(h.data(), h.size()));
  file_.writeHeader(h.data());
}

std::string DatabaseWriter::finish() {
  std::string result = guarded([&] {
    if (!created_ || finished_) throw std::logic_error("finish without an open database");
    if (table_) throw std::logic_error("finish before the last table ended");
    finished_ = true;
    writeSystemTables();
    writeHeader();
  });
  if (!result.empty()) return result;
  if (std::string problem = file_.close(); !problem.empty()) return error_ = problem;
  if (dump_ != nullptr) {
    if (std::string problem = dump_->complete(options_.format.pageSize); !problem.empty()) return error_ = problem;
  }
  return {};
}

}  // namespace corvadex::esew
