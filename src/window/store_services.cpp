// SPDX-License-Identifier: Apache-2.0
#include "window/store_services.h"

#include "platform/file_exists.h"

namespace corvadex {

FormServices StoreServices(ese::JetApi& jet, const ShortDateFormat& dates, WindowDialogs& dialogs,
                           XmlWriter writeXml) {
  FormServices services;
  services.dialogs = &dialogs;
  services.fileExists = [](const std::string& path) { return FileExists(path); };
  services.makeReader = [&jet, &dates](MessageLog& log, ContactList& list) {
    return std::make_unique<StoreDatabaseReader>(jet, log, list, dates);
  };
  services.writeXml = std::move(writeXml);
  return services;
}

}  // namespace corvadex
