// SPDX-License-Identifier: Apache-2.0
// The window's services over the contact store reader: reads go through
// ContactStoreReader on a given engine (the real one, or a scripted one in
// tests), paths are tested with the local file system.
#pragma once

#include <functional>
#include <string>

#include "ese/jet.h"
#include "store/contact_store_reader.h"
#include "window/form_services.h"

namespace corvadex {

class ShortDateFormat;

// The window's one reader: a ContactStoreReader bound to the window's log and
// list, kept (with its list of table names) from one read to the next.
class StoreDatabaseReader final : public DatabaseReader {
 public:
  StoreDatabaseReader(ese::JetApi& jet, MessageLog& log, ContactList& list,
                      const ShortDateFormat& dates)
      : reader_(jet, log, list, dates) {}
  void ReadDatabase(const std::string& path) override { reader_.ReadDatabase(path); }
  ContactStoreReader& Store() { return reader_; }

 private:
  ContactStoreReader reader_;
};

using XmlWriter = std::function<void(const ContactList& list, const std::string& fileName)>;

// `jet` and `dates` must outlive the window.
FormServices StoreServices(ese::JetApi& jet, const ShortDateFormat& dates, WindowDialogs& dialogs,
                           XmlWriter writeXml);

}  // namespace corvadex
