// SPDX-License-Identifier: Apache-2.0
// One contact's values that the list row does not show.
//
// The record has 28 texts (UTF-8), one per field, empty when the column was
// null or could not be read. Fields are named as the contact table's columns;
// the field that nothing ever writes or reads is left out.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvadex {

// The record's fields, in the record's own order.
enum class ContactField : unsigned char {
  HomePhone,
  WorkPhone,
  MobilePhone,
  OtherPhone,
  WorkEmail,
  OtherEmail,
  HomeStreet,
  HomeCity,
  HomeState,
  HomeZipCode,
  HomeCountry,
  HomeFax,
  HomeWebSite,
  Birthdate,
  SpouseName,
  Anniversary,
  CompanyName,
  JobTitle,
  WorkStreet,
  WorkCity,
  WorkState,
  WorkZipCode,
  WorkCountry,
  Pager,
  WorkWebSite,
  UnresolvedEmail,
  OtherImEmail,
  Comments,
};
inline constexpr std::size_t kContactFieldCount = 28;

class ContactRow;  // contacts/contact_row.h

// The record of one list row: its 28 fields, read where the row keeps them
// (every text of a row sits in one block of the list's storage), each by
// its ContactField. A record is valid as long as its row is.
class TContactData {
 public:
  explicit TContactData(const ContactRow& row) : row_(&row) {}
  std::string_view get(ContactField field) const;
  friend bool operator==(const TContactData&, const TContactData&) = default;

 private:
  const ContactRow* row_;
};

}  // namespace corvadex
