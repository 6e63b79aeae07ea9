// SPDX-License-Identifier: Apache-2.0
// The window in the desktop's language: run once with LANGUAGE=de (the German
// catalogue built into the program) and once with the English default (the
// texts as written).
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "location/found_database_text.h"
#include "store/contact_store_reader.h"
#include "window/details_view.h"
#include "window/contact_list_view.h"
#include "window/error_report.h"
#include "window/find_bar.h"
#include "window/translation.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

class TranslationTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QCOMPARE(installTranslation(*QCoreApplication::instance()), german ? QString("de") : QString());
  }

  void textsFollowTheDesktopsLanguage() {

    FakeDialogs dialogs;
    FakeDatabase db;
    std::vector<ExportCall> exports;
    TFormCorvadex form(testServices(dialogs, db, exports));
    const struct {
      QString shown;
      const char* english;
      const char* german;
    } texts[] = {
        {form.RadioButton1->text(), "Find the contacts database authomatically", "Kontaktdatenbank automatisch suchen"},
        {form.RadioButton2->text(), "Choose the database file", "Datenbankdatei wählen"},
        {form.ButtonReadDatabase->text(), "Read", "Lesen"},
        {form.ButtonExportToXML->text(), "Export to XML file", "XML-Export"},
        {form.e->tabText(0), " Contact ", " Kontakt "},
        {form.ListViewContacts->model()->headerData(1, Qt::Horizontal).toString(), "First Name", "Vorname"},
        {form.FindBar1->NotFound->text(), "not found", "nicht gefunden"},
        {TFormCorvadex::tr("%1 contacts").arg("20,000"), "20,000 contacts", "20,000 Kontakte"},
    };
    for (const auto& t : texts) QCOMPARE(t.shown, QString::fromUtf8(german ? t.german : t.english));
  }

  // Qt's own dialogs speak the window's language: its catalogue is loaded
  // beside the program's.
  void qtsOwnDialogsFollowTheDesktopsLanguage() {
    const QString saveAs = QCoreApplication::translate("QFileDialog", "Save As");
    const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    QCOMPARE(saveAs, german ? QString("Speichern unter") : QString("Save As"));
    QCOMPARE(yes, german ? QString("&Ja") : QString("&Yes"));
  }

  // The read's, the location's and the search's lines, written in English by
  // code that knows no translation, shown in the desktop's language; in
  // English exactly as written. Lines of no known form stay as they are.
  void logLinesFollowTheDesktopsLanguage() {
    LineLog search;
    SearchOutcome outcome;
    outcome.abandoned = {"/mnt/share"};
    outcome.finds.push_back(DatabaseFind{});
    outcome.finds.back().path = "/mnt/c/Users/Zoë/contacts.edb";
    logSearchOutcome(search, outcome);
    logSearchOutcome(search, SearchOutcome{});
    QCOMPARE(search.Lines().size(), std::size_t{3});
    const std::string tooMany = tooManyRowsLine("SimpleContact-1: x", 104857);
    const struct {
      std::string line;
      const char* german;
    } lines[] = {
        {"database page size 8192", "Seitengröße der Datenbank 8192"},
        {"The database is empty", "Die Datenbank ist leer"},
        {std::string(kDirtyShutdownLine),
         "Die Datenbank wurde nicht sauber geschlossen; Änderungen, die nur in ihren "
         "Protokolldateien stehen, können fehlen"},
        {tooMany,
         "FEHLER Tabelle SimpleContact-1: x: Die Kontakte bräuchten mehr Speicher, als eine Datei "
         "dieser Größe fassen kann; die Liste endet nach Kontakt 104857"},
        {"Windows Live Mail version 16", "Windows Live Mail Version 16"},
        {"Version less than Windows Live Mail 2009 not supported!",
         "Versionen vor Windows Live Mail 2009 werden nicht unterstützt!"},
        {"Database File: C:\\Users\\%1\\contacts.edb", "Datenbankdatei: C:\\Users\\%1\\contacts.edb"},
        {"ERROR DatabaseFilePath not Exists", "FEHLER Die Datenbankdatei existiert nicht"},
        {search.Lines()[0], "Keine Antwort von /mnt/share, ausgelassen"},
        {search.Lines()[1], "Kontaktdatenbank gefunden: /mnt/c/Users/Zoë/contacts.edb"},
        {search.Lines()[2], "Keine weitere Kontaktdatenbank gefunden"},
        {"JetOpenTable ERROR -1305 - Object not found", nullptr},
        {"C:\\Users\\Zoë\\AppData\\Local", nullptr},
        {"database page size", nullptr},
        {"The database is empty!", nullptr},
    };
    for (const auto& l : lines) {
      const QString english = QString::fromUtf8(l.line.data(), static_cast<qsizetype>(l.line.size()));
      QCOMPARE(translatedLogLine(l.line), german && l.german ? QString::fromUtf8(l.german) : english);
    }
  }

 private:
  const bool german = qgetenv("LANGUAGE").startsWith("de");
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
