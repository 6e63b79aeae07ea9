// SPDX-License-Identifier: Apache-2.0
// WindowBehaviour: what the main window (TFormCorvadex) does, free of any
// toolkit. It holds the window's state (the contact list, the file dialogs'
// settings, the read under way, the database shown, the start-up search)
// and its handlers, named after the control and event that raise them; a
// view (WindowView) shows the controls and calls the handlers.
//
// Handlers run on the window's thread. A read or an export runs away from
// it (background_tasks.h), one at a time, so that the window keeps
// answering: a read fills a list of its own, which takes the shown list's
// place when the read ends. While one runs, "Read" and the export buttons
// are disabled and what would start another is refused. Handlers work from
// the controls' current state, which they ask the view for; an error
// escaping one, or a read's or an export's, goes to the view, which shows
// the default error report.
//
// The parts beside the handlers of the design, each in a file of its own:
// finding a contact (window_find.cpp), the title and the status line
// (window_status.cpp), files given from outside (window_files.cpp) and the
// second export button (window_address_book_export.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "contacts/contact_list.h"
#include "contacts/contact_search.h"
#include "ese/jet.h"
#include "window/background_tasks.h"
#include "window/dialog_settings.h"
#include "window/form_services.h"

namespace corvadex {

class DatabaseLocation;
class DatabaseSearch;
class WindowView;

class WindowBehaviour : private ContactListObserver {
 public:
  // Needs the services' reader and XML export; the view must outlive it.
  WindowBehaviour(WindowView& view, FormServices services);
  ~WindowBehaviour() override;
  WindowBehaviour(const WindowBehaviour&) = delete;
  WindowBehaviour& operator=(const WindowBehaviour&) = delete;

  ContactList& contacts() { return list_; }
  ContactSearch& contactFinder() { return contactSearch_; }
  // The start-up location with what it found (MailVersion, DatabasePath);
  // null when the window has no Windows view to ask.
  const DatabaseLocation* location() const { return location_.get(); }

  // The file dialogs' settings, kept for the window's life.
  FileDialogSettings OpenDialog1;
  FileDialogSettings SaveDialog1;
  FileDialogSettings SaveDialog2;  // the typed dialog of the second export

  // Opens the window: runs `create` (the create handler, FormCreate unless
  // told) guarded before the window is first shown, then shows it. Given a
  // start file, the window skips the automatic location and reads that file
  // once it is shown, selecting its first contact.
  void showWindow(const std::string& startFile, const std::function<void()>& create = {});

  // Starts reading a database into the contact list, with the busy cursor
  // shown until the read has ended; the title, the status line and the
  // details follow once it has.
  void ReadDatabase(const std::string& path);
  // True while a read or an export runs.
  bool taskRunning() const { return taskRunning_; }
  // The file existence test the window uses before every read.
  bool fileExists(const std::string& path) const { return services_.fileExists(path); }

  // The create handler: the automatic database location, and the search
  // that follows one that found no database.
  void FormCreate();
  // True while that search runs.
  bool searchPending() const { return search_ != nullptr; }

  // The design's handlers.
  void RadioButton1Click();
  void RadioButton2Click();
  void EditDBPathChange();
  void ButtonChooseFileClick();
  void ButtonReadDatabaseClick();
  void Label1Click();
  void ListViewContactsSelectItem();
  void ButtonExportToXMLClick();
  void ButtonExportForAddressBookClick();

  // What the window adds: Enter in the path edit reads as "Read" does (which
  // needs a path); Ctrl+O opens the chooser of the chosen-file source and
  // reads the file chosen.
  void EditDBPathReturn();
  void ChooseFileKey();
  // F5: back to the automatic source, searching again for databases; the
  // user picks the one to read in the chooser, shown for a single find too
  // and also after a file of the user's own has been read.
  void SearchAgainKey();

  // The find bar asks for a contact holding `text` (UTF-8); `fromCurrent`
  // when the text was changed (the selected contact may hold it already).
  void FindBar1Find(const std::string& text, FindDirection direction, bool fromCurrent);
  // Escape or the close button of the find bar.
  void FindBar1Close();
  // Opens the find bar / finds the next or previous contact with its text.
  void findContact();
  void findAgain(FindDirection direction);

  // Reads a file as "Read" does, after putting it into the path edit (the
  // source switched to "Choose the database file").
  void openFile(const std::string& path);

 private:
  void rowsChanged() override;
  void selectedRowChanged(std::optional<std::size_t> row) override;

  std::string tr(const char* source) const;
  // The open dialog of ButtonChooseFileClick; true when a file was chosen.
  bool chooseFile();
  // Checks the chosen-file source, as a click on it does.
  void chooseFileSource();
  // True, after telling the user, when `target` is the database shown: an
  // export must never replace the only copy of the address book.
  bool refuseDatabaseAsTarget(const std::string& target);
  void startSearch();
  bool searchTick();
  void searchFinished();

  std::string contactCount(std::size_t count) const;
  // Why a read that met the engine status `status` could not be read, in
  // the user's words.
  std::string readFailureReason(ese::JET_ERR status) const;
  void showTitle();
  // After a read of `path` that ended with `status`; `listReplaced` when it
  // reached the contacts, whose rows the list then took.
  void afterRead(const std::string& path, ese::JET_ERR status, bool listReplaced);
  // After an export in the format named `format` (as the dialog names it).
  void afterExport(const std::string& path, const std::string& format);
  // True, after saying so, when no contacts have been read to export.
  bool refuseEmptyExport();
  // SaveDialog2's file types, each with the name it suggests.
  void setUpAddressBookDialog();
  void afterStartUp();
  void logHowToGoOn();
  // The controls and cursor while a read or an export runs, and after.
  void beginTask();
  void endTask();
  // True, after saying so, when a read or an export runs already.
  bool refuseWhileTask();
  // Runs an export's `write` away from the window's thread; the status line
  // and the log tell of it once written.
  void exportInBackground(const std::string& path, const std::string& format, std::function<void()> write);

  WindowView& view_;
  FormServices services_;
  ContactList list_;
  ContactSearch contactSearch_{list_};
  std::unique_ptr<BackgroundTasks> tasks_;
  bool taskRunning_ = false;
  std::unique_ptr<DatabaseLocation> location_;
  std::string shownDatabase_;  // the database the list shows, as the read was given it
  bool chooseAfterSearch_ = false;  // the user asked for the search: offer its finds
  // The contact last selected otherwise than by typing in the find bar: a
  // text not found while typing goes back to it.
  std::optional<std::size_t> findOrigin_;
  bool findTyping_ = false;  // a find while typing is moving the selection
  std::unique_ptr<DatabaseSearch> search_;
  bool userRead_ = false;  // the user has read a file: finds are only logged
  std::string shownFile_;  // the file name of the last read, for the title
  int readsStarted_ = 0;   // reads begun so far
};

// The file name at the end of a path.
std::string fileNameOf(const std::string& path);

}  // namespace corvadex
