// SPDX-License-Identifier: Apache-2.0
// The window in the desktop's language: run once with LANGUAGE=de (the German
// catalogue built into the program) and once with the English default (the
// texts as written).
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

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
  void textsFollowTheDesktopsLanguage() {
    const bool german = qgetenv("LANGUAGE").startsWith("de");
    QCOMPARE(InstallTranslation(*QCoreApplication::instance()), german ? QString("de") : QString());

    FakeDialogs dialogs;
    FakeDatabase db;
    std::vector<ExportCall> exports;
    TFormCorvadex form(TestServices(dialogs, db, exports));
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
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
