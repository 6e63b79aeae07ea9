// SPDX-License-Identifier: Apache-2.0
#include "window/engine_services.h"

#include <optional>
#include <stdexcept>

#include "export/export_format.h"
#include "base/output_file.h"
#include "export/xml_export.h"
#include "location/database_search.h"
#include "platform/same_file.h"
#include "window/store_services.h"

namespace corvadex {

FormServices EngineServices::Services(WindowDialogs& dialogs) {
  FormServices services =
      StoreServices(jet_, dates_, dialogs, [](const ContactList& list, const std::string& name) {
        WriteContactsXml(list, name);
      });
  // Paths are tested as the engine will open them: through the prefix.
  services.fileExists = [this](const std::string& path) { return windows_.FileExists(path); };
  services.windows = &windows_;
  services.writeForAddressBook = [](const ContactList& list, const std::string& format, const std::string& name) {
    const std::optional<ExportFormat> chosen = ExportFormatNamed(format);
    if (!chosen) throw std::invalid_argument("unknown export format " + format);
    OutputFile file(name);
    WriteContacts(*chosen, list, file);
    file.Commit();
  };
  // The database path may be a Windows path inside the prefix.
  services.sameFile = [this](const std::string& database, const std::string& target) {
    return IsSameFile(windows_.Paths().ToHost(database).value_or(database), target);
  };
  services.startSearch = [this] {
    return std::make_unique<DatabaseSearch>(host_, windows_.Prefix(), searchFolders_,
                                            kSearchPatience);
  };
  services.localPath = [this](const std::string& path) {
    return windows_.Paths().ToHost(path).value_or(path);
  };
  return services;
}

}  // namespace corvadex
