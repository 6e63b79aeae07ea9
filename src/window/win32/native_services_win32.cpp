// SPDX-License-Identifier: Apache-2.0
#include "window/win32/native_services_win32.h"

#include "export/xml_export.h"
#include "location/database_search.h"
#include "location/windows_search_host_windows.h"
#include "store/contact_store_reader.h"
#include "window/address_book_file.h"

namespace corvadex::win32 {

FormServices NativeServices::services() {
  host_ = std::make_shared<WindowsSearchHost>();
  FormServices services;
  services.makeReader = [this](MessageLog& log, ContactList& list) {
    return std::make_unique<ContactStoreReader>(engine_, log, list, dates_);
  };
  services.writeXml = [](const ContactList& list, const std::string& name) { writeContactsXml(list, name); };
  services.writeForAddressBook = writeAddressBookFile;
  services.fileExists = [this](const std::string& path) { return windows_.fileExists(path); };
  services.windows = &windows_;
  // No Wine prefixes on Windows: the drives and the named folders.
  services.startSearch = [this] {
    return std::make_unique<DatabaseSearch>(host_, std::string(), searchFolders_, kSearchPatience);
  };
  return services;
}

}  // namespace corvadex::win32
