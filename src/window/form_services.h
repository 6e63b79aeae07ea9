// SPDX-License-Identifier: Apache-2.0
// What the main window asks of the rest of the program: the dialogs, a
// reader that loads a database into the contact list (reporting to the
// message log), the exports, and what the start-up location and search ask
// of Windows and the file system. The program wires the real ones
// (engine_services.h); tests wire their own.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "contacts/contact_list.h"
#include "window/background_tasks.h"
#include "store/database_reader.h"
#include "base/message_log.h"

namespace corvadex {

namespace platform {
class WindowsView;
}
class DatabaseSearch;
class WindowDialogs;
class WindowView;

struct FormServices {
  WindowDialogs* dialogs = nullptr;
  // True when the path names an existing file (not a folder); none: the
  // local file system's test.
  std::function<bool(const std::string& path)> fileExists;
  // Makes the reader of one read, bound to the log and list it fills. The
  // reader and the two exports below run away from the window's thread
  // (makeTasks), one at a time.
  std::function<std::unique_ptr<DatabaseReader>(MessageLog& log, ContactList& list)> makeReader;
  // Writes every row of the list to an XML file; throws on failure.
  std::function<void(const ContactList& list, const std::string& fileName)> writeXml;
  // Writes every row of the list in a format for another address book,
  // named as the command line names it ("vcard", "vcard4", "google-csv",
  // "outlook-csv"); throws on failure.
  std::function<void(const ContactList& list, const std::string& format, const std::string& fileName)>
      writeForAddressBook;
  // Whether an export target is the database file a read opened (the same
  // file by device and inode); the database path as the reader was given
  // it. None: the local file system's test.
  std::function<bool(const std::string& database, const std::string& target)> sameFile;
  // What the start-up location asks of Windows (the mail client's version,
  // the user's folders, the registry); none: the window opens without it.
  const platform::WindowsView* windows = nullptr;
  // Starts the search of other prefixes, mounted volumes and named folders
  // that runs when the start-up location finds no database; none: the
  // window does not search further.
  std::function<std::unique_ptr<DatabaseSearch>()> startSearch;
  // The file on this machine that a path the start-up location found names
  // (a Windows path inside the Wine prefix); none: the path as it is.
  std::function<std::string(const std::string& path)> localPath;
  // Runs the reads and exports away from the window's thread; none: a
  // thread for each (threadTasks).
  std::function<std::unique_ptr<BackgroundTasks>(WindowView& view)> makeTasks;
};

}  // namespace corvadex
