// SPDX-License-Identifier: Apache-2.0
// TFormAbout: the about dialog. A fixed, centred dialog with the program's
// picture, name and version, its authors, a short description and a link to
// the user's guide. "OK" (and Enter or Space while it has the focus) and
// the close box close it; Escape does nothing.
#pragma once

#include <QCoreApplication>
#include <QDialog>

class QLabel;
class QPushButton;

namespace corvadex {

class BevelLine;
class LinkLabel;
class WindowDialogs;

// The address the about dialog's link (and F1) opens: the user's guide as a
// file:// address, the copy installed beside the program in programDir when
// there is one, else the build's or the sources' copy, else the project's
// web page.
QString projectGuideLink(const QString& programDir);
// The same for the running program.
QString projectGuideLink();

class TFormAbout final : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(TFormAbout)

 public:
  // guideLink: what the link opens (the running program's guide unless told).
  TFormAbout(QWidget* owner, WindowDialogs& dialogs, const QString& guideLink = projectGuideLink());

  QLabel* Image1;
  QLabel* LabelName;
  QLabel* LabelVers;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label5;
  QLabel* Label6;
  BevelLine* Bevel1;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label7;
  QLabel* Label8;
  LinkLabel* LabelURL;
  BevelLine* Bevel2;
  QPushButton* ButtonOK;

  void ButtonOKClick();
  void LabelURLClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  WindowDialogs& dialogs_;
};

}  // namespace corvadex
