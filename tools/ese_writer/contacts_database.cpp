// SPDX-License-Identifier: Apache-2.0
#include "contacts_database.h"

#include <algorithm>
#include <cstdio>

#include "bytes.h"
#include "contact_generator.h"
#include "contacts/contact_columns.h"
#include "database_writer.h"

namespace corvadex::esew {

namespace {

// Tagged column ids of the 33 contact columns: handed out in an order of
// their own, with extra columns between them, as a table that grew over
// several releases would have them.
constexpr std::uint32_t kContactIdBase = 256;
constexpr std::array<std::uint8_t, kContactColumnCount> kIdSlot{
    9, 1, 12, 2, 4, 6, 7, 5, 8, 13, 14, 16, 17, 18, 19, 20, 21, 23,
    10, 24, 25, 3, 26, 27, 28, 29, 30, 31, 32, 33, 35, 36, 0};
constexpr std::uint32_t kCategoriesId = kContactIdBase + 11;
constexpr std::uint32_t kPhotoId = kContactIdBase + 15;
constexpr std::uint32_t kRatingId = kContactIdBase + 22;
constexpr std::uint32_t kSyncTagsId = kContactIdBase + 34;

Bytes daysValue(double days) { return ieeeDouble(days); }

TableDef contactTable(const std::string& name, const std::vector<std::string>& without) {
  TableDef t;
  t.name = name;
  ColumnDef rowId{1, "ContactRowId", ColumnType::Long};
  rowId.notNull = true;
  ColumnDef flags{2, "Flags", ColumnType::Long};
  flags.defaultValue = le32(0);
  t.columns = {rowId, flags, {3, "Modified", ColumnType::DateTime}, {4, "Version", ColumnType::Short}};
  ColumnDef serverId{128, "ServerId", ColumnType::Text, kCodePageWestern, 64};
  ColumnDef changeKey{129, "ChangeKey", ColumnType::Binary, 0, 16};
  t.columns.push_back(serverId);
  t.columns.push_back(changeKey);
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactColumn& cc = kContactColumns[i];
    if (std::find(without.begin(), without.end(), cc.name) != without.end()) continue;
    ColumnDef c;
    c.id = kContactIdBase + kIdSlot[i];
    c.name = std::string(cc.name);
    if (cc.reader == ColumnReader::Date) {
      c.type = ColumnType::DateTime;
    } else {
      c.type = cc.reader == ColumnReader::LongText ? ColumnType::LongText : ColumnType::Text;
      c.codepage = kCodePageUnicode;
      c.maxSize = cc.reader == ColumnReader::ShortText ? 512 : 0;
    }
    t.columns.push_back(c);
  }
  ColumnDef categories{kCategoriesId, "Categories", ColumnType::Text, kCodePageUnicode, 255};
  categories.multiValued = true;
  ColumnDef rating{kRatingId, "Rating", ColumnType::UnsignedByte};
  rating.defaultValue = u8(3);
  ColumnDef syncTags{kSyncTagsId, "SyncTags", ColumnType::LongBinary};
  syncTags.multiValued = true;
  t.columns.push_back(categories);
  t.columns.push_back({kPhotoId, "Photo", ColumnType::LongBinary});
  t.columns.push_back(rating);
  t.columns.push_back(syncTags);
  t.keyColumns = {1};
  t.primaryIndexName = "PrimaryKey";
  return t;
}

// An XPRESS value that expands 14 bytes into 65535: header (scheme 3),
// size 0xffff, a flag word announcing a literal and a match, the literal
// 'A', and a match one byte back whose length (65531 + 3) comes from the
// longest length encoding.
Bytes expandingValue() {
  static const unsigned char kBytes[] = {0x18, 0xff, 0xff, 0x00, 0x00, 0x00, 0x40,
                                         0x41, 0x07, 0x00, 0x0f, 0xff, 0xfb, 0xff};
  return Bytes(reinterpret_cast<const char*>(kBytes), sizeof kBytes);
}

Row contactRow(const TableDef& table, std::uint64_t seed, std::uint64_t n, const Contact& c, bool expanding) {
  Row row;
  row.push_back({1, {le32(static_cast<std::uint32_t>(n + 1))}});
  if (n % 5 == 1) row.push_back({2, {le32(static_cast<std::uint32_t>(n % 7))}});
  row.push_back({3, {daysValue(45000.0 + static_cast<double>(n % 1000) + 0.5)}});
  row.push_back({4, {le16(static_cast<std::uint16_t>(1 + n % 9))}});
  if (n % 3 != 2) {
    char id[32];
    std::snprintf(id, sizeof id, "srv-%08llx", static_cast<unsigned long long>(seed * 7919 + n));
    row.push_back({128, {id}});
  }
  if (n % 4 == 0) row.push_back({129, {le64(seed ^ (n * 0x9e3779b97f4a7c15ull)) + le64(n)}});
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactColumn& cc = kContactColumns[i];
    const ColumnDef* def = nullptr;
    for (const auto& col : table.columns)
      if (col.name == cc.name) def = &col;
    if (def == nullptr) continue;
    if (cc.reader == ColumnReader::Date) {
      const auto& date = cc.name == "Birthdate" ? c.birthdate : c.anniversary;
      if (date) row.push_back({def->id, {daysValue(*date)}});
    } else if (expanding && kindOfColumnId(def->id) == ColumnKind::Tagged) {
      row.push_back({def->id, {expandingValue()}, true});
    } else if (c.texts[i]) {
      row.push_back({def->id, {utf16le(*c.texts[i])}});
    }
  }
  if (!c.categories.empty()) {
    Cell cell{kCategoriesId, {}};
    for (const auto& cat : c.categories) cell.values.push_back(utf16le(cat));
    row.push_back(cell);
  }
  if (c.photo) row.push_back({kPhotoId, {*c.photo}});
  if (c.rating) row.push_back({kRatingId, {u8(*c.rating)}});
  if (n % 41 == 3) {
    // Several long binary values in one column, one of them large enough to
    // be stored in the long-value tree (none empty: libesedb cannot export a
    // zero-length value inside a multi-valued column).
    row.push_back({kSyncTagsId, {Bytes(20, 'a'), Bytes(9000, static_cast<char>('0' + n % 10))}});
  }
  return row;
}

TableDef settingsTable() {
  TableDef t;
  t.name = "Settings";
  ColumnDef id{1, "SettingId", ColumnType::Long};
  id.notNull = true;
  ColumnDef scope{2, "Scope", ColumnType::Long};
  scope.defaultValue = le32(1);
  t.columns = {id, scope, {128, "Name", ColumnType::Text, kCodePageWestern, 128},
               {256, "Value", ColumnType::LongBinary}, {257, "Comment", ColumnType::LongText, kCodePageUnicode}};
  t.keyColumns = {1};
  return t;
}

TableDef groupsTable() {
  TableDef t;
  t.name = "ContactGroups";
  ColumnDef id{1, "GroupId", ColumnType::Long};
  id.notNull = true;
  ColumnDef members{257, "Members", ColumnType::Long};
  members.multiValued = true;
  ColumnDef color{258, "Color", ColumnType::Long};
  color.defaultValue = le32(0x00ff00);
  t.columns = {id, {256, "GroupName", ColumnType::Text, kCodePageUnicode, 255}, members, color,
               {259, "Created", ColumnType::DateTime}};
  t.keyColumns = {1};
  return t;
}

class Writer {
 public:
  explicit Writer(DatabaseWriter& db) : db_(db) {}
  void table(const TableDef& def) { step(db_.beginTable(def)); }
  void row(const Row& row) { step(db_.addRow(row)); }
  void end() { step(db_.endTable()); }
  const std::string& error() const { return error_; }

 private:
  void step(std::string e) {
    if (error_.empty()) error_ = std::move(e);
  }
  DatabaseWriter& db_;
  std::string error_;
};

}  // namespace

std::string contactTableName(std::uint64_t seed, int which) {
  Random r(seed ^ 0xc0ffee);
  char buf[64];
  std::snprintf(buf, sizeof buf, "SimpleContact-%08x-%04x-%04x", static_cast<unsigned>(r.next()),
                static_cast<unsigned>(r.below(0x10000)), static_cast<unsigned>(which * 0x1111 + 0x4d2));
  return buf;
}

std::string writeContactsDatabase(const std::string& path, const ContactsDatabaseOptions& o) {
  for (const auto& name : o.withoutColumns) {
    bool known = false;
    for (const auto& cc : kContactColumns) known = known || cc.name == name;
    if (!known) return "--without-column: " + name + " is not one of the 33 contact columns";
  }
  DumpWriter dump;
  if (!o.expectedPath.empty()) {
    if (std::string e = dump.open(o.expectedPath); !e.empty()) return e;
  }
  WriterOptions wo;
  wo.format = o.format;
  wo.dirtyShutdown = o.dirty;
  wo.signature = static_cast<std::uint32_t>(o.seed * 2654435761u);
  DatabaseWriter db;
  if (std::string e = db.create(path, wo, o.expectedPath.empty() ? nullptr : &dump); !e.empty()) return e;
  Writer w(db);

  const TableDef settings = settingsTable();
  w.table(settings);
  const char* names[] = {"Version", "LastSync", "SortOrder", "Owner", "Flags"};
  for (std::uint32_t i = 0; i < 5; ++i) {
    Row row{{1, {le32(i + 1)}}, {128, {names[i]}}};
    if (i % 2 == 0) row.push_back({2, {le32(i)}});
    if (i != 3) row.push_back({256, {Bytes(static_cast<std::size_t>(4 * i + 1), static_cast<char>(0x41 + i))}});
    if (i == 4) row.push_back({257, {utf16le("Notes about <settings> & more")}});
    w.row(row);
  }
  w.end();

  auto contacts = [&](int which) {
    const TableDef def = contactTable(contactTableName(o.seed, which), o.withoutColumns);
    w.table(def);
    const std::uint64_t rows = o.empty ? 0 : (which == 0 ? o.count : std::min<std::uint64_t>(o.count, 3));
    for (std::uint64_t n = 0; n < rows && w.error().empty(); ++n) {
      if (o.bareRows && which == 0) {
        w.row({{1, {le32(static_cast<std::uint32_t>(n + 1))}}});
      } else {
        const std::uint64_t seed = o.seed + static_cast<std::uint64_t>(which) * 1000003u;
        Contact c = makeContact(seed, n, o.longShortText && which == 0);
        if (o.vcardReserved) addVcardReservedCharacters(c, n);
        w.row(contactRow(def, seed, n, c, o.expandingValues && which == 0));
      }
    }
    w.end();
  };
  if (!o.noContactTable) contacts(0);
  // A table of one key column and one row.
  auto oneRowTable = [&](std::string name, std::string column) {
    TableDef t;
    t.name = std::move(name);
    ColumnDef id{1, std::move(column), ColumnType::Long};
    id.notNull = true;
    t.columns = {id};
    t.keyColumns = {1};
    w.table(t);
    w.row({{1, {le32(1)}}});
    w.end();
  };
  if (o.longTableName) oneRowTable("LongName-" + std::string(291, 'x'), "Id");
  if (o.twoContactTables && !o.noContactTable) contacts(1);
  // Names with a terminal escape sequence, a bell and a byte that is not
  // UTF-8, for the programs that print names.
  if (o.controlNames) oneRowTable("Odd\x1b]0;title\x07\xff", "Id\x1b[2J");

  const TableDef groups = groupsTable();
  w.table(groups);
  const std::uint64_t groupMembers = o.empty || o.noContactTable ? 0 : o.count;
  for (std::uint32_t g = 0; g < 4; ++g) {
    Row row{{1, {le32(g + 1)}}, {256, {utf16le(g == 0 ? "Family & Friends" : g == 1 ? "Équipe" : g == 2 ? "Команда" : "")}}};
    Cell members{257, {}};
    for (std::uint64_t m = g; m < groupMembers && members.values.size() < static_cast<std::size_t>(g + 1); m += 3)
      members.values.push_back(le32(static_cast<std::uint32_t>(m + 1)));
    if (!members.values.empty()) row.push_back(members);
    if (g == 2) row.push_back({258, {le32(0xff0000)}});
    if (g != 3) row.push_back({259, {daysValue(46000.0 + g)}});
    w.row(row);
  }
  w.end();

  if (!w.error().empty()) return w.error();
  return db.finish();
}

}  // namespace corvadex::esew
