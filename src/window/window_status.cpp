// SPDX-License-Identifier: Apache-2.0
// What the window tells about its contents beyond the message log: the title
// names the file read and how many contacts the list holds, the status line
// says what the last read or export did, and after a start-up location that
// read nothing, one more log line says how to go on.
#include <string>

#include "ese/jet.h"
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

void WindowBehaviour::afterRead(const std::string& path, ese::JET_ERR status, bool listReplaced) {
  if (!listReplaced) {
    // The list still holds what it held: the title keeps naming that file,
    // and the status line says which file could not be read, and why.
    showTitle();
    const std::string line = fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1 could not be read: %2")),
                                    {fileNameOf(path), readFailureReason(status)});
    view_.setStatus(line);
    view_.Add(line);
    return;
  }
  shownFile_ = fileNameOf(path);
  showTitle();
  view_.setStatus(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1: %2 read")),
                         {shownFile_, contactCount(list_.count())}));
  // The details follow the new list: its first contact, or none.
  list_.selectFirst();
}

std::string WindowBehaviour::readFailureReason(ese::JET_ERR status) const {
  using namespace ese;
  switch (status) {
    case JET_errFileNotFound:
    case JET_errDatabaseNotFound:
    case JET_errInvalidPath:
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "the file is missing."));
    case JET_errInvalidDatabase:
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "it is not a contacts database."));
    case JET_errFileAccessDenied:
      // What to do goes with it: the mail client and its companions hold the
      // database open while they run.
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex",
                                  "it is held by another program, or you may not read it. Close the "
                                  "mail client, Messenger and its background communication service, "
                                  "or copy the folder and read the copy."));
    case JET_errReadVerifyFailure:
    case JET_errPageNotInitialized:
    case JET_errDatabaseCorrupted:
    case JET_errBadPageLink:
    case JET_errBadParentPageLink:
    case JET_errPageSizeMismatch:
    case JET_errDecompressionFailed:
    case JET_errFileIOBeyondEOF:
    case JET_errDiskIO:
    case JET_errDatabaseDirtyShutdown:
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "the database is damaged."));
    case JET_errObjectNotFound:
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "the database holds no contacts."));
    case JET_errSuccess:
      return tr(QT_TRANSLATE_NOOP("TFormCorvadex", "the read stopped before the contacts."));
    default:
      return fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "the database engine reported error %1.")),
                    {std::to_string(status)});
  }
}

void WindowBehaviour::afterExport(const std::string& path, const std::string& format) {
  const std::string count = contactCount(list_.count());
  if (shownFile_.empty()) {
    view_.setStatus(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1 exported to %2 as %3")),
                           {count, fileNameOf(path), format}));
  } else {
    view_.setStatus(fillIn(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "%1 from %2 exported to %3 as %4")),
                           {count, shownFile_, fileNameOf(path), format}));
  }
  const std::string from = shownDatabase_.empty() ? std::string() : " from " + shownDatabase_;
  view_.Add("Exported " + view_.groupedNumber(list_.count(), "en_US") + " contacts" + from + " to " + path +
            " as " + format);
}

bool WindowBehaviour::refuseEmptyExport() {
  if (list_.count() > 0) return false;
  const std::string line =
      tr(QT_TRANSLATE_NOOP("TFormCorvadex", "No contacts have been read: nothing was exported."));
  view_.setStatus(line);
  view_.Add(line);
  return true;
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
