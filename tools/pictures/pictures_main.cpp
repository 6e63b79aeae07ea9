// SPDX-License-Identifier: Apache-2.0
// corvadex-pictures DATABASE FOLDER: runs the real window on a database and
// saves pictures of it into FOLDER: the main window with a contact selected
// (main-window.png), the window with each details page in front
// (details-<page>.png), the find bar finding a contact (find-bar.png) and
// the save dialog of "Export for another address book..." with its list of
// file types open (export-dialog.png) and the about dialog (about.png), in
// the desktop's language. Meant to run under a virtual display
// (scripts/screenshots).
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "contacts/contact_columns.h"
#include "window/details_view.h"
#include "contacts/text_fold.h"
#include "window/Unit1.h"
#include "window/UnitAbout.h"
#include "window/about_picture.h"
#include "window/contact_list_view.h"
#include "window/engine_services.h"
#include "window/error_report.h"
#include "window/find_bar.h"
#include "window/translation.h"
#include "window/window_dialogs.h"

namespace {

// Lets the window paint what it was just told to show.
void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget& w, const QDir& folder, const QString& name) {
  settle();
  const QString path = folder.filePath(name);
  if (!w.grab().save(path, "PNG")) {
    std::fprintf(stderr, "corvadex-pictures: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// Dialogs that show the about dialog long enough to take its picture.
class PictureDialogs final : public corvadex::QtWindowDialogs {
 public:
  PictureDialogs(QDir folder, bool& ok) : folder_(std::move(folder)), ok_(ok) {}
  // A box (such as the start-up report that this machine has no mail
  // client) is printed rather than left waiting for a click nobody makes.
  void messageBox(QWidget*, const QString& text, const QString& caption,
                  corvadex::MessageIcon) override {
    std::fprintf(stderr, "corvadex-pictures: [%s] %s\n", qPrintable(caption), qPrintable(text));
  }
  // The typed save dialog is pictured with its list of types open (the
  // list is a window of its own: the picture is taken of the screen), then
  // cancelled.
  std::optional<corvadex::TypedFileChoice> saveFileTyped(QWidget* owner,
                                                         const corvadex::FileDialogSettings& settings) override {
    QTimer::singleShot(500, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QComboBox* types = dialog == nullptr ? nullptr : dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      if (types == nullptr) {
        std::fputs("corvadex-pictures: the export dialog has no list of file types\n", stderr);
        ok_ = false;
        if (dialog != nullptr) dialog->reject();
        return;
      }
      types->showPopup();
      QTimer::singleShot(500, dialog, [this, dialog, types] {
        settle();
        QRect area = dialog->frameGeometry();
        if (QWidget* list = types->view()->window(); list->isVisible()) area = area.united(list->frameGeometry());
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                                             area.height());
        const QString path = folder_.filePath(QStringLiteral("export-dialog.png"));
        if (screen.save(path, "PNG")) {
          std::printf("%s\n", qPrintable(path));
        } else {
          std::fprintf(stderr, "corvadex-pictures: cannot write %s\n", qPrintable(path));
          ok_ = false;
        }
        types->hidePopup();
        dialog->reject();
      });
    });
    return QtWindowDialogs::saveFileTyped(owner, settings);
  }
  void showModal(QDialog& dialog) override {
    QTimer::singleShot(300, &dialog, [this, &dialog] {
      ok_ = save(dialog, folder_, QStringLiteral("about.png")) && ok_;
      dialog.close();
    });
    dialog.exec();
  }

 private:
  QDir folder_;
  bool& ok_;
};

}  // namespace

int main(int argc, char** argv) {
  corvadex::CorvadexApplication app(argc, argv);
  if (argc != 3) {
    std::fputs("usage: corvadex-pictures DATABASE FOLDER\n", stderr);
    return 2;
  }
  QApplication::setWindowIcon(QIcon(corvadex::transparentPicture(corvadex::aboutPicture())));
  corvadex::installTranslation(app);
  const QDir folder(QString::fromLocal8Bit(argv[2]));
  bool ok = true;
  PictureDialogs dialogs(folder, ok);
  corvadex::setErrorReportDialogs(&dialogs);
  corvadex::EngineServices engine;
  corvadex::TFormCorvadex form(engine.services(dialogs));
  corvadex::showMainWindow(form);
  settle();

  // Read the database the way a user does: choose the file, press "Read".
  form.RadioButton2->click();
  form.EditDBPath->setText(QString::fromLocal8Bit(argv[1]));
  form.ButtonReadDatabase->click();
  if (form.contacts().count() == 0) {
    std::fputs("corvadex-pictures: the database gave no contacts\n", stderr);
    return 1;
  }
  // Show the fullest of the first contacts.
  std::size_t row = 0, best = 0;
  for (std::size_t r = 0; r < form.contacts().count() && r < 20; ++r) {
    std::size_t filled = 0;
    for (const auto& column : corvadex::kContactColumns)
      filled += !form.contacts().item(r).Value(column).empty();
    if (filled > best) best = filled, row = r;
  }
  form.activateWindow();
  form.ListViewContacts->setFocus();
  form.contacts().setSelected(row, true);

  ok = save(form, folder, QStringLiteral("main-window.png")) && ok;
  const char* pages[] = {"contact", "personal", "work", "im", "notes"};
  for (int i = 0; i < 5; ++i) {
    form.e->setCurrentIndex(i);
    ok = save(form, folder, QStringLiteral("details-%1.png").arg(QLatin1String(pages[i]))) && ok;
  }
  form.e->setCurrentIndex(0);

  // The find bar finding a last name typed without its accents (Sørensen
  // as "sorensen"), or the shown contact's last name when none has one.
  std::string wanted = corvadex::folded(form.contacts().item(row).Value(corvadex::kContactColumns[3]));
  for (std::size_t r = 0; r < form.contacts().count(); ++r) {
    const std::string_view last = form.contacts().item(r).Value(corvadex::kContactColumns[3]);
    const std::string folded = corvadex::folded(last);
    const bool ascii = std::all_of(folded.begin(), folded.end(), [](char c) { return c > 0 && c < 0x7F; });
    if (ascii && folded.size() != last.size()) {
      wanted = folded;
      break;
    }
  }
  form.contacts().setSelected(0, true);
  form.findContact();
  form.FindBar1->Field->setText(QString::fromStdString(wanted));
  form.findAgain(corvadex::FindDirection::Next);
  ok = save(form, folder, QStringLiteral("find-bar.png")) && ok;
  form.FindBar1->hide();

  form.ButtonExportForAddressBookClick();
  form.Label1Click();
  return ok ? 0 : 1;
}
