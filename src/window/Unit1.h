// SPDX-License-Identifier: Apache-2.0
// TFormCorvadex: the main window in Qt, a thin view over WindowBehaviour,
// which holds what the window does. The choice between the automatically
// found database and a chosen file, the path edit with its chooser and
// "Read" button, the contact list, the details view with the export buttons,
// the message log, the "About" link, the find bar and the status line,
// placed from the table of window_layout.h and kept anchored to the
// window's edges on resize. Each control's event is handed to the
// behaviour's handler of the same name; the keys, file drops and dialogs are
// this view's.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <memory>
#include <string>

#include "contacts/contact_list.h"
#include "contacts/contact_search.h"
#include "window/form_services.h"
#include "window/window_behaviour.h"
#include "window/window_dialogs.h"
#include "window/window_layout.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace corvadex {

class AnchorKeeper;
class ContactDetailsView;
class ContactListModel;
class ContactListView;
class FindBar;
class LinkLabel;
class MessageMemo;
class TFormAbout;

class TFormCorvadex : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFormCorvadex)

  // First: the dialog settings below refer into the behaviour.
  class View;
  friend class View;
  WindowDialogs* dialogs_;
  std::unique_ptr<View> view_;
  std::unique_ptr<WindowBehaviour> behaviour_;

 public:
  explicit TFormCorvadex(FormServices services, QWidget* parent = nullptr);
  ~TFormCorvadex() override;

  // Controls, named as the window's design names them.
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  LinkLabel* Label1;
  QLineEdit* EditDBPath;
  QPushButton* ButtonChooseFile;
  QPushButton* ButtonReadDatabase;
  ContactListView* ListViewContacts;
  ContactDetailsView* e;
  MessageMemo* MemoInfo;
  QPushButton* ButtonExportToXML;
  // "Export for another address book...": vCard 3.0 or 4.0, Google CSV or
  // Outlook CSV, as the save dialog's file type says.
  QPushButton* ButtonExportForAddressBook;
  QMenu* PopupMenu1;
  QAction* Savetofile1;
  // What the window adds to its design: the find bar and the status line.
  FindBar* FindBar1 = nullptr;
  QLabel* LabelStatus = nullptr;

  // The control of the layout table's entry (the window for Form).
  QWidget* widget(Control control) const;

  // The about dialog while it is shown; null otherwise.
  TFormAbout* AboutForm = nullptr;

  // What the window does, and its state.
  WindowBehaviour& behaviour() { return *behaviour_; }
  FileDialogSettings& OpenDialog1;
  FileDialogSettings& SaveDialog1;
  FileDialogSettings& SaveDialog2;
  ContactList& contacts() { return behaviour_->contacts(); }
  ContactSearch& contactFinder() { return behaviour_->contactFinder(); }
  const DatabaseLocation* location() const { return behaviour_->location(); }
  ContactListModel& contactsModel() { return *model_; }
  bool searchPending() const { return behaviour_->searchPending(); }
  void ReadDatabase(const std::string& path) { behaviour_->ReadDatabase(path); }

  // The create handler, run once before the window is first shown (see
  // showMainWindow): the automatic database location starts from here.
  virtual void FormCreate() { behaviour_->FormCreate(); }

  void RadioButton1Click() { behaviour_->RadioButton1Click(); }
  void RadioButton2Click() { behaviour_->RadioButton2Click(); }
  void EditDBPathChange() { behaviour_->EditDBPathChange(); }
  void ButtonChooseFileClick() { behaviour_->ButtonChooseFileClick(); }
  void ButtonReadDatabaseClick() { behaviour_->ButtonReadDatabaseClick(); }
  void Label1Click() { behaviour_->Label1Click(); }
  void ListViewContactsSelectItem() { behaviour_->ListViewContactsSelectItem(); }
  void ButtonExportToXMLClick() { behaviour_->ButtonExportToXMLClick(); }
  void ButtonExportForAddressBookClick() { behaviour_->ButtonExportForAddressBookClick(); }

  // Reads a file as "Read" does, after putting it into the path edit.
  void openFile(const QString& path);
  // Opens the find bar / finds the next or previous contact with its text.
  void findContact() { behaviour_->findContact(); }
  void findAgain(FindDirection direction) { behaviour_->findAgain(direction); }
  // The user's guide, opened by F1 and the about dialog's link.
  void showGuide();

 protected:
  WindowDialogs& dialogs() { return *dialogs_; }
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void placeControls();
  void applyTabOrder();
  void connectHandlers();
  void buildAdditions();
  void buildShortcuts();
  void acceptFileDrops();

  ContactListModel* model_ = nullptr;
  AnchorKeeper* anchors_ = nullptr;
};

// Runs the window's create handler (an error in it goes to the default error
// report, shown before the window) and then shows the window. Given a start
// file (the command line's), the window skips the automatic location and
// reads that file once it is shown.
void showMainWindow(TFormCorvadex& form, const QString& startFile = QString());

// The 8-bit form of a path typed or chosen in the window, as the file system
// takes it.
std::string pathFromText(const QString& text);

}  // namespace corvadex
