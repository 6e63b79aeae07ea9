// SPDX-License-Identifier: Apache-2.0
#include "window/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace corvadex {

QString InstallTranslation(QCoreApplication& app) {
  // LANGUAGE is a list ("de:en"); Qt's system locale reads LANGUAGE and the
  // locale variables, in this order, into its UI languages.
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale::system(), QStringLiteral("corvadex"), QStringLiteral("_"),
                       QStringLiteral(":/i18n"))) {
    QCoreApplication::installTranslator(translator);
    return translator->language().section(QLatin1Char('_'), 0, 0);
  }
  delete translator;
  return {};
}

}  // namespace corvadex
