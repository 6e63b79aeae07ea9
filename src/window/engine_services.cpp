#include "window/engine_services.h"

#include "export/xml_export.h"
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
  return services;
}

}  // namespace corvadex
