// SPDX-License-Identifier: Apache-2.0
// What the window tells about its contents beyond the message log: the title
// names the file read and how many contacts the list holds, the status line
// says what the last read or export did, and after a start-up location that
// read nothing, one more log line says how to go on.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>

#include "window/details_view.h"
#include "window/Unit1.h"
#include "window/message_memo.h"

namespace corvadex {

namespace {

QString fileNameOf(const std::string& path) { return QFileInfo(QFile::decodeName(path.c_str())).fileName(); }

// "20,000 contacts" in the language of the window: the translation names the
// locale whose digit grouping the number follows.
QString contactCount(std::size_t count) {
  if (count == 1) return TFormCorvadex::tr("1 contact");
  const QLocale locale(TFormCorvadex::tr("en_US", "the locale whose digit grouping numbers follow"));
  return TFormCorvadex::tr("%1 contacts").arg(locale.toString(static_cast<qulonglong>(count)));
}

}  // namespace

void TFormCorvadex::rowsChanged() {
  // A list emptied by a read leaves no contact whose values the boxes could
  // show: they are emptied rather than show a contact that is gone.
  if (list_.count() == 0) e->clearValues();
  showTitle();
}

void TFormCorvadex::showTitle() {
  if (shownFile_.isEmpty()) {
    setWindowTitle(QStringLiteral("Corvadex"));
    return;
  }
  setWindowTitle(tr("Corvadex \u2014 %1 \u2014 %2").arg(shownFile_, contactCount(list_.count())));
}

void TFormCorvadex::showStatus(const QString& text) {
  LabelStatus->setText(text);
  LabelStatus->setToolTip(text);
}

void TFormCorvadex::afterRead(const std::string& path) {
  shownFile_ = fileNameOf(path);
  showTitle();
  showStatus(tr("%1: %2 read").arg(shownFile_, contactCount(list_.count())));
}

void TFormCorvadex::afterExport(const std::string& path) {
  showStatus(tr("%1 exported to %2").arg(contactCount(list_.count()), fileNameOf(path)));
}

void TFormCorvadex::afterStartUp() {
  // A search still going on after the location tells when it ends.
  if (location_ == nullptr || readsStarted_ > 0 || search_ != nullptr) return;
  logHowToGoOn();
}

void TFormCorvadex::logHowToGoOn() {
  MemoInfo->Add(tr("No contacts database was read. Choose \"Choose the database file\" and pick "
                   "the file with \"...\" (Ctrl+O), or drop the file on this window.")
                    .toStdString());
}

}  // namespace corvadex
