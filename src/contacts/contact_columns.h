// SPDX-License-Identifier: Apache-2.0
// The 33 contact columns in the order the contact load binds and reads them,
// with the reader each one goes through, the place in the list row or the
// record that receives it, and the attribute name the XML export gives it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "contacts/contact_data.h"

namespace corvadex {

enum class ColumnReader : unsigned char { ShortText, LongText, Date };

// Where a value lives: the row caption, a sub-item (0 to 3) or a record field.
struct ContactPlace {
  enum class Kind : unsigned char { Caption, SubItem, Field } kind;
  unsigned char subItem;  // for Kind::SubItem
  ContactField field;     // for Kind::Field
};

struct ContactColumn {
  std::string_view name;           // the column's name in the contact table
  ColumnReader reader;
  ContactPlace place;
  std::string_view xmlAttribute;   // the attribute of the exported "contact" element
};

inline constexpr std::size_t kContactColumnCount = 33;
inline constexpr std::size_t kSubItemCount = 4;

namespace detail {
constexpr ContactPlace caption() { return {ContactPlace::Kind::Caption, 0, ContactField::HomePhone}; }
constexpr ContactPlace sub(unsigned char i) { return {ContactPlace::Kind::SubItem, i, ContactField::HomePhone}; }
constexpr ContactPlace field(ContactField f) { return {ContactPlace::Kind::Field, 0, f}; }
}  // namespace detail

inline constexpr std::array<ContactColumn, kContactColumnCount> kContactColumns{{
    {"NickName", ColumnReader::LongText, detail::caption(), "nick_name"},
    {"FirstName", ColumnReader::ShortText, detail::sub(0), "first_name"},
    {"MiddleName", ColumnReader::ShortText, detail::sub(1), "middle_name"},
    {"LastName", ColumnReader::ShortText, detail::sub(2), "last_name"},
    {"HomeEmail", ColumnReader::LongText, detail::sub(3), "personal_email"},
    {"HomePhone", ColumnReader::ShortText, detail::field(ContactField::HomePhone), "home_phone"},
    {"WorkPhone", ColumnReader::ShortText, detail::field(ContactField::WorkPhone), "work_phone"},
    {"WorkEmail", ColumnReader::LongText, detail::field(ContactField::WorkEmail), "work_email"},
    {"MobilePhone", ColumnReader::ShortText, detail::field(ContactField::MobilePhone), "mobile_phone"},
    {"OtherEmail", ColumnReader::LongText, detail::field(ContactField::OtherEmail), "other_email"},
    {"OtherPhone", ColumnReader::ShortText, detail::field(ContactField::OtherPhone), "other_phone"},
    {"HomeStreet", ColumnReader::LongText, detail::field(ContactField::HomeStreet), "street_address"},
    {"HomeCity", ColumnReader::ShortText, detail::field(ContactField::HomeCity), "city"},
    {"HomeState", ColumnReader::ShortText, detail::field(ContactField::HomeState), "state_province"},
    {"HomeZipCode", ColumnReader::ShortText, detail::field(ContactField::HomeZipCode), "zip_postal_code"},
    {"HomeCountry", ColumnReader::ShortText, detail::field(ContactField::HomeCountry), "country_region"},
    {"HomeFax", ColumnReader::ShortText, detail::field(ContactField::HomeFax), "home_fax"},
    {"HomeWebSite", ColumnReader::LongText, detail::field(ContactField::HomeWebSite), "personal_website"},
    {"Birthdate", ColumnReader::Date, detail::field(ContactField::Birthdate), "birthday"},
    {"SpouseName", ColumnReader::LongText, detail::field(ContactField::SpouseName), "significant_other"},
    {"Anniversary", ColumnReader::Date, detail::field(ContactField::Anniversary), "anniversary"},
    {"CompanyName", ColumnReader::ShortText, detail::field(ContactField::CompanyName), "company"},
    {"JobTitle", ColumnReader::LongText, detail::field(ContactField::JobTitle), "job_title"},
    {"WorkStreet", ColumnReader::LongText, detail::field(ContactField::WorkStreet), "work_street_address"},
    {"WorkCity", ColumnReader::ShortText, detail::field(ContactField::WorkCity), "work_city"},
    {"WorkState", ColumnReader::ShortText, detail::field(ContactField::WorkState), "work_state_province"},
    {"WorkZipCode", ColumnReader::ShortText, detail::field(ContactField::WorkZipCode), "work_zip_postal_code"},
    {"WorkCountry", ColumnReader::ShortText, detail::field(ContactField::WorkCountry), "work_country_region"},
    {"Pager", ColumnReader::ShortText, detail::field(ContactField::Pager), "pager"},
    {"WorkWebSite", ColumnReader::LongText, detail::field(ContactField::WorkWebSite), "work_website"},
    {"UnresolvedEmail", ColumnReader::LongText, detail::field(ContactField::UnresolvedEmail), "wlm_address"},
    {"OtherImEmail", ColumnReader::LongText, detail::field(ContactField::OtherImEmail), "other_im_address"},
    {"Comments", ColumnReader::LongText, detail::field(ContactField::Comments), "notes"},
}};

}  // namespace corvadex
