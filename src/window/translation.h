// SPDX-License-Identifier: Apache-2.0
// The program's texts in the desktop's language: the catalogue built into
// the program for the first of the user's languages that has one (LANGUAGE,
// then the locale); English, the texts as written, otherwise.
#pragma once

#include <QString>
#include <string_view>

class QCoreApplication;

namespace corvadex {

// Installs the catalogue for the desktop's language, if there is one, and
// returns its language code ("de"), or an empty text for English.
QString installTranslation(QCoreApplication& app);
// Installs Qt's own catalogue (its dialogs' texts) for `language` ("de",
// "de_DE") from the system's Qt translations; false when there is none.
bool installQtTranslation(QCoreApplication& app, const QString& language);

// A message-log line as the window shows it. The read, the start-up
// location and the database search write their lines in English, knowing
// nothing of translation; the lines they write are recognised here by their
// English form, their variable parts (a number, a path) kept, and shown in
// the desktop's language. Any other line (an engine's error line, a folder
// path) is shown as written.
QString translatedLogLine(std::string_view line);

}  // namespace corvadex
