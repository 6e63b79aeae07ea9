// SPDX-License-Identifier: Apache-2.0
#include "window/window_behaviour.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "ese/jet.h"

#include "location/database_location.h"
#include "location/database_search.h"
#include "location/found_database_text.h"
#include "platform/file_exists.h"
#include "platform/same_file.h"
#include "window/window_view.h"

namespace corvadex {

namespace {

// The log of a read under way: each line goes to the window's log, on the
// window's thread.
class TaskLog final : public MessageLog {
 public:
  TaskLog(BackgroundTasks& tasks, MessageLog& log) : tasks_(tasks), log_(log) {}
  void Add(std::string_view line) override {
    tasks_.toWindow([&log = log_, text = std::string(line)] { log.Add(text); });
  }

 private:
  BackgroundTasks& tasks_;
  MessageLog& log_;
};

// A read under way: the list it fills, and whether it reached the contacts
// (began replacing the rows), which the shown list then takes.
struct PendingRead final : ContactListObserver {
  PendingRead(BackgroundTasks& tasks, MessageLog& windowLog) : log(tasks, windowLog) { list.addObserver(this); }
  ~PendingRead() override { list.removeObserver(this); }
  PendingRead(const PendingRead&) = delete;
  PendingRead& operator=(const PendingRead&) = delete;
  void rowsAboutToChange() override { reachedContacts = true; }

  TaskLog log;
  ContactList list;
  bool reachedContacts = false;
  ese::JET_ERR status = ese::JET_errSuccess;
};

// How often the window looks whether the start-up search has ended.
constexpr int kSearchPollMilliseconds = 20;

}  // namespace

WindowBehaviour::WindowBehaviour(WindowView& view, FormServices services)
    : view_(view), services_(std::move(services)) {
  if (!services_.makeReader || !services_.writeXml)
    throw std::invalid_argument("the main window needs every one of its services");
  if (!services_.fileExists)
    services_.fileExists = [](const std::string& path) { return isRegularFile(path.c_str()); };
  if (!services_.sameFile) services_.sameFile = isSameFile;

  OpenDialog1.filter = "*.edb|*.edb";
  SaveDialog1.filter = tr(QT_TRANSLATE_NOOP("TFormCorvadex", "xml files|*.xml"));
  SaveDialog1.defaultExt = "xml";
  SaveDialog1.fileName = "contacts.xml";
  // Both exports ask before replacing a file: a user's other export or
  // address book must not be lost to a click.
  SaveDialog1.overwritePrompt = true;
  SaveDialog1.title = tr(QT_TRANSLATE_NOOP("TFormCorvadex", "Export the contacts as XML"));
  setUpAddressBookDialog();

  tasks_ = services_.makeTasks ? services_.makeTasks(view_) : threadTasks(view_);
  if (services_.windows != nullptr) location_ = std::make_unique<DatabaseLocation>(*services_.windows);
  list_.addObserver(this);
}

WindowBehaviour::~WindowBehaviour() {
  // A read or export under way ends first: an export is never left half
  // written, and no task outlives the list it reads.
  tasks_->finish();
  list_.removeObserver(this);
}

std::string WindowBehaviour::tr(const char* source) const { return view_.translate(source); }

void WindowBehaviour::showWindow(const std::string& startFile, const std::function<void()>& create) {
  if (startFile.empty()) {
    view_.guard(create ? create : [this] { FormCreate(); });
    afterStartUp();
    view_.show();
    return;
  }
  view_.show();
  // Read once the window is up, as if chosen and read with "Read"; the
  // first contact is then selected, as after the start-up location.
  view_.post([this, startFile] {
    openFile(startFile);
    list_.selectFirst();
  });
}

void WindowBehaviour::selectedRowChanged(std::optional<std::size_t>) {
  view_.guard([this] { ListViewContactsSelectItem(); });
}

void WindowBehaviour::ReadDatabase(const std::string& path) {
  ++readsStarted_;
  view_.Add("Reading contacts database: " + path);
  // The window goes on showing the list it has until the read ends.
  auto read = std::make_shared<PendingRead>(*tasks_, view_);
  std::shared_ptr<DatabaseReader> reader = services_.makeReader(read->log, read->list);
  beginTask();
  tasks_->start([read, reader, path] { read->status = reader->ReadDatabase(path); },
                [this, read, path](std::exception_ptr error) {
                  endTask();
                  // A read that reached the contacts shows what it read, also
                  // when it failed after: from then on the list shows that
                  // database. The title and status line follow what the list
                  // then holds.
                  if (read->reachedContacts) {
                    shownDatabase_ = path;
                    list_.takeRows(read->list);
                  }
                  afterRead(path, read->status, read->reachedContacts);
                  if (error) std::rethrow_exception(error);
                });
}

void WindowBehaviour::beginTask() {
  taskRunning_ = true;
  view_.setBusy(true);
  view_.setEnabled(Control::ButtonReadDatabase, false);
  view_.setEnabled(Control::ButtonExportToXML, false);
  view_.setEnabled(Control::ButtonExportForAddressBook, false);
}

void WindowBehaviour::endTask() {
  taskRunning_ = false;
  view_.setBusy(false);
  EditDBPathChange();
  view_.setEnabled(Control::ButtonExportToXML, true);
  view_.setEnabled(Control::ButtonExportForAddressBook, true);
}

bool WindowBehaviour::refuseWhileTask() {
  if (!taskRunning_) return false;
  view_.setStatus(tr(QT_TRANSLATE_NOOP("TFormCorvadex", "Wait for the read or export under way to end.")));
  return true;
}

void WindowBehaviour::exportInBackground(const std::string& path, const std::string& format,
                                         std::function<void()> write) {
  beginTask();
  tasks_->start(std::move(write), [this, path, format](std::exception_ptr error) {
    endTask();
    if (error) std::rethrow_exception(error);
    afterExport(path, format);
  });
}

bool WindowBehaviour::refuseDatabaseAsTarget(const std::string& target) {
  if (shownDatabase_.empty() || !services_.sameFile(shownDatabase_, target)) return false;
  view_.showMessage(tr(QT_TRANSLATE_NOOP("TFormCorvadex",
                                         "The export was not written: the file chosen is the contacts "
                                         "database being shown, which Corvadex never changes.")),
                    tr(QT_TRANSLATE_NOOP("TFormCorvadex", " Corvadex")), MessageIcon::Error);
  return true;
}

void WindowBehaviour::FormCreate() {
  // Finds the mail client's database and reads it before the window is
  // first shown; the log lines go to MemoInfo, and the first contact read is
  // selected, which shows its details. An error (no mail client) ends this
  // handler and reaches the default error report.
  if (location_ == nullptr) return;
  // When that gives no database (no mail client, an old version, no file at
  // its place) the search goes on in other prefixes, on mounted volumes and
  // in named folders, in the background: its finds come once the window is
  // shown, after any error of the location has been reported.
  bool found = false;
  try {
    location_->Run(view_, list_, [this, &found](const std::string& path) {
      found = true;
      ReadDatabase(path);
    });
  } catch (...) {
    if (!found) startSearch();
    throw;
  }
  if (!found) {
    startSearch();
  } else if (services_.localPath) {
    OpenDialog1.directory = folderOf(services_.localPath(location_->DatabasePath));
  }
}

void WindowBehaviour::startSearch() {
  if (!services_.startSearch) return;
  view_.Add("Searching for contacts databases in other places");
  search_ = services_.startSearch();
  view_.repeat(kSearchPollMilliseconds, [this] { return searchTick(); });
}

bool WindowBehaviour::searchTick() {
  if (search_ == nullptr) return false;
  // A dialog the user has open (an error report, a file dialog) is not
  // interrupted: the finds wait for it to close.
  if (!search_->finished() || view_.dialogOpen() || taskRunning_) return true;
  searchFinished();
  return false;
}

void WindowBehaviour::searchFinished() {
  const std::unique_ptr<DatabaseSearch> search = std::move(search_);
  const SearchOutcome outcome = search->wait();
  logSearchOutcome(view_, outcome);
  view_.Add("Searched " + std::to_string(outcome.searched.size()) + " places for contacts databases");
  if (outcome.finds.empty())
    for (const std::string& place : outcome.searched) view_.Add("Searched: " + place);
  if (!outcome.finds.empty()) {
    OpenDialog1.directory = folderOf(outcome.finds.front().path);
  } else if (!outcome.windowsVolumes.empty()) {
    OpenDialog1.directory = outcome.windowsVolumes.front();
  }
  const bool asked = std::exchange(chooseAfterSearch_, false);
  if (outcome.finds.empty() && ((!userRead_ && readsStarted_ == 0) || asked)) logHowToGoOn();
  if (outcome.finds.empty() || (userRead_ && !asked)) return;

  // One database is read at once; of several, only the one the user picks.
  std::size_t chosen = 0;
  if (outcome.finds.size() > 1 || asked) {
    const std::optional<std::size_t> row = view_.chooseDatabase(outcome.finds);
    if (!row) {
      view_.Add("No database chosen");
      logHowToGoOn();
      return;
    }
    chosen = *row;
  }
  const std::string& path = outcome.finds[chosen].path;
  OpenDialog1.directory = folderOf(path);
  view_.Add("Database File: " + path);
  if (fileExists(path)) {
    ReadDatabase(path);
  } else {
    view_.Add("ERROR DatabaseFilePath not Exists");
  }
  list_.selectFirst();
}

void WindowBehaviour::RadioButton1Click() {
  const bool enable = !view_.checked(Control::RadioButton1);
  view_.setEnabled(Control::EditDBPath, enable);
  view_.setEnabled(Control::ButtonChooseFile, enable);
}

void WindowBehaviour::RadioButton2Click() {
  const bool enable = view_.checked(Control::RadioButton2);
  view_.setEnabled(Control::EditDBPath, enable);
  view_.setEnabled(Control::ButtonChooseFile, enable);
}

void WindowBehaviour::chooseFileSource() {
  if (view_.checked(Control::RadioButton2)) return;  // a click on the checked button raises nothing
  view_.setChecked(Control::RadioButton2, true);
  RadioButton2Click();
}

void WindowBehaviour::EditDBPathChange() {
  view_.setEnabled(Control::ButtonReadDatabase, !taskRunning_ && !view_.text(Control::EditDBPath).empty());
}

void WindowBehaviour::ButtonChooseFileClick() { chooseFile(); }

bool WindowBehaviour::chooseFile() {
  const std::optional<std::string> chosen = view_.askOpenFile(OpenDialog1);
  if (!chosen) return false;
  OpenDialog1.fileName = *chosen;
  view_.setText(Control::EditDBPath, *chosen);
  EditDBPathChange();
  return true;
}

void WindowBehaviour::ButtonReadDatabaseClick() {
  if (refuseWhileTask()) return;
  // The path is read from the edit whether it is enabled or not.
  const std::string path = view_.text(Control::EditDBPath);
  if (fileExists(path)) {
    userRead_ = true;
    ReadDatabase(path);
    return;
  }
  view_.showMessage(tr(QT_TRANSLATE_NOOP("TFormCorvadex", " File does not exists. ")),
                    tr(QT_TRANSLATE_NOOP("TFormCorvadex", " Corvadex")), MessageIcon::Error);
}

void WindowBehaviour::EditDBPathReturn() {
  if (!view_.text(Control::EditDBPath).empty()) ButtonReadDatabaseClick();
}

void WindowBehaviour::ChooseFileKey() {
  if (refuseWhileTask()) return;
  chooseFileSource();  // the chooser belongs to the chosen-file source
  if (chooseFile()) ButtonReadDatabaseClick();
}

void WindowBehaviour::SearchAgainKey() {
  if (search_ != nullptr || !services_.startSearch) return;
  if (!view_.checked(Control::RadioButton1)) {
    view_.setChecked(Control::RadioButton1, true);
    RadioButton1Click();
  }
  chooseAfterSearch_ = true;
  startSearch();
}

void WindowBehaviour::Label1Click() { view_.showAbout(); }

void WindowBehaviour::ListViewContactsSelectItem() {
  const std::optional<std::size_t> selected = list_.selected();
  if (!findTyping_) findOrigin_ = selected;
  if (!selected) return;  // the boxes keep what they show
  view_.showContact(list_.item(*selected));
}

void WindowBehaviour::ButtonExportToXMLClick() {
  if (refuseWhileTask()) return;
  const std::optional<std::string> chosen = view_.askSaveFile(SaveDialog1);
  if (!chosen) return;
  SaveDialog1.fileName = *chosen;  // proposed again at the next export
  if (refuseDatabaseAsTarget(*chosen)) return;
  exportInBackground(*chosen, "XML", [this, path = *chosen] { services_.writeXml(list_, path); });
}

}  // namespace corvadex
