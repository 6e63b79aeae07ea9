// SPDX-License-Identifier: Apache-2.0
// The window reading through the real contact store reader over a scripted
// engine: what the reader loads is what the list and the boxes show, engine
// failures go to the log without a dialog, and an exception out of the
// engine reaches the default error report with the window still working.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "fake_jet.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "window/details_view.h"
#include "window/message_memo.h"
#include "window_fixture.h"

using namespace corvadex;
using namespace corvadex::testing;

class WindowStoreTest : public QObject, WindowFixture {
  Q_OBJECT

  std::unique_ptr<FakeJet> jet_;
  FixedShortDateFormat dates_{"%d.%m.%Y"};
  std::string path_;

  void read() { readThroughButton(path_); }

  QString box(const char* name) { return static_cast<QLineEdit*>(form_->e->box(name))->text(); }

 private slots:
  void init() {
    start();
    jet_ = std::make_unique<FakeJet>();
    FakeTable& table = jet_->addContactTable();
    table.rows.push_back({{"NickName", utf16(u"Ann")},
                          {"FirstName", utf16(u"Anna")},
                          {"LastName", utf16(u"Smith-\u00c5str\u00f6m")},
                          {"HomeEmail", utf16(u"anna@example.org")},
                          {"HomePhone", utf16(u"+1 555 0100")},
                          {"Birthdate", dateValue(45000)},
                          {"Comments", utf16(u"line one\r\nline two")}});
    table.rows.push_back({{"FirstName", utf16(u"Bob")}});
    path_ = makeFile("contacts.edb");
    // The fakes, but reads go through the contact store reader.
    FormServices services = testServices(dialogs_, db_, exports_);
    services.makeReader = [this](MessageLog& log, ContactList& list) {
      return std::make_unique<ContactStoreReader>(*jet_, log, list, dates_);
    };
    openWith(std::move(services));
  }

  void cleanup() { stop(); }

  void showsWhatTheReaderLoaded() {
    read();
    auto* model = form_->ListViewContacts->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 0).data().toString(), QString("Ann"));
    QCOMPARE(model->index(0, 3).data().toString(), QString::fromUtf16(u"Smith-\u00c5str\u00f6m"));
    QCOMPARE(model->index(0, 4).data().toString(), QString("anna@example.org"));
    QCOMPARE(model->index(1, 1).data().toString(), QString("Bob"));
    QCOMPARE(model->index(1, 0).data().toString(), QString());
    QCOMPARE(form_->contacts().selected(), std::optional<std::size_t>(0));
    QCOMPARE(form_->MemoInfo->toPlainText().section('\n', 1, 1), QString("database page size 8192"));
    QVERIFY(dialogs_.boxes.empty());

    form_->contacts().setSelected(0, true);
    QCOMPARE(box("EditNickname"), QString("Ann"));
    QCOMPARE(box("EditFirstname"), QString("Anna"));
    QCOMPARE(box("EditPersonalemail2"), QString("anna@example.org"));
    QCOMPARE(box("EditHomephone"), QString("+1 555 0100"));
    QCOMPARE(box("EditHomephone2"), QString("+1 555 0100"));
    QCOMPARE(box("EditBirthday"), QString("15.03.2023"));
    QCOMPARE(form_->e->MemoNotes->toPlainText(), QString("line one\nline two"));

    // The export hands the loaded list to the writer.
    dialogs_.saveAnswers = {dir_.filePath("out.xml")};
    QTest::mouseClick(form_->ButtonExportToXML, Qt::LeftButton);
    QCOMPARE(exports_.size(), std::size_t{1});
    QCOMPARE(exports_[0].rows, std::size_t{2});
  }

  void engineFailuresAreLoggedNotShown() {
    read();
    const int lines = form_->MemoInfo->document()->blockCount();
    jet_->fail("JetInit", ese::JET_errOutOfMemory);
    QTest::mouseClick(form_->ButtonReadDatabase, Qt::LeftButton);
    QVERIFY(dialogs_.boxes.empty());
    QVERIFY(form_->MemoInfo->document()->blockCount() > lines);
    QVERIFY(form_->MemoInfo->toPlainText().contains("JetInit"));
    QCOMPARE(form_->ListViewContacts->model()->rowCount(), 2);  // earlier rows kept
  }

  void anExceptionFromTheEngineIsReportedAndTheWindowGoesOn() {
    jet_->throwOn("JetRetrieveColumn FirstName", 2);
    read();
    QCOMPARE(dialogs_.boxes.size(), std::size_t{1});
    QCOMPARE(dialogs_.boxes[0].caption, QString("Corvadex"));
    QCOMPARE(dialogs_.boxes[0].icon, MessageIcon::Error);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!form_->contacts().updating());
    QCOMPARE(jet_->openTableCount(), std::size_t{0});
    // The model is usable after the bracket the exception cut short.
    QCOMPARE(form_->ListViewContacts->model()->rowCount(),
             static_cast<int>(form_->contacts().count()));
    QTest::mouseClick(form_->ButtonReadDatabase, Qt::LeftButton);
    QCOMPARE(form_->ListViewContacts->model()->rowCount(), 2);
  }
};

QTEST_MAIN(WindowStoreTest)
#include "window_store_test.moc"
