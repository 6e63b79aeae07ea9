// SPDX-License-Identifier: Apache-2.0
#include "window/engine_services.h"

#include <optional>
#include <stdexcept>

#include "export/xml_export.h"
#include "location/database_search.h"
#include "platform/same_file.h"
#include "store/contact_store_reader.h"
#include "window/address_book_file.h"

namespace corvadex {

void useWinePrefix(FormServices& services, const platform::WinePrefixView& windows) {
  services.windows = &windows;
  // Paths are tested as the engine will open them: through the prefix.
  services.fileExists = [&windows](const std::string& path) { return windows.fileExists(path); };
  services.localPath = [&windows](const std::string& path) {
    return windows.paths().toHost(path).value_or(path);
  };
  // The database path may be a Windows path inside the prefix.
  services.sameFile = [&windows](const std::string& database, const std::string& target) {
    return isSameFile(windows.paths().toHost(database).value_or(database), target);
  };
}

FormServices EngineServices::services(WindowDialogs& dialogs) {
  FormServices services;
  services.dialogs = &dialogs;
  services.makeReader = [this](MessageLog& log, ContactList& list) {
    return std::make_unique<ContactStoreReader>(jet_, log, list, dates_);
  };
  services.writeXml = [](const ContactList& list, const std::string& name) { writeContactsXml(list, name); };
  useWinePrefix(services, windows_);
  services.writeForAddressBook = writeAddressBookFile;
  services.startSearch = [this] {
    return std::make_unique<DatabaseSearch>(host_, windows_.prefix(), searchFolders_,
                                            kSearchPatience);
  };
  return services;
}

}  // namespace corvadex
