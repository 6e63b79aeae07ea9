// SPDX-License-Identifier: Apache-2.0
// The second export button, "Export for another address book...": vCard 3.0
// or 4.0, Google CSV or Outlook CSV, as the save dialog's file type says.
#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "window/window_behaviour.h"
#include "window/window_view.h"

namespace corvadex {

namespace {

// The file types of SaveDialog2, in the filter's order: the format each
// writes and the name each suggests, so that one type's export does not
// propose to replace another's.
struct AddressBookType {
  const char* label;
  const char* format;
  const char* fileName;
};
constexpr AddressBookType kAddressBookTypes[] = {
    {"vCard 3.0", "vcard", "contacts.vcf"},
    {"vCard 4.0", "vcard4", "contacts-vcard4.vcf"},
    {"Google CSV", "google-csv", "contacts-google.csv"},
    {"Outlook CSV", "outlook-csv", "contacts-outlook.csv"},
};

}  // namespace

void WindowBehaviour::setUpAddressBookDialog() {
  SaveDialog2.filter.clear();
  for (const AddressBookType& type : kAddressBookTypes) {
    const std::string name = type.fileName;
    if (!SaveDialog2.filter.empty()) SaveDialog2.filter += '|';
    SaveDialog2.filter += std::string(type.label) + "|*" + name.substr(name.rfind('.'));
    SaveDialog2.typeFileNames.emplace_back(name);
  }
  SaveDialog2.defaultExt = "vcf";
  SaveDialog2.fileName = kAddressBookTypes[0].fileName;
  SaveDialog2.overwritePrompt = true;
  SaveDialog2.title = tr(QT_TRANSLATE_NOOP("TFormCorvadex", "Export the contacts for another address book"));
}

void WindowBehaviour::ButtonExportForAddressBookClick() {
  if (refuseWhileTask() || refuseEmptyExport()) return;
  const std::optional<TypedFileChoice> chosen = view_.askSaveFileTyped(SaveDialog2);
  if (!chosen) return;
  SaveDialog2.fileName = chosen->fileName;  // proposed again, with its type
  SaveDialog2.filterIndex = chosen->filterIndex;
  const std::string& path = chosen->fileName;
  if (refuseDatabaseAsTarget(path)) return;
  if (!services_.writeForAddressBook) throw std::logic_error("no export for other address books");
  const AddressBookType& type =
      kAddressBookTypes[std::clamp(chosen->filterIndex, 0, static_cast<int>(std::size(kAddressBookTypes)) - 1)];
  exportInBackground(path, type.label,
                     [this, format = type.format, path] { services_.writeForAddressBook(list_, format, path); });
}

}  // namespace corvadex
