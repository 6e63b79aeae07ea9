// Reads a contacts database into the contact list, reporting every step and
// every engine failure as a line of the message log.
#pragma once

#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "store/message_log.h"

namespace corvadex {

class ShortDateFormat;  // platform/short_date.h

class ContactStoreReader {
 public:
  ContactStoreReader(ese::JetApi& jet, MessageLog& log, ContactList& list,
                     const ShortDateFormat& dates);

  // Opens the file read-only through the engine, finds the contact table,
  // and loads every row into the list. Failures go to the log; an exception
  // from the list or from memory exhaustion leaves after the teardown.
  void ReadDatabase(const std::string& path);

  // The names of the tables the last catalogue scan found, in walk order.
  const std::vector<std::string>& TableNames() const { return tableNames_; }

 private:
  ese::JetApi& jet_;
  MessageLog& log_;
  ContactList& list_;
  const ShortDateFormat& dates_;
  std::vector<std::string> tableNames_;
};

}  // namespace corvadex
