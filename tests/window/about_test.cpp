// SPDX-License-Identifier: Apache-2.0
// The about dialog: its layout and look, the transparent picture, centring,
// the keys that close it (and Escape, which does not), and the link to the guide.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <QTimer>
#include <QUrl>

#include "corvadex_version.h"
#include "window/UnitAbout.h"
#include "window/about_picture.h"
#include "window/bevel_line.h"
#include "window/link_label.h"
#include "window_fakes.h"

using namespace corvadex;
using namespace corvadex::testing;

class AboutTest : public QObject {
  Q_OBJECT

  FakeDialogs dialogs_;

  static QColor textColour(QWidget* w) { return w->palette().color(QPalette::WindowText); }

 private slots:
  void laysOutTheDesignedControls() {
    QWidget owner;
    TFormAbout about(&owner, dialogs_);
    QCOMPARE(about.windowTitle(), QString(" About Corvadex"));
    QCOMPARE(about.size(), QSize(318, 223));
    QCOMPARE(about.minimumSize(), QSize(318, 223));
    QCOMPARE(about.maximumSize(), QSize(318, 223));
    QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);

    // Controls whose text the design fixes keep its geometry exactly; those
    // with our own texts keep their place and may be wider.
    struct {
      QWidget* w;
      const char* name;
      QRect geometry;
      bool exact;
    } controls[] = {
        {about.Image1, "Image1", {32, 14, 48, 48}, true},
        {about.LabelName, "LabelName", {158, 15, 91, 16}, true},
        {about.LabelVers, "LabelVers", {255, 15, 33, 16}, false},
        {about.Label1, "Label1", {165, 37, 37, 13}, false},
        {about.Label5, "Label5", {232, 50, 40, 13}, false},
        {about.Label6, "Label6", {232, 63, 37, 13}, false},
        {about.Bevel1, "Bevel1", {15, 79, 278, 10}, true},
        {about.Label3, "Label3", {40, 94, 228, 13}, false},
        {about.Label4, "Label4", {14, 106, 281, 13}, false},
        {about.Label7, "Label7", {75, 119, 158, 13}, false},
        {about.Label8, "Label8", {75, 136, 163, 13}, false},
        {about.Bevel2, "Bevel2", {15, 160, 278, 10}, true},
        {about.ButtonOK, "ButtonOK", {216, 182, 75, 22}, true},
    };
    for (const auto& c : controls) {
      QCOMPARE(about.findChild<QWidget*>(c.name), c.w);
      if (c.exact) {
        QCOMPARE(c.w->geometry(), c.geometry);
      } else {
        // At its place, its text centred where the design centres it, and
        // tall and wide enough for the whole text: no letter cut below.
        const QSize hint = static_cast<QLabel*>(c.w)->sizeHint();
        QCOMPARE(c.w->x(), c.geometry.x());
        QVERIFY2(std::abs(c.w->geometry().center().y() - c.geometry.center().y()) <= 1, c.name);
        QVERIFY(c.w->width() >= c.geometry.width());
        QVERIFY(c.w->width() >= hint.width());
        QVERIFY2(c.w->height() >= std::max(c.geometry.height(), hint.height()), c.name);
        QVERIFY2(c.w->geometry().right() < 318, c.name);  // still inside the dialog
      }
    }
    // The name follows "Author: " on its line without overlapping it.
    QCOMPARE(about.Label2->y(), 37);
    QVERIFY(about.Label2->x() >= 205 && about.Label2->x() > about.Label1->geometry().right());
    QVERIFY(about.Label2->geometry().right() < 318);
    QCOMPARE(about.LabelURL->y(), 149);
    QVERIFY(about.LabelURL->geometry().right() < 318 && about.LabelURL->x() >= 0);

    QCOMPARE(about.LabelName->text(), QString("Corvadex"));
    QCOMPARE(about.LabelVers->text(), QString("v " CORVADEX_VERSION));
    QCOMPARE(about.Label1->text(), QString("Author: "));
    QCOMPARE(about.ButtonOK->text(), QString("OK"));
    for (QLabel* l : {about.LabelName, about.LabelVers}) {
      QVERIFY(l->font().bold());
      QCOMPARE(l->font().pointSize(), 10);
    }
    QCOMPARE(textColour(about.LabelVers), QColor(0, 0, 255));
    QCOMPARE(textColour(about.Label2), QColor(0, 0, 128));
    for (QLabel* l : {about.Label3, about.Label4, about.Label7, about.Label8}) {
      QCOMPARE(textColour(l), QColor(128, 0, 128));
      QVERIFY(!l->text().isEmpty());
    }
    QCOMPARE(textColour(about.LabelURL), QColor(0, 0, 255));
    QVERIFY(about.LabelURL->font().underline());
    QCOMPARE(about.LabelURL->cursor().shape(), Qt::PointingHandCursor);

    // Only "OK" takes the focus.
    for (QWidget* w : about.findChildren<QWidget*>())
      QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == about.ButtonOK);
  }

  void pictureIsDrawnWithoutItsKeyColour() {
    const QImage picture = aboutPicture();
    QCOMPARE(picture.size(), QSize(48, 48));
    QCOMPARE(picture.depth(), 24);
    const QRgb key = picture.pixel(0, 47);
    const QImage shown = transparentPicture(picture).toImage();
    int keyPixels = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const bool isKey = picture.pixel(x, y) == key;
        keyPixels += isKey;
        QCOMPARE(qAlpha(shown.pixel(x, y)) == 0, isKey);
      }
    QVERIFY(keyPixels > 0 && keyPixels < 48 * 48 / 2);

    QWidget owner;
    TFormAbout about(&owner, dialogs_);
    QCOMPARE(about.Image1->pixmap().size(), QSize(48, 48));
    QVERIFY(about.Image1->pixmap().hasAlpha());
  }

  void opensCentredWhereverTheOwnerIs() {
    QWidget owner;
    owner.setGeometry(5, 5, 200, 100);
    owner.show();
    TFormAbout about(&owner, dialogs_);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QPoint centre = about.screen()->availableGeometry().center();
    QVERIFY((about.frameGeometry().center() - centre).manhattanLength() <= 2);
  }

  void escapeDoesNothingWhileEnterSpaceAndCloseBoxClose() {
    QWidget owner;
    owner.show();
    {
      TFormAbout about(&owner, dialogs_);
      about.show();
      QVERIFY(QTest::qWaitForWindowActive(&about));
      QCOMPARE(QApplication::focusWidget(), about.ButtonOK);
      QTest::keyClick(&about, Qt::Key_Escape);
      QVERIFY(about.isVisible());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY(!about.isVisible());
      QCOMPARE(about.result(), int(QDialog::Rejected));
    }
    {
      TFormAbout about(&owner, dialogs_);
      about.show();
      QVERIFY(QTest::qWaitForWindowActive(&about));
      QTest::keyClick(about.ButtonOK, Qt::Key_Space);
      QVERIFY(!about.isVisible());
    }
    {
      TFormAbout about(&owner, dialogs_);
      about.show();
      QVERIFY(QTest::qWaitForWindowExposed(&about));
      about.close();  // what the close box does
      QVERIFY(!about.isVisible());
    }
    // Shown modally, "OK" ends the modal loop with the cancel result.
    TFormAbout about(&owner, dialogs_);
    QTimer::singleShot(0, about.ButtonOK, [&about] { QTest::mouseClick(about.ButtonOK, Qt::LeftButton); });
    QCOMPARE(about.exec(), int(QDialog::Rejected));
  }

  void linkOpensTheProjectReadme() {
    QWidget owner;
    TFormAbout about(&owner, dialogs_);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.LabelURL, Qt::LeftButton);
    QTest::mouseClick(about.LabelURL, Qt::LeftButton);
    QCOMPARE(dialogs_.opened, std::vector<QString>({projectGuideLink(), projectGuideLink()}));
    QVERIFY(about.isVisible());
    // The address leads to the user's guide.
    const QUrl url(projectGuideLink());
    QVERIFY(url.isLocalFile());
    QFile guide(url.toLocalFile());
    QVERIFY(guide.open(QIODevice::ReadOnly));
    QVERIFY(guide.readAll().contains("Corvadex guide"));
    QCOMPARE(about.LabelURL->toolTip(), projectGuideLink());
    // However long the path, the link stays inside the dialog and opens the whole path.
    const QString deep = "file:///" + QString(300, QChar('d')) + "/guide.html";
    TFormAbout longer(&owner, dialogs_, deep);
    QVERIFY(longer.LabelURL->geometry().right() < 318 && longer.LabelURL->x() >= 0);
    QTest::mouseClick(longer.LabelURL, Qt::LeftButton);
    QCOMPARE(dialogs_.opened.back(), deep);
  }

  // An installed program links the guide installed with it (the HTML
  // rendering before the Markdown text); one run from the build tree
  // (nothing installed beside it) links the build's rendering or the
  // sources' text.
  void guideIsFoundFromTheProgramsFolder() {
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QDir root(prefix.path());
    QVERIFY(root.mkpath("bin") && root.mkpath("share/doc/corvadex") && root.mkpath("build/bin"));
    const auto link = [](const QString& path) {
      return QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()).toString();
    };
    const auto touch = [&root](const char* name) {
      QFile file(root.filePath(name));
      return file.open(QIODevice::WriteOnly);
    };
    const QString built = CORVADEX_BIN_DIR "/../docs/guide.html";
    const QString fromBuildTree = link(QFileInfo::exists(built) ? built : CORVADEX_SOURCE_DIR "/docs/guide.md");
    QCOMPARE(projectGuideLink(root.filePath("build/bin")), fromBuildTree);
    QVERIFY(touch("share/doc/corvadex/guide.md"));
    QCOMPARE(projectGuideLink(root.filePath("bin")), link(root.filePath("share/doc/corvadex/guide.md")));
    QVERIFY(touch("share/doc/corvadex/guide.html"));
    QCOMPARE(projectGuideLink(root.filePath("bin")), link(root.filePath("share/doc/corvadex/guide.html")));
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
