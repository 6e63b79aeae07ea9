// SPDX-License-Identifier: Apache-2.0
// The contact list model: five columns read from the list on demand, one
// reset per update bracket, nothing editable, and a model that Qt's own
// model checker accepts through loads and clears.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "window/contact_list_model.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

class ContactListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void answersFromTheListAndResetsOncePerBracket() {
    ContactList list;
    ContactListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    list.BeginUpdate();
    list.clear();
    for (int i = 0; i < 1000; ++i) addContact(list, numberedContact(i));
    // Inside the bracket the view is told nothing has rows yet.
    QCOMPARE(model.rowCount(), 0);
    list.EndUpdate();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 1000);
    QCOMPARE(model.columnCount(), 5);
    const ContactValues last = numberedContact(999);
    for (int c = 0; c < 5; ++c)
      QCOMPARE(model.index(999, c).data().toString().toStdString(), last[c]);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);
    QVERIFY(!model.setData(model.index(0, 0), "changed"));
    QCOMPARE(model.index(0, 0).data().toString().toStdString(), numberedContact(0)[0]);

    // Texts are UTF-8 in the list and whole in the model.
    list.BeginUpdate();
    list.clear();
    ContactValues v(kContactColumnCount);
    v[0] = "\xc3\x85sa \xf0\x9f\x98\x80";  // "Åsa" and an emoji outside the BMP
    addContact(list, v);
    list.EndUpdate();
    QCOMPARE(resets.count(), 2);
    QCOMPARE(model.index(0, 0).data().toString(), QString::fromUtf8("\xc3\x85sa \xf0\x9f\x98\x80"));

    // A row added outside a bracket is announced on its own.
    addContact(list, numberedContact(5));
    QCOMPARE(model.rowCount(), 2);
    list.clear();
    QCOMPARE(model.rowCount(), 0);
  }
};

QTEST_MAIN(ContactListModelTest)
#include "contact_list_model_test.moc"
