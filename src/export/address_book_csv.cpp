// SPDX-License-Identifier: Apache-2.0
// Google Contacts: UTF-8 without a byte order mark (its importer reads
// UTF-8), dates as ISO 8601 "YYYY-MM-DD", each e-mail address, phone number,
// address, web site, relation and event as a numbered label/value group.
// The IM address has no column there and goes to the notes.
//
// Outlook: UTF-8 with the byte order mark, without which its importer takes
// the file for the system's 8-bit code page and garbles non-Latin text;
// dates in the form Outlook's own export writes (month/day/year, "4/12/1985").
// Nickname, IM address, Windows Live address and work web site have no
// column there and go to the notes.
//
// Notes: the contact's own notes, then (after an empty line) one
// "Label: value" line per value kept there. Records end with CRLF; fields
// are quoted as RFC 4180 asks (csv_export.h).
#include "export/address_book_csv.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

#include "export/csv_export.h"

namespace corvadex {

namespace {

using F = ContactField;

constexpr std::array<std::string_view, 48> kGoogleHeaders{
    "First Name", "Middle Name", "Last Name", "Nickname", "Organization Name", "Organization Title",
    "Birthday", "Notes",
    "E-mail 1 - Label", "E-mail 1 - Value", "E-mail 2 - Label", "E-mail 2 - Value",
    "E-mail 3 - Label", "E-mail 3 - Value", "E-mail 4 - Label", "E-mail 4 - Value",
    "Phone 1 - Label", "Phone 1 - Value", "Phone 2 - Label", "Phone 2 - Value",
    "Phone 3 - Label", "Phone 3 - Value", "Phone 4 - Label", "Phone 4 - Value",
    "Phone 5 - Label", "Phone 5 - Value", "Phone 6 - Label", "Phone 6 - Value",
    "Address 1 - Label", "Address 1 - Street", "Address 1 - City", "Address 1 - Region",
    "Address 1 - Postal Code", "Address 1 - Country",
    "Address 2 - Label", "Address 2 - Street", "Address 2 - City", "Address 2 - Region",
    "Address 2 - Postal Code", "Address 2 - Country",
    "Relation 1 - Label", "Relation 1 - Value",
    "Website 1 - Label", "Website 1 - Value", "Website 2 - Label", "Website 2 - Value",
    "Event 1 - Label", "Event 1 - Value"};

constexpr std::array<std::string_view, 29> kOutlookHeaders{
    "First Name", "Middle Name", "Last Name", "Company", "Job Title",
    "Business Street", "Business City", "Business State", "Business Postal Code", "Business Country/Region",
    "Home Street", "Home City", "Home State", "Home Postal Code", "Home Country/Region",
    "Business Phone", "Home Fax", "Home Phone", "Mobile Phone", "Other Phone", "Pager",
    "Anniversary", "Birthday", "E-mail Address", "E-mail 2 Address", "E-mail 3 Address",
    "Notes", "Spouse", "Web Page"};

std::string_view Field(const ContactRow& row, F field) { return row.field(field); }

// Appends "Label: value" lines for the set values after the notes.
void appendLabelled(std::string& notes, std::string_view label, std::string_view value, bool& started) {
  if (value.empty()) return;
  if (!started) {
    if (!notes.empty()) notes += "\r\n\r\n";
    started = true;
  } else {
    notes += "\r\n";
  }
  notes.append(label).append(": ").append(value);
}

// "1985-04-12" -> "4/12/1985".
void appendOutlookDate(std::string& out, std::string_view iso) {
  if (iso.size() != 10) return;
  const auto part = [&](std::size_t at) {
    std::string_view p = iso.substr(at, 2);
    return p[0] == '0' ? p.substr(1) : p;
  };
  out.append(part(5)).append("/").append(part(8)).append("/").append(iso.substr(0, 4));
}

// Fills `v` (one value per header) for one row; the members hold the texts
// made here, reused from row to row.
class RowValues {
 public:
  std::string notes, birthday, anniversary;

  void Google(const ContactRow& row, std::string_view* v) {
    notes.assign(Field(row, F::Comments));
    bool started = false;
    appendLabelled(notes, "Other IM address", Field(row, F::OtherImEmail), started);
    std::size_t i = 0;
    const auto put = [&](std::string_view value) { v[i++] = value; };
    const auto pair = [&](std::string_view label, std::string_view value) {
      put(value.empty() ? std::string_view{} : label);
      put(value);
    };
    put(row.SubItem(0));
    put(row.SubItem(1));
    put(row.SubItem(2));
    put(row.Caption());
    put(Field(row, F::CompanyName));
    put(Field(row, F::JobTitle));
    put(row.calendarDate(F::Birthdate));
    put(notes);
    pair("Home", row.SubItem(3));
    pair("Work", Field(row, F::WorkEmail));
    pair("Other", Field(row, F::OtherEmail));
    pair("Windows Live", Field(row, F::UnresolvedEmail));
    pair("Home", Field(row, F::HomePhone));
    pair("Work", Field(row, F::WorkPhone));
    pair("Mobile", Field(row, F::MobilePhone));
    pair("Other", Field(row, F::OtherPhone));
    pair("Pager", Field(row, F::Pager));
    pair("Home Fax", Field(row, F::HomeFax));
    address(row, "Home", {F::HomeStreet, F::HomeCity, F::HomeState, F::HomeZipCode, F::HomeCountry}, put);
    address(row, "Work", {F::WorkStreet, F::WorkCity, F::WorkState, F::WorkZipCode, F::WorkCountry}, put);
    pair("Spouse", Field(row, F::SpouseName));
    pair("Home Page", Field(row, F::HomeWebSite));
    pair("Work", Field(row, F::WorkWebSite));
    pair("Anniversary", row.calendarDate(F::Anniversary));
  }

  void Outlook(const ContactRow& row, std::string_view* v) {
    notes.assign(Field(row, F::Comments));
    bool started = false;
    appendLabelled(notes, "Nickname", row.Caption(), started);
    appendLabelled(notes, "Windows Live address", Field(row, F::UnresolvedEmail), started);
    appendLabelled(notes, "Other IM address", Field(row, F::OtherImEmail), started);
    appendLabelled(notes, "Work web site", Field(row, F::WorkWebSite), started);
    birthday.clear();
    anniversary.clear();
    appendOutlookDate(birthday, row.calendarDate(F::Birthdate));
    appendOutlookDate(anniversary, row.calendarDate(F::Anniversary));
    const std::string_view values[kOutlookHeaders.size()] = {
        row.SubItem(0), row.SubItem(1), row.SubItem(2), Field(row, F::CompanyName), Field(row, F::JobTitle),
        Field(row, F::WorkStreet), Field(row, F::WorkCity), Field(row, F::WorkState),
        Field(row, F::WorkZipCode), Field(row, F::WorkCountry),
        Field(row, F::HomeStreet), Field(row, F::HomeCity), Field(row, F::HomeState),
        Field(row, F::HomeZipCode), Field(row, F::HomeCountry),
        Field(row, F::WorkPhone), Field(row, F::HomeFax), Field(row, F::HomePhone),
        Field(row, F::MobilePhone), Field(row, F::OtherPhone), Field(row, F::Pager),
        anniversary, birthday, row.SubItem(3), Field(row, F::WorkEmail), Field(row, F::OtherEmail),
        notes, Field(row, F::SpouseName), Field(row, F::HomeWebSite)};
    std::copy(std::begin(values), std::end(values), v);
  }

 private:
  template <typename Put>
  static void address(const ContactRow& row, std::string_view label, std::initializer_list<F> parts, Put& put) {
    bool any = false;
    for (F part : parts) any = any || !Field(row, part).empty();
    put(any ? label : std::string_view{});
    for (F part : parts) put(Field(row, part));
  }
};

}  // namespace

std::span<const std::string_view> addressBookCsvHeaders(AddressBookCsv layout) {
  if (layout == AddressBookCsv::Google) return kGoogleHeaders;
  return kOutlookHeaders;
}

ExportRows addressBookCsvRows(const ContactList& list, AddressBookCsv layout) {
  ExportRows rows;
  if (layout == AddressBookCsv::Outlook) rows.head = "\xEF\xBB\xBF";
  std::string scratch;
  appendCsvRecord(rows.head, addressBookCsvHeaders(layout), scratch);
  rows.makeFormatter = [&list, layout]() -> RowFormatter {
    return [&list, layout, values = RowValues(), scratch = std::string()](std::size_t row, std::string& out) mutable {
      std::array<std::string_view, kGoogleHeaders.size()> fields{};
      if (layout == AddressBookCsv::Google) {
        values.Google(list.item(row), fields.data());
        appendCsvRecord(out, std::span(fields.data(), kGoogleHeaders.size()), scratch);
      } else {
        values.Outlook(list.item(row), fields.data());
        appendCsvRecord(out, std::span(fields.data(), kOutlookHeaders.size()), scratch);
      }
    };
  };
  return rows;
}

void writeContactsAddressBookCsv(const ContactList& list, ByteSink& sink, AddressBookCsv layout,
                                 const ExportProgress& progress, unsigned threads) {
  writeExportRows(addressBookCsvRows(list, layout), list.count(), sink, progress, threads);
}

}  // namespace corvadex
