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

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "contacts/contact_list.h"
#include "window/form_services.h"
#include "window/window_dialogs.h"

class QAction;
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
class DatabaseSearch;
class LinkLabel;
class MessageMemo;
class TFormAbout;

class TFormCorvadex : public QWidget, private ContactListObserver {
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
  QMenu* PopupMenu1;
  QAction* Savetofile1;

  // The file dialogs' settings, kept for the window's life.
  FileDialogSettings OpenDialog1;
  FileDialogSettings SaveDialog1;

  // The about dialog while it is shown; null otherwise.
  TFormAbout* AboutForm = nullptr;

  ContactList& Contacts() { return list_; }
  // The start-up location with what it found (MailVersion, DatabasePath);
  // null when the window has no Windows view to ask.
  const DatabaseLocation* Location() const { return location_.get(); }
  ContactListModel& ContactsModel() { return *model_; }

  // Reads a database into the contact list, with the busy cursor shown
  // until the read has ended.
  void ReadDatabase(const std::string& path);
  // The file existence test the window uses before every read.
  bool FileExists(const std::string& path) const;

  // The create handler, run once before the window is first shown (see
  // ShowMainWindow): the automatic database location starts from here.
  virtual void FormCreate();
  // True while the search that follows a location without a database runs.
  bool SearchPending() const { return search_ != nullptr; }

  void RadioButton1Click();
  void RadioButton2Click();
  void EditDBPathChange();
  void ButtonChooseFileClick();
  void ButtonReadDatabaseClick();
  void Label1Click();
  void ListViewContactsSelectItem();
  void ButtonExportToXMLClick();

 protected:
  WindowDialogs& Dialogs() { return *services_.dialogs; }

 private:
  void RowsAboutToChange() override {}
  void RowsChanged() override {}
  void SelectionChanged(std::optional<std::size_t> row) override;

  void BuildControls();
  void SetTabOrder();
  void ConnectHandlers();
  void StartSearch();
  void SearchFinished();

  FormServices services_;
  ContactList list_;
  ContactListModel* model_;
  AnchorKeeper* anchors_;
  std::unique_ptr<DatabaseReader> reader_;
  std::unique_ptr<DatabaseLocation> location_;
  std::unique_ptr<DatabaseSearch> search_;
  QTimer* searchTimer_ = nullptr;
  bool userRead_ = false;  // the user has read a file: finds are only logged
};

// Runs the window's create handler (an error in it goes to the default error
// report, shown before the window) and then shows the window.
void ShowMainWindow(TFormCorvadex& form);

// The 8-bit form of a path typed or chosen in the window, as the file system
// takes it.
std::string PathFromText(const QString& text);

}  // namespace corvadex
