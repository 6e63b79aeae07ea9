// SPDX-License-Identifier: Apache-2.0
// Stand-ins for what the window reads and writes, free of any toolkit: a
// reader that loads prepared contacts and an export that records its calls.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"
#include "store/database_reader.h"
#include "base/message_log.h"

namespace corvadex::testing {

// One contact as the 33 values of the master table, in its order.
using ContactValues = std::vector<std::string>;

inline ContactValues numberedContact(int n) {
  ContactValues v;
  for (const ContactColumn& c : kContactColumns)
    v.push_back(std::string(c.name) + " of " + std::to_string(n));
  return v;
}

// Adds rows to a list as the contact load does: caption, four sub-items, then
// the record.
inline void addContact(ContactList& list, const ContactValues& values) {
  ContactDraft row;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactPlace& place = kContactColumns[i].place;
    if (place.kind == ContactPlace::Kind::Caption) row.setCaption(values[i]);
    else if (place.kind == ContactPlace::Kind::SubItem) row.addSubItem(values[i]);
    else row.setField(place.field, values[i]);
  }
  row.setHasData();
  list.Add(row);
}

// What the fake reader loads for each path, and what it saw.
struct FakeDatabase {
  std::map<std::string, std::vector<ContactValues>> files;
  std::vector<std::string> readPaths;
  std::vector<bool> busyDuringRead;
  bool throwOnRead = false;
  // Files the engine refuses, with its status: the list is left alone.
  std::map<std::string, ese::JET_ERR> refused;
};

class FakeReader final : public DatabaseReader {
 public:
  // `busy` tells whether the window shows its busy cursor.
  FakeReader(FakeDatabase& db, MessageLog& log, ContactList& list, std::function<bool()> busy)
      : db_(db), log_(log), list_(list), busy_(std::move(busy)) {}
  ese::JET_ERR ReadDatabase(const std::string& path) override {
    db_.readPaths.push_back(path);
    db_.busyDuringRead.push_back(busy_());
    if (db_.throwOnRead) throw std::runtime_error("the reader broke down");
    log_.Add("Reading " + path);
    if (const auto refusal = db_.refused.find(path); refusal != db_.refused.end()) {
      log_.Add("ERROR JetGetDatabaseFileInfo " + std::to_string(refusal->second));
      return refusal->second;
    }
    auto it = db_.files.find(path);
    if (it == db_.files.end()) {
      log_.Add("No such database");
      return ese::JET_errFileNotFound;
    }
    list_.BeginUpdate();
    list_.clear();
    for (const auto& c : it->second) addContact(list_, c);
    list_.EndUpdate();
    log_.Add(std::to_string(it->second.size()) + " contacts read");
    return ese::JET_errSuccess;
  }

 private:
  FakeDatabase& db_;
  MessageLog& log_;
  ContactList& list_;
  std::function<bool()> busy_;
};

struct ExportCall {
  std::size_t rows;
  std::string fileName;
  std::string format = "xml";
};

}  // namespace corvadex::testing
