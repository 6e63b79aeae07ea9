// SPDX-License-Identifier: Apache-2.0
// What the window tells about its contents beyond the message log: the title
// names the file read and how many contacts the list holds, the status line
// says what the last read or export did, and after a start-up location that
// read nothing, one more log line says how to go on.
#include <string>

#include "window/window_behaviour.h"
#include "window/window_view.h"

namespace corvadex {

std::string fileNameOf(const std::string& path) {
#ifdef _WIN32
  const std::size_t slash = path.find_last_of("/\\");
#else
  const std::size_t slash = path.rfind('/');
#endif
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "20,000 contacts" in the language of the window: the translation names the
// locale whose digit grouping the number follows.
std::string WindowBehaviour::contactCount(std::size_t count) const {
  if (count == 1) return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "1 contact"));
  const std::string locale = view_.translate("en_US", "the locale whose digit grouping numbers follow");
  return fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1 contacts")), {view_.groupedNumber(count, locale)});
}

void WindowBehaviour::rowsChanged() {
  // A list emptied by a read leaves no contact whose values the boxes could
  // show: they are emptied rather than show a contact that is gone.
  if (list_.count() == 0) view_.clearDetails();
  showTitle();
}

void WindowBehaviour::showTitle() {
  if (shownFile_.empty()) {
    view_.setTitle("Corvadex");
    return;
  }
  view_.setTitle(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "Corvadex \u2014 %1 \u2014 %2")),
                        {shownFile_, contactCount(list_.count())}));
}

void WindowBehaviour::afterRead(const std::string& path) {
  shownFile_ = fileNameOf(path);
  showTitle();
  view_.setStatus(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1: %2 read")),
                         {shownFile_, contactCount(list_.count())}));
}

void WindowBehaviour::afterExport(const std::string& path) {
  view_.setStatus(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1 exported to %2")),
                         {contactCount(list_.count()), fileNameOf(path)}));
}

void WindowBehaviour::afterStartUp() {
  // A search still going on after the location tells when it ends.
  if (location_ == nullptr || readsStarted_ > 0 || search_ != nullptr) return;
  logHowToGoOn();
}

void WindowBehaviour::logHowToGoOn() {
  view_.Add(tr(QT_TRANSLATE_NOOP("TFormCorvadex",
                                 "No contacts database was read. Choose \"Choose the database file\" and pick "
                                 "the file with \"...\" (Ctrl+O), or drop the file on this window.")));
}

}  // namespace corvadex
