// SPDX-License-Identifier: Apache-2.0
// The second export button, "Export for another address book...": vCard 3.0
// or 4.0, Google CSV or Outlook CSV, as the save dialog's file type says.
#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "window/window_behaviour.h"
#include "window/window_view.h"

namespace corvadex {

namespace {

// The formats the file types of SaveDialog2 write, in the filter's order.
constexpr const char* kAddressBookFormats[] = {"vcard", "vcard4", "google-csv", "outlook-csv"};

}  // namespace

void WindowBehaviour::ButtonExportForAddressBookClick() {
  const std::optional<TypedFileChoice> chosen = view_.askSaveFileTyped(SaveDialog2);
  if (!chosen) return;
  SaveDialog2.fileName = chosen->fileName;  // proposed again, with its type
  SaveDialog2.filterIndex = chosen->filterIndex;
  const std::string& path = chosen->fileName;
  if (refuseDatabaseAsTarget(path)) return;
  if (!services_.writeForAddressBook) throw std::logic_error("no export for other address books");
  const int type = std::clamp(chosen->filterIndex, 0, static_cast<int>(std::size(kAddressBookFormats)) - 1);
  services_.writeForAddressBook(list_, kAddressBookFormats[type], path);
  view_.Add("Exported " + std::to_string(list_.count()) + " contacts to " + path);
  afterExport(path);
}

}  // namespace corvadex
