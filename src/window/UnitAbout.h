// TFormAbout: the about dialog. A fixed, centred dialog with the program's
// picture, name and version, its authors, a short description and a link to
// the project's README. "OK" (and Enter or Space while it has the focus) and
// the close box close it; Escape does nothing.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvadex {

class BevelLine;
class LinkLabel;
class WindowDialogs;

// The address the about dialog's link shows and opens: the project's README
// as a file:// address, the copy installed beside the program in programDir
// when there is one, else the sources' copy, else the project's web page.
QString ProjectReadmeLink(const QString& programDir);
// The same for the running program.
QString ProjectReadmeLink();

class TFormAbout final : public QDialog {
 public:
  TFormAbout(QWidget* owner, WindowDialogs& dialogs);

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
