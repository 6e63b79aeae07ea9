// SPDX-License-Identifier: Apache-2.0
// The contact load: binds the 33 contact columns by name, empties the list,
// and turns every row of the contact table into a list row (caption and four
// sub-items) with its TContactData record, in the table's own walk order.
// Binding and reading follow the order of kContactColumns.
#include "contacts/contact_columns.h"
#include "store/contact_store_reader.h"
#include "store/error_line.h"
#include "store/teardown.h"

namespace corvadex {

using namespace ese;


void ContactStoreReader::ClearContacts() { list_.clear(); }

void ContactStoreReader::loadContacts(JET_SESID session, JET_TABLEID table) {
  JET_COLUMNID ids[kContactColumnCount];
  if (!bindColumns(session, table, ids)) return;
  walkRows(session, table, ids);
}

bool ContactStoreReader::bindColumns(JET_SESID session, JET_TABLEID table, JET_COLUMNID* ids) {
  // One definition serves every lookup; only its column id is used, so each
  // column is read with the reader the master table names, whatever its type.
  JET_COLUMNDEF def{};
  def.cbStruct = sizeof def;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const std::string name(kContactColumns[i].name);
    const JET_ERR err =
        jet_.getTableColumnInfo(session, table, name.c_str(), &def, sizeof def, JET_ColInfo);
    if (err != JET_errSuccess) {
      // The lines for NickName and MiddleName carry no blank before the code.
      const bool noBlank = name == "NickName" || name == "MiddleName";
      failed(noBlank ? "JetGetTableColumnInfo ERROR" : "JetGetTableColumnInfo ERROR ", err);
      return false;
    }
    ids[i] = def.columnid;
  }
  return true;
}

void ContactStoreReader::readColumn(JET_SESID session, JET_TABLEID table, JET_COLUMNID column,
                                    std::size_t index, std::string& out) {
  switch (kContactColumns[index].reader) {
    case ColumnReader::ShortText:
      return readShortText(session, table, column, out);
    case ColumnReader::LongText:
      return readLongText(session, table, column, out);
    case ColumnReader::Date:
      return readDate(session, table, column, out);
  }
}

void ContactStoreReader::walkRows(JET_SESID session, JET_TABLEID table,
                                  const JET_COLUMNID* ids) {
  // The whole walk, the clearing included, is one update bracket, so the
  // view resets once at its end; the bracket is closed on every way out.
  list_.BeginUpdate();
  Teardown endUpdate([this] { list_.EndUpdate(); });
  ClearContacts();
  list_.setSourceIdentity(identity_);

  // No index is chosen: rows come in the order the fresh cursor gives them.
  const JET_ERR err = jet_.move(session, table, JET_MoveFirst, 0);
  if (err == JET_errNoCurrentRecord) {
    log_.Add("The database is empty");
  } else if (err != JET_errSuccess) {
    failed("JetMove ERROR ", err);
  } else {
    // A row past the list's bound has given its own line and ends the walk
    // with `next` still a success.
    JET_ERR next = JET_errSuccess;
    while (loadRow(session, table, ids) &&
           (next = jet_.move(session, table, JET_MoveNext, 0)) == JET_errSuccess) {
    }
    // The end of the table ends the walk quietly. Any other status means the
    // rest of the table could not be read (a damaged page, say): the rows
    // read so far stay, and the line tells the user the list is incomplete
    // instead of letting a shortened list pass for the whole address book.
    if (next != JET_errNoCurrentRecord && next != JET_errSuccess) failed("JetMove ERROR ", next);
  }
  endUpdate.now();
}

bool ContactStoreReader::loadRow(JET_SESID session, JET_TABLEID table, const JET_COLUMNID* ids) {
  // Every value is read straight into the draft's buffers, kept from row to
  // row; the row is then added with all its texts in one block. A row that
  // would take the list past its bound is not added.
  draft_.clear();
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactPlace& place = kContactColumns[i].place;
    std::string& out = draft_.text(placeSlot(place));
    if (kContactColumns[i].reader == ColumnReader::Date)
      readDate(session, table, ids[i], out, &draft_.text(calendarDateSlot(place.field)));
    else
      readColumn(session, table, ids[i], i, out);
  }
  readKey(session, table, draft_.text(kKeySlot));
  draft_.setSubItemCount(kSubItemCount);
  draft_.setHasData();
  return list_.addWithin(draft_, listLimit_) || tooManyRows();
}

bool ContactStoreReader::tooManyRows() {
  log_.Add(tooManyRowsLine(contactTable_, list_.count()));
  return false;
}

std::uint64_t listByteLimit(std::uint64_t fileSize) {
  return kListBytesPerFileByte * fileSize + kListAllowance;
}

std::string tooManyRowsLine(std::string_view table, std::size_t kept) {
  return "ERROR table " + std::string(table) +
         ": the contacts would take more memory than a file of this size can hold; the list "
         "ends after contact " +
         std::to_string(kept);
}

}  // namespace corvadex
