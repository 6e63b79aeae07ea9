// SPDX-License-Identifier: Apache-2.0
// The program's texts in the desktop's language: the catalogue built into
// the program for the first of the user's languages that has one (LANGUAGE,
// then the locale); English, the texts as written, otherwise.
#pragma once

#include <QString>

class QCoreApplication;

namespace corvadex {

// Installs the catalogue for the desktop's language, if there is one, and
// returns its language code ("de"), or an empty text for English.
QString InstallTranslation(QCoreApplication& app);

}  // namespace corvadex
