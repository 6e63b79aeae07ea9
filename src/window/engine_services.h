// The program's own services for the window: the storage engine, the user's
// short date format and the XML export.
#pragma once

#include "ese/jet.h"
#include "platform/short_date.h"
#include "window/form_services.h"

namespace corvadex {

class EngineServices {
 public:
  // Lives as long as the window it serves.
  FormServices Services(WindowDialogs& dialogs);

 private:
  ese::EngineJet jet_;
  LocaleShortDateFormat dates_;
};

}  // namespace corvadex
