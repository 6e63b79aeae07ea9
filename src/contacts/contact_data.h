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
// (every text of a row sits in one block of the list's storage). A record
// is valid as long as its row is.
class TContactData {
 public:
  explicit TContactData(const ContactRow& row) : row_(&row) {}
  std::string_view get(ContactField field) const;
  friend bool operator==(const TContactData&, const TContactData&) = default;

  std::string_view HomePhone() const { return get(ContactField::HomePhone); }
  std::string_view WorkPhone() const { return get(ContactField::WorkPhone); }
  std::string_view MobilePhone() const { return get(ContactField::MobilePhone); }
  std::string_view OtherPhone() const { return get(ContactField::OtherPhone); }
  std::string_view WorkEmail() const { return get(ContactField::WorkEmail); }
  std::string_view OtherEmail() const { return get(ContactField::OtherEmail); }
  std::string_view HomeStreet() const { return get(ContactField::HomeStreet); }
  std::string_view HomeCity() const { return get(ContactField::HomeCity); }
  std::string_view HomeState() const { return get(ContactField::HomeState); }
  std::string_view HomeZipCode() const { return get(ContactField::HomeZipCode); }
  std::string_view HomeCountry() const { return get(ContactField::HomeCountry); }
  std::string_view HomeFax() const { return get(ContactField::HomeFax); }
  std::string_view HomeWebSite() const { return get(ContactField::HomeWebSite); }
  std::string_view Birthdate() const { return get(ContactField::Birthdate); }
  std::string_view SpouseName() const { return get(ContactField::SpouseName); }
  std::string_view Anniversary() const { return get(ContactField::Anniversary); }
  std::string_view CompanyName() const { return get(ContactField::CompanyName); }
  std::string_view JobTitle() const { return get(ContactField::JobTitle); }
  std::string_view WorkStreet() const { return get(ContactField::WorkStreet); }
  std::string_view WorkCity() const { return get(ContactField::WorkCity); }
  std::string_view WorkState() const { return get(ContactField::WorkState); }
  std::string_view WorkZipCode() const { return get(ContactField::WorkZipCode); }
  std::string_view WorkCountry() const { return get(ContactField::WorkCountry); }
  std::string_view Pager() const { return get(ContactField::Pager); }
  std::string_view WorkWebSite() const { return get(ContactField::WorkWebSite); }
  std::string_view UnresolvedEmail() const { return get(ContactField::UnresolvedEmail); }
  std::string_view OtherImEmail() const { return get(ContactField::OtherImEmail); }
  std::string_view Comments() const { return get(ContactField::Comments); }

 private:
  const ContactRow* row_;
};

}  // namespace corvadex
