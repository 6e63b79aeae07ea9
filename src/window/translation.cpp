// SPDX-License-Identifier: Apache-2.0
#include "window/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLibraryInfo>
#include <QTranslator>
#include <optional>
#include <string>
#include <vector>

namespace corvadex {

QString installTranslation(QCoreApplication& app) {
  // LANGUAGE is a list ("de:en"); Qt's system locale reads LANGUAGE and the
  // locale variables, in this order, into its UI languages.
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale::system(), QStringLiteral("corvadex"), QStringLiteral("_"),
                       QStringLiteral(":/i18n"))) {
    QCoreApplication::installTranslator(translator);
    installQtTranslation(app, translator->language());
    return translator->language().section(QLatin1Char('_'), 0, 0);
  }
  delete translator;
  return {};
}

bool installQtTranslation(QCoreApplication& app, const QString& language) {
  // Qt's own texts (its file dialogs, the buttons of its message boxes), in
  // the language of the window's texts, where the system has them.
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_") + language,
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
    return true;
  }
  delete translator;
  return false;
}

namespace {

// The log lines the window translates, as their writers spell them, with %1
// and %2 for what varies. At most one pattern matches any line.
constexpr const char* kLogLines[] = {
    // The read.
    QT_TRANSLATE_NOOP("MessageLog", "database page size %1"),
    QT_TRANSLATE_NOOP("MessageLog", "The database is empty"),
    QT_TRANSLATE_NOOP("MessageLog", "Reading contacts database: %1"),
    QT_TRANSLATE_NOOP("MessageLog",
                      "The database was not shut down cleanly; changes held only in its log files "
                      "may be missing"),
    QT_TRANSLATE_NOOP("MessageLog",
                      "ERROR table %1: the contacts would take more memory than a file of this "
                      "size can hold; the list ends after contact %2"),
    // The start-up location.
    QT_TRANSLATE_NOOP("MessageLog", "Windows Live Mail version %1"),
    QT_TRANSLATE_NOOP("MessageLog", "Version less than Windows Live Mail 2009 not supported!"),
    QT_TRANSLATE_NOOP("MessageLog", "Database File: %1"),
    QT_TRANSLATE_NOOP("MessageLog", "ERROR DatabaseFilePath not Exists"),
    // The database search.
    QT_TRANSLATE_NOOP("MessageLog", "Found contacts database: %1"),
    QT_TRANSLATE_NOOP("MessageLog", "No answer from %1, left out"),
    QT_TRANSLATE_NOOP("MessageLog", "No other contacts database found"),
    QT_TRANSLATE_NOOP("MessageLog", "Searching for contacts databases in other places"),
    QT_TRANSLATE_NOOP("MessageLog", "Searched %1 places for contacts databases"),
    QT_TRANSLATE_NOOP("MessageLog", "Searched: %1"),
};

// The texts that take the places of %1, %2, ... when `line` is `pattern`
// with them; none when it is not.
std::optional<std::vector<std::string_view>> match(std::string_view pattern, std::string_view line) {
  std::vector<std::string_view> args;
  while (true) {
    const std::size_t mark = pattern.find('%');
    const std::string_view literal = pattern.substr(0, mark);
    if (!line.starts_with(literal)) return std::nullopt;
    line.remove_prefix(literal.size());
    if (mark == std::string_view::npos) {
      if (!line.empty()) return std::nullopt;
      return args;
    }
    pattern.remove_prefix(mark + 2);  // "%1"
    // The argument runs to the next literal piece; the last one to the
    // literal that ends the line.
    const std::size_t nextMark = pattern.find('%');
    const std::string_view next = pattern.substr(0, nextMark);
    std::size_t end = line.size() - next.size();
    if (nextMark != std::string_view::npos)
      end = line.find(next);
    else if (!line.ends_with(next))
      return std::nullopt;
    if (end == std::string_view::npos) return std::nullopt;
    args.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
}

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString translatedLogLine(std::string_view line) {
  for (const char* pattern : kLogLines) {
    const auto args = match(pattern, line);
    if (!args) continue;
    QString text = QCoreApplication::translate("MessageLog", pattern);
    if (args->size() == 1) text = text.arg(fromUtf8((*args)[0]));
    if (args->size() == 2) text = text.arg(fromUtf8((*args)[0]), fromUtf8((*args)[1]));
    return text;
  }
  return fromUtf8(line);
}

}  // namespace corvadex
