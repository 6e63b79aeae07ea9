#include "window/engine_services.h"

#include "export/xml_export.h"
#include "location/database_search.h"
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
