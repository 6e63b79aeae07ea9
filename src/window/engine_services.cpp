// SPDX-License-Identifier: Apache-2.0
#include "window/engine_services.h"

#include <optional>
#include <stdexcept>

#include "export/export_format.h"
#include "export/replacing_file.h"
#include "export/xml_export.h"
#include "location/database_search.h"
#include "platform/same_file.h"
#include "store/contact_store_reader.h"

namespace corvadex {

void UseWinePrefix(FormServices& services, const platform::WinePrefixView& windows) {
  services.windows = &windows;
  // Paths are tested as the engine will open them: through the prefix.
  services.fileExists = [&windows](const std::string& path) { return windows.FileExists(path); };
  services.localPath = [&windows](const std::string& path) {
    return windows.Paths().ToHost(path).value_or(path);
  };
  // The database path may be a Windows path inside the prefix.
  services.sameFile = [&windows](const std::string& database, const std::string& target) {
    return IsSameFile(windows.Paths().ToHost(database).value_or(database), target);
  };
}

FormServices EngineServices::Services(WindowDialogs& dialogs) {
  FormServices services;
  services.dialogs = &dialogs;
  services.makeReader = [this](MessageLog& log, ContactList& list) {
    return std::make_unique<ContactStoreReader>(jet_, log, list, dates_);
  };
  services.writeXml = [](const ContactList& list, const std::string& name) { WriteContactsXml(list, name); };
  UseWinePrefix(services, windows_);
  services.writeForAddressBook = [](const ContactList& list, const std::string& format, const std::string& name) {
    const std::optional<ExportFormat> chosen = ExportFormatNamed(format);
    if (!chosen) throw std::invalid_argument("unknown export format " + format);
    ReplacingFile file(name);
    WriteContacts(*chosen, list, file);
    file.Commit();
  };
  services.startSearch = [this] {
    return std::make_unique<DatabaseSearch>(host_, windows_.Prefix(), searchFolders_,
                                            kSearchPatience);
  };
  return services;
}

}  // namespace corvadex
