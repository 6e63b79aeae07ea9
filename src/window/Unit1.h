// SPDX-License-Identifier: Apache-2.0
// TFormCorvadex: the main window. The choice between the automatically found
// database and a chosen file, the path edit with its chooser and "Read"
// button, the contact list, the details view with the export button, the
// message log and the "About" link, laid out at fixed positions in a client
// area of 941 by 535 and kept anchored to the window's edges on resize.
//
// Everything runs on the window's thread: a read or an export runs to its end
// inside the click that started it. Handlers are named after the control and
// event that raise them and work from the controls' current state; an error
// escaping one goes to the application's default error report.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "contacts/contact_list.h"
#include "contacts/contact_search.h"
#include "window/form_services.h"
#include "window/window_dialogs.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace corvadex {

class AnchorKeeper;
class ContactDetailsView;
class DatabaseLocation;
class ContactListModel;
class ContactListView;
class ContactSearch;
class DatabaseSearch;
class FindBar;
class LinkLabel;
class MessageMemo;
class TFormAbout;

class TFormCorvadex : public QWidget, private ContactListObserver {
  Q_DECLARE_TR_FUNCTIONS(TFormCorvadex)

 public:
  static constexpr int kLeft = 258;
  static constexpr int kTop = 138;
  static constexpr int kClientWidth = 941;
  static constexpr int kClientHeight = 535;

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

  // The file dialogs' settings, kept for the window's life.
  FileDialogSettings OpenDialog1;
  FileDialogSettings SaveDialog1;
  FileDialogSettings SaveDialog2;  // the typed dialog of the second export

  // The about dialog while it is shown; null otherwise.
  TFormAbout* AboutForm = nullptr;

  ContactList& contacts() { return list_; }
  ContactSearch& contactFinder() { return *contactSearch_; }
  // The start-up location with what it found (MailVersion, DatabasePath);
  // null when the window has no Windows view to ask.
  const DatabaseLocation* location() const { return location_.get(); }
  ContactListModel& contactsModel() { return *model_; }

  // Reads a database into the contact list, with the busy cursor shown
  // until the read has ended.
  void ReadDatabase(const std::string& path);
  // The file existence test the window uses before every read.
  bool fileExists(const std::string& path) const;

  // The create handler, run once before the window is first shown (see
  // showMainWindow): the automatic database location starts from here.
  virtual void FormCreate();
  // True while the search that follows a location without a database runs.
  bool searchPending() const { return search_ != nullptr; }

  void RadioButton1Click();
  void RadioButton2Click();
  void EditDBPathChange();
  void ButtonChooseFileClick();
  void ButtonReadDatabaseClick();
  void Label1Click();
  void ListViewContactsSelectItem();
  void ButtonExportToXMLClick();
  void ButtonExportForAddressBookClick();

  // The database whose contacts the list shows (as the read was given it);
  // empty before the first read that reached the contact rows.
  const std::string& shownDatabase() const { return shownDatabase_; }

  // What the window adds to its design, in its free space and on keys: the
  // find bar, the status line, the title with the file and the number of
  // contacts, files given on the command line or dropped, shortcuts.
  FindBar* FindBar1 = nullptr;
  QLabel* LabelStatus = nullptr;
  // Reads a file as "Read" does, after putting it into the path edit (the
  // source switched to "Choose the database file").
  void openFile(const QString& path);
  // Opens the find bar / finds the next or previous contact with its text.
  void findContact();
  void findAgain(FindDirection direction);
  // The user's guide, opened by F1 and the about dialog's link.
  void showGuide();

 protected:
  WindowDialogs& dialogs() { return *services_.dialogs; }
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void rowsAboutToChange() override;
  void rowsChanged() override;
  void selectedRowChanged(std::optional<std::size_t> row) override;

  void buildControls();
  void applyTabOrder();
  void connectHandlers();
  // True, after telling the user, when `target` is the database shown: an
  // export must never replace the only copy of the address book.
  bool refuseDatabaseAsTarget(const std::string& target);
  void startSearch();
  void searchFinished();

  void buildAdditions();
  void buildShortcuts();
  void acceptFileDrops();
  void findInList(const QString& text, FindDirection direction, bool fromCurrent);
  void showStatus(const QString& text);
  void showTitle();
  void afterRead(const std::string& path);
  void afterExport(const std::string& path);
  void afterStartUp();
  void logHowToGoOn();
  friend void showMainWindow(TFormCorvadex& form, const QString& startFile);

  FormServices services_;
  ContactList list_;
  ContactListModel* model_;
  AnchorKeeper* anchors_;
  std::unique_ptr<DatabaseReader> reader_;
  std::unique_ptr<DatabaseLocation> location_;
  std::optional<std::string> reading_;  // the path of the read under way
  std::string shownDatabase_;
  std::unique_ptr<DatabaseSearch> search_;
  QTimer* searchTimer_ = nullptr;
  bool userRead_ = false;  // the user has read a file: finds are only logged
  std::unique_ptr<ContactSearch> contactSearch_;
  QString shownFile_;       // the file name of the last read, for the title
  int readsStarted_ = 0;    // reads begun so far
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
