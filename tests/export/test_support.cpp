// SPDX-License-Identifier: Apache-2.0
#include "test_support.h"

#include <stdexcept>

namespace corvadex::test {

const ContactRow& addContact(ContactList& list, const ContactValues& values, std::string_view birthdate,
                             std::string_view anniversary) {
  ContactDraft row;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactPlace& place = kContactColumns[i].place;
    switch (place.kind) {
      case ContactPlace::Kind::Caption: row.setCaption(values[i]); break;
      case ContactPlace::Kind::SubItem: row.addSubItem(values[i]); break;
      case ContactPlace::Kind::Field: row.setField(place.field, values[i]); break;
    }
  }
  row.setHasData();
  row.setCalendarDate(ContactField::Birthdate, birthdate);
  row.setCalendarDate(ContactField::Anniversary, anniversary);
  return list.Add(row);
}

ContactValues distinctValues(const std::string& prefix) {
  ContactValues values;
  for (std::size_t i = 0; i < kContactColumnCount; ++i)
    values[i] = prefix + " " + std::string(kContactColumns[i].name);
  return values;
}

std::size_t columnIndex(const std::string& xmlAttribute) {
  for (std::size_t i = 0; i < kContactColumnCount; ++i)
    if (kContactColumns[i].xmlAttribute == xmlAttribute) return i;
  throw std::invalid_argument("no column for attribute " + xmlAttribute);
}

}  // namespace corvadex::test
