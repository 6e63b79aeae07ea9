// SPDX-License-Identifier: Apache-2.0
#include "window/UnitAbout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "corvadex_version.h"
#include "window/about_picture.h"
#include "window/bevel_line.h"
#include "window/error_report.h"
#include "window/link_label.h"
#include "window/window_dialogs.h"

namespace corvadex {

namespace {

constexpr int kClientWidth = 318;
constexpr int kClientHeight = 223;

// The 16-colour palette's pure colours the dialog's labels use.
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kNavy(0x00, 0x00, 0x80);

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  return label;
}

void setTextColour(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, colour);
  w->setPalette(pal);
}

// A label whose text may be wider than its design width grows to the right;
// one whose font is taller than its design height grows up and down alike,
// its text centred where it was, so that no letter's lower part is cut.
void fitWidth(QLabel* label) {
  const QSize wanted = label->sizeHint();
  if (wanted.width() > label->width()) label->resize(wanted.width(), label->height());
  const int extra = wanted.height() - label->height();
  if (extra > 0) label->setGeometry(label->x(), label->y() - extra / 2, label->width(), wanted.height());
}

}  // namespace

QString projectGuideLink(const QString& programDir) {
  // Installed, the guide lies in the documentation folder beside the
  // program's own (<prefix>/bin/../share/doc/corvadex), as HTML when it was
  // rendered at build time, else as its Markdown text; run from the build
  // tree, the build's rendering or the sources hold it. Without any, the
  // project's web page.
  const QDir dir(programDir);
  const QStringList candidates = {
      dir.filePath(QStringLiteral(CORVADEX_GUIDE_FROM_PROGRAM ".html")),
      dir.filePath(QStringLiteral(CORVADEX_GUIDE_FROM_PROGRAM ".md")),
      QStringLiteral(CORVADEX_BUILD_GUIDE_HTML),
      QStringLiteral(CORVADEX_SOURCE_GUIDE),
  };
  for (const QString& path : candidates) {
    const QFileInfo info(path);
    if (info.isFile()) return QUrl::fromLocalFile(info.canonicalFilePath()).toString();
  }
  return QStringLiteral(CORVADEX_HOMEPAGE);
}

QString projectGuideLink() { return projectGuideLink(QCoreApplication::applicationDirPath()); }

TFormAbout::TFormAbout(QWidget* owner, WindowDialogs& dialogs, const QString& guideLink)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(tr(" About Corvadex"));
  setFixedSize(kClientWidth, kClientHeight);
  setSizeGripEnabled(false);

  QFont heading = font();
  heading.setBold(true);
  heading.setPointSize(10);

  Image1 = makeLabel(this, "Image1", {}, {32, 14, 48, 48});
  Image1->setPixmap(transparentPicture(aboutPicture()));

  LabelName = makeLabel(this, "LabelName", QStringLiteral("Corvadex"), {158, 15, 91, 16});
  LabelName->setFont(heading);
  LabelVers = makeLabel(this, "LabelVers", QStringLiteral("v " CORVADEX_VERSION), {255, 15, 33, 16});
  LabelVers->setFont(heading);
  setTextColour(LabelVers, kBlue);

  Label1 = makeLabel(this, "Label1", tr("Author: "), {165, 37, 37, 13});
  Label2 = makeLabel(this, "Label2", tr("Corvadex team"), {205, 37, 81, 13});
  setTextColour(Label2, kNavy);
  Label5 = makeLabel(this, "Label5", tr("Online,"), {232, 50, 40, 13});
  Label6 = makeLabel(this, "Label6", tr("Earth"), {232, 63, 37, 13});

  Bevel1 = new BevelLine(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setGeometry(15, 79, 278, 10);

  Label3 = makeLabel(this, "Label3", tr("Lists the contacts of a contacts.edb file,"),
                     {40, 94, 228, 13});
  Label4 = makeLabel(this, "Label4",
                     tr("shows their details and exports them to XML."),
                     {14, 106, 281, 13});
  Label7 = makeLabel(this, "Label7", tr("The database is only read."),
                     {75, 119, 158, 13});
  Label8 = makeLabel(this, "Label8", tr("How to use it, in the guide:"),
                     {75, 136, 163, 13});
  for (QLabel* l : {Label3, Label4, Label7, Label8}) setTextColour(l, kPurple);

  LabelURL = new LinkLabel(guideLink, this);
  LabelURL->setObjectName(QStringLiteral("LabelURL"));
  LabelURL->setGeometry(56, 149, 192, 13);
  QFont link = font();
  link.setUnderline(true);
  LabelURL->setFont(link);
  setTextColour(LabelURL, kBlue);
  LabelURL->setOnClick([this] { guarded(this, [this] { LabelURLClick(); }); });

  Bevel2 = new BevelLine(this);
  Bevel2->setObjectName(QStringLiteral("Bevel2"));
  Bevel2->setGeometry(15, 160, 278, 10);

  ButtonOK = new QPushButton(tr("OK"), this);
  ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
  ButtonOK->setGeometry(216, 182, 75, 22);
  // Not the dialog's default button; Enter presses it because it holds the
  // focus (a focused push button in a dialog takes Enter).
  ButtonOK->setDefault(false);
  ButtonOK->setAutoDefault(true);
  connect(ButtonOK, &QPushButton::clicked, this, [this] { guarded(this, [this] { ButtonOKClick(); }); });

  // The link (a path) is centred under the description when it runs past
  // the dialog's edge.
  // Labels are sized to their captions from their designed places, as the
  // design's labels were; the sans-serif font here is wider than the
  // design's, so "Author: " may push the name along.
  for (QLabel* l : {LabelName, LabelVers, Label1, Label2, Label5, Label6, Label3, Label4, Label7,
                    Label8})
    fitWidth(l);
  if (Label2->x() <= Label1->geometry().right()) Label2->move(Label1->geometry().right() + 1, Label2->y());
  // A path too long for the dialog is shown shortened in its middle, the
  // whole of it in the tooltip; a click opens the whole path either way.
  LabelURL->setToolTip(guideLink);
  LabelURL->setText(
      LabelURL->fontMetrics().elidedText(guideLink, Qt::ElideMiddle, kClientWidth - 8));
  fitWidth(LabelURL);
  if (LabelURL->geometry().right() >= kClientWidth - 4)
    LabelURL->move(std::max(4, (kClientWidth - LabelURL->width()) / 2), LabelURL->y());

  // Only "OK" takes the keyboard focus.
  for (QWidget* w : findChildren<QWidget*>())
    if (w != ButtonOK) w->setFocusPolicy(Qt::NoFocus);
  ButtonOK->setFocus(Qt::OtherFocusReason);
}

void TFormAbout::ButtonOKClick() { close(); }

void TFormAbout::LabelURLClick() { dialogs_.openWithDesktop(LabelURL->toolTip()); }

void TFormAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen every time, wherever the main window is.
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  ButtonOK->setFocus(Qt::OtherFocusReason);
}

void TFormAbout::keyPressEvent(QKeyEvent* event) {
  // There is no cancel button, so Escape does nothing.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace corvadex
