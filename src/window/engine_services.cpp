#include "window/engine_services.h"

#include "export/xml_export.h"
#include "window/store_services.h"

namespace corvadex {

FormServices EngineServices::Services(WindowDialogs& dialogs) {
  return StoreServices(jet_, dates_, dialogs, [](const ContactList& list, const std::string& name) {
    WriteContactsXml(list, name);
  });
}

}  // namespace corvadex
