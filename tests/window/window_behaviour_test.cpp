// SPDX-License-Identifier: Apache-2.0
// What the main window does, through its toolkit-free behaviour over a fake
// view: the source choice and the path controls, reads and what they leave
// shown, the exports, finding a contact, files from outside and the start-up.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "contact_fakes.h"
#include "fake_window_view.h"
#include "location/database_location.h"
#include "platform/windows_view.h"
#include "window/window_behaviour.h"

namespace corvadex::testing {
namespace {

// A Windows without the mail client: the start-up location finds no version.
class NoMailClient final : public platform::WindowsView {
 public:
  int windowsMajorVersion() const override { return 6; }
  std::optional<std::string> knownFolderPath(const platform::KNOWNFOLDERID&) const override { return std::nullopt; }
  std::optional<std::string> specialFolderPath(int) const override { return std::nullopt; }
  std::optional<platform::RegistryValue> currentUserValue(std::string_view, std::string_view) const override {
    return std::nullopt;
  }
  std::optional<platform::VS_FIXEDFILEINFO> fileVersion(const std::string&) const override { return std::nullopt; }
  bool fileExists(const std::string&) const override { return false; }
};

ContactValues nicknamed(const std::string& nick, const std::string& notes = "") {
  ContactValues v(kContactColumnCount);
  v[0] = nick;
  v[kContactColumnCount - 1] = notes;
  return v;
}

class WindowBehaviourTest : public ::testing::Test {
 protected:
  // The behaviour over the fake view, reader and exports; files that exist
  // are those of `db_` (and `database_`, a real file for the same-file test).
  WindowBehaviour& make(const platform::WindowsView* windows = nullptr) {
    FormServices services;
    services.makeReader = [this](MessageLog& log, ContactList& list) -> std::unique_ptr<DatabaseReader> {
      auto reader = std::make_unique<FakeReader>(db_, log, list, [this] { return view_.busy; });
      if (!gate_) return reader;
      return std::make_unique<GatedReader>(std::move(reader), gate_->get_future().share());
    };
    services.fileExists = [this](const std::string& path) { return db_.files.count(path) != 0; };
    services.writeXml = [this](const ContactList& list, const std::string& name) {
      exports_.push_back({list.count(), name});
    };
    services.writeForAddressBook = [this](const ContactList& list, const std::string& format,
                                          const std::string& name) {
      exports_.push_back({list.count(), name, format});
    };
    services.sameFile = [](const std::string& a, const std::string& b) { return a == b; };
    services.windows = windows;
    services.makeTasks = [this](WindowView& view) { return threads_ ? threadTasks(view) : inlineTasks(); };
    behaviour_ = std::make_unique<WindowBehaviour>(view_, std::move(services));
    return *behaviour_;
  }

  // The user checks a radio button: the view changes it, then raises its click.
  void check(Control radio) {
    view_.setChecked(radio, true);
    radio == Control::RadioButton1 ? behaviour_->RadioButton1Click() : behaviour_->RadioButton2Click();
  }
  // The user types a path and presses "Read".
  void read(const std::string& path) {
    check(Control::RadioButton2);
    view_.setText(Control::EditDBPath, path);
    behaviour_->EditDBPathChange();
    behaviour_->ButtonReadDatabaseClick();
  }

  // The window's thread runs what the reads and exports send it until the
  // one under way has ended; false if it has not within a minute.
  bool waitForTask() {
    for (int i = 0; i < 60000 && behaviour_->taskRunning(); ++i) {
      view_.runPosted();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !behaviour_->taskRunning();
  }

  // A reader that starts only once the gate opens (or a minute has passed).
  class GatedReader final : public DatabaseReader {
   public:
    GatedReader(std::unique_ptr<DatabaseReader> reader, std::shared_future<void> gate)
        : reader_(std::move(reader)), gate_(std::move(gate)) {}
    ese::JET_ERR ReadDatabase(const std::string& path) override {
      gate_.wait_for(std::chrono::minutes(1));
      return reader_->ReadDatabase(path);
    }

   private:
    std::unique_ptr<DatabaseReader> reader_;
    std::shared_future<void> gate_;
  };

  bool threads_ = false;  // reads and exports on a thread of their own
  std::unique_ptr<std::promise<void>> gate_;  // set: reads wait for it

  FakeWindowView view_;
  FakeDatabase db_;
  std::vector<ExportCall> exports_;
  std::unique_ptr<WindowBehaviour> behaviour_;
};

TEST_F(WindowBehaviourTest, SourceChoiceSwitchesThePathControls) {
  WindowBehaviour& b = make();
  const struct {
    const char* step;
    std::function<void()> act;
    bool edit, chooser, readButton;
  } steps[] = {
      {"chosen-file source", [&] { check(Control::RadioButton2); }, true, true, false},
      {"a character typed", [&] { view_.texts[Control::EditDBPath] = "x"; b.EditDBPathChange(); }, true, true, true},
      {"deleted again", [&] { view_.texts[Control::EditDBPath] = ""; b.EditDBPathChange(); }, true, true, false},
      {"a path typed", [&] { view_.texts[Control::EditDBPath] = "/a.edb"; b.EditDBPathChange(); }, true, true, true},
      {"automatic source: the path and Read kept", [&] { check(Control::RadioButton1); }, false, false, true},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(view_.enabled[Control::EditDBPath], s.edit) << s.step;
    EXPECT_EQ(view_.enabled[Control::ButtonChooseFile], s.chooser) << s.step;
    EXPECT_EQ(view_.enabled[Control::ButtonReadDatabase], s.readButton) << s.step;
  }
  EXPECT_TRUE(view_.log.empty());
}

TEST_F(WindowBehaviourTest, ReadShowsTheFileAndCountOrRefusesWhatIsNotThere) {
  db_.files["/data/first.edb"] = {numberedContact(1), numberedContact(2), numberedContact(3)};
  db_.files["/data/one.edb"] = {numberedContact(4)};
  db_.files["/data/empty.edb"] = {};
  WindowBehaviour& b = make();
  const struct {
    std::string path;
    std::size_t rows;
    const char* title;  // null: refused, title and status stay
    const char* status;
  } reads[] = {
      {"/data/first.edb", 3, "Corvadex \u2014 first.edb \u2014 en_US:3 contacts", "first.edb: en_US:3 contacts read"},
      {"/data/gone.edb", 3, nullptr, nullptr},
      {"/data/one.edb", 1, "Corvadex \u2014 one.edb \u2014 1 contact", "one.edb: 1 contact read"},
      {"/data/empty.edb", 0, "Corvadex \u2014 empty.edb \u2014 en_US:0 contacts", "empty.edb: en_US:0 contacts read"},
  };
  std::string title = view_.title, status;
  for (const auto& r : reads) {
    view_.messages.clear();
    const std::size_t logLines = view_.log.size();
    read(r.path);
    if (r.title != nullptr) title = r.title, status = r.status;
    EXPECT_EQ(view_.title, title) << r.path;
    EXPECT_EQ(view_.status, status) << r.path;
    EXPECT_EQ(b.contacts().count(), r.rows) << r.path;
    if (r.title != nullptr) {
      EXPECT_TRUE(view_.messages.empty()) << r.path;
      EXPECT_EQ(view_.log.at(logLines), "Reading contacts database: " + r.path);
      EXPECT_EQ(view_.log.at(logLines + 1), "Reading " + r.path);
    } else {
      ASSERT_EQ(view_.messages.size(), 1u) << r.path;
      EXPECT_EQ(view_.messages[0].text, " File does not exists. ");
      EXPECT_EQ(view_.messages[0].caption, " Corvadex");
      EXPECT_EQ(view_.messages[0].icon, MessageIcon::Error);
      EXPECT_EQ(view_.log.size(), logLines);  // nothing logged
    }
  }
  // Each read showed the busy cursor while it ran, and only then.
  EXPECT_EQ(db_.busyDuringRead, std::vector<bool>({true, true, true}));
  EXPECT_FALSE(view_.busy);
  // Each read showed its first contact; the list emptied by the last read
  // emptied the details view.
  EXPECT_EQ(view_.details, std::vector<std::string>({"NickName of 1", "NickName of 4", ""}));
}

TEST_F(WindowBehaviourTest, TextsComeFromTheCatalogue) {
  view_.catalogue = {{"en_US", "de_DE"},
                     {"%1 contacts", "%1 Kontakte"},
                     {"Corvadex \u2014 %1 \u2014 %2", "Corvadex: %1 (%2)"},
                     {"%1: %2 read", "%1: %2 gelesen"},
                     {"xml files|*.xml", "XML-Dateien|*.xml"},
                     {" File does not exists. ", "Datei fehlt"}};
  db_.files["/d/a%2.edb"] = {numberedContact(1), numberedContact(2)};
  WindowBehaviour& b = make();
  read("/d/a%2.edb");
  read("/d/missing.edb");
  // The file's own "%2" stays as it is.
  EXPECT_EQ(view_.title, "Corvadex: a%2.edb (de_DE:2 Kontakte)");
  EXPECT_EQ(view_.status, "a%2.edb: de_DE:2 Kontakte gelesen");
  EXPECT_EQ(b.SaveDialog1.filter, "XML-Dateien|*.xml");
  EXPECT_EQ(view_.messages.at(0).text, "Datei fehlt");
}

TEST_F(WindowBehaviourTest, SelectionFillsTheDetailsAndEachReadShowsItsFirstContact) {
  db_.files["/d/people.edb"] = {nicknamed("Ann"), nicknamed("Bob")};
  db_.files["/d/others.edb"] = {nicknamed("Cy"), nicknamed("Di")};
  WindowBehaviour& b = make();
  read("/d/people.edb");
  b.contacts().setSelected(1, true);
  b.contacts().clearSelection();  // the boxes keep what they show
  read("/d/others.edb");          // a new list: its first contact, not Bob
  EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(0));
  EXPECT_EQ(view_.details, std::vector<std::string>({"Ann", "Bob", "Cy"}));
}

TEST_F(WindowBehaviourTest, ChooserFillsThePathOrChangesNothing) {
  WindowBehaviour& b = make();
  check(Control::RadioButton2);
  view_.texts[Control::EditDBPath] = "kept";
  view_.openAnswers = {std::nullopt, "/chosen/contacts.edb"};
  b.ButtonChooseFileClick();
  EXPECT_EQ(view_.texts[Control::EditDBPath], "kept");
  EXPECT_EQ(b.OpenDialog1.fileName, "");
  view_.texts[Control::EditDBPath] = "";
  b.EditDBPathChange();
  b.ButtonChooseFileClick();
  EXPECT_EQ(view_.texts[Control::EditDBPath], "/chosen/contacts.edb");
  EXPECT_TRUE(view_.enabled[Control::ButtonReadDatabase]);
  EXPECT_EQ(b.OpenDialog1.fileName, "/chosen/contacts.edb");
  ASSERT_EQ(view_.openShown.size(), 2u);
  EXPECT_EQ(view_.openShown[0].filter, "*.edb|*.edb");
  EXPECT_TRUE(db_.readPaths.empty());  // choosing does not read
}

// Both export buttons: the dialog's answer, what is written in which
// format, what the next dialog proposes, and the database shown refused.
TEST_F(WindowBehaviourTest, ExportsWriteTheChosenFileAndFormat) {
  db_.files["/d/book.edb"] = {numberedContact(1), numberedContact(2)};
  WindowBehaviour& b = make();
  read("/d/book.edb");
  enum Button { Xml, AddressBook };
  const struct {
    Button button;
    std::optional<TypedFileChoice> answer;  // the XML button's dialog takes the name only
    const char* format;                     // null: nothing written
    const char* formatName;                 // as the status and log lines name it
    bool refused;
  } cases[] = {
      {Xml, std::nullopt, nullptr, nullptr, false},
      {Xml, TypedFileChoice{"/out/mine.xml", 0}, "xml", "XML", false},
      {Xml, TypedFileChoice{"/d/book.edb", 0}, nullptr, nullptr, true},
      {AddressBook, std::nullopt, nullptr, nullptr, false},
      {AddressBook, TypedFileChoice{"/out/b.vcf", 0}, "vcard", "vCard 3.0", false},
      {AddressBook, TypedFileChoice{"/out/b4.vcf", 1}, "vcard4", "vCard 4.0", false},
      {AddressBook, TypedFileChoice{"/out/g.csv", 2}, "google-csv", "Google CSV", false},
      {AddressBook, TypedFileChoice{"/out/o.txt", 3}, "outlook-csv", "Outlook CSV", false},
      {AddressBook, TypedFileChoice{"/d/book.edb", 1}, nullptr, nullptr, true},
  };
  for (const auto& c : cases) {
    const std::string name = c.answer ? c.answer->fileName : "cancel";
    exports_.clear();
    view_.messages.clear();
    const FileDialogSettings before = c.button == Xml ? b.SaveDialog1 : b.SaveDialog2;
    if (c.button == Xml) {
      view_.saveAnswers = {c.answer ? std::optional<std::string>(c.answer->fileName) : std::nullopt};
      b.ButtonExportToXMLClick();
      EXPECT_EQ(view_.saveShown.back().fileName, before.fileName) << name;
    } else {
      view_.typedAnswers = {c.answer};
      b.ButtonExportForAddressBookClick();
      EXPECT_EQ(view_.typedShown.back().filterIndex, before.filterIndex) << name;
    }
    const FileDialogSettings& after = c.button == Xml ? b.SaveDialog1 : b.SaveDialog2;
    // A confirmed name, written or refused, is proposed again.
    EXPECT_EQ(after.fileName, c.answer ? c.answer->fileName : before.fileName) << name;
    if (c.format == nullptr) {
      EXPECT_TRUE(exports_.empty()) << name;
    } else {
      ASSERT_EQ(exports_.size(), 1u) << name;
      EXPECT_EQ(exports_[0].format, c.format);
      EXPECT_EQ(exports_[0].fileName, c.answer->fileName);
      EXPECT_EQ(exports_[0].rows, 2u);
      const std::string file = c.answer->fileName.substr(c.answer->fileName.rfind('/') + 1);
      EXPECT_EQ(view_.status, "en_US:2 contacts from book.edb exported to " + file + " as " + c.formatName);
      EXPECT_EQ(view_.log.back(), "Exported en_US:2 contacts from /d/book.edb to " + c.answer->fileName + " as " +
                                      c.formatName);
    }
    ASSERT_EQ(view_.messages.size(), c.refused ? 1u : 0u) << name;
    if (c.refused) { EXPECT_NE(view_.messages[0].text.find("database being shown"), std::string::npos); }
  }
  EXPECT_EQ(b.SaveDialog2.filter, "vCard 3.0|*.vcf|vCard 4.0|*.vcf|Google CSV|*.csv|Outlook CSV|*.csv");
  // Each type proposes a name of its own, so that no export proposes to
  // replace another type's file; both dialogs ask before replacing a file
  // and say in their titles what they export.
  EXPECT_EQ(view_.saveShown.front().fileName, "contacts.xml");
  EXPECT_EQ(view_.typedShown.front().fileName, "contacts.vcf");
  EXPECT_EQ(view_.typedShown.front().typeFileNames,
            std::vector<std::string>({"contacts.vcf", "contacts-vcard4.vcf", "contacts-google.csv",
                                      "contacts-outlook.csv"}));
  for (const auto* shown : {&view_.saveShown, &view_.typedShown}) {
    for (const FileDialogSettings& settings : *shown) EXPECT_TRUE(settings.overwritePrompt);
  }
  EXPECT_NE(view_.saveShown.front().title.find("XML"), std::string::npos);
  EXPECT_NE(view_.typedShown.front().title.find("address book"), std::string::npos);
}

// With no contacts read, the address-book export says so and asks for no
// file; the XML export writes its empty file as it always has, saying 0.
TEST_F(WindowBehaviourTest, ExportsWithNothingReadSaySo) {
  WindowBehaviour& b = make();
  b.ButtonExportForAddressBookClick();
  EXPECT_TRUE(view_.typedShown.empty());
  EXPECT_TRUE(exports_.empty());
  EXPECT_EQ(view_.status, "No contacts have been read: nothing was exported.");
  EXPECT_EQ(view_.log.back(), view_.status);
  view_.saveAnswers = {"/out/none.xml"};
  b.ButtonExportToXMLClick();
  ASSERT_EQ(exports_.size(), 1u);
  EXPECT_EQ(exports_[0].rows, 0u);
  EXPECT_EQ(view_.status, "en_US:0 contacts exported to none.xml as XML");
  EXPECT_EQ(view_.log.back(), "Exported en_US:0 contacts to /out/none.xml as XML");
}

// A read the engine refuses leaves the list as it was, and the title with
// it; the status line and the log say which file could not be read and why.
TEST_F(WindowBehaviourTest, FailedReadSaysWhyAndKeepsTheListsLabels) {
  db_.files["/d/good.edb"] = {nicknamed("Ann"), nicknamed("Bob")};
  const struct {
    ese::JET_ERR status;
    const char* why;
  } refusals[] = {
      {ese::JET_errInvalidDatabase, "it is not a contacts database."},
      {ese::JET_errReadVerifyFailure, "the database is damaged."},
      {ese::JET_errDatabaseCorrupted, "the database is damaged."},
      {ese::JET_errFileNotFound, "the file is missing."},
      {ese::JET_errFileAccessDenied,
       "it is held by another program, or you may not read it. Close the mail client, Messenger and "
       "its background communication service, or copy the folder and read the copy."},
      {ese::JET_errOutOfMemory, "the database engine reported error -1011."},
  };
  for (const auto& r : refusals) {
    const std::string path = "/d/bad" + std::to_string(-r.status) + ".edb";
    db_.files[path] = {};
    db_.refused[path] = r.status;
  }
  WindowBehaviour& b = make();
  read("/d/bad1028.edb");  // refused before anything was read: no file named
  EXPECT_EQ(view_.title, "Corvadex");
  read("/d/good.edb");
  b.contacts().setSelected(1, true);
  const std::string title = view_.title;
  const std::size_t detailsShown = view_.details.size();
  for (const auto& r : refusals) {
    const std::string name = "bad" + std::to_string(-r.status) + ".edb";
    read("/d/" + name);
    EXPECT_EQ(view_.title, title) << name;
    EXPECT_EQ(view_.status, name + " could not be read: " + r.why);
    // The engine's line stays, the plain one follows it.
    ASSERT_GE(view_.log.size(), 2u);
    EXPECT_EQ(view_.log.back(), view_.status);
    EXPECT_EQ(view_.log[view_.log.size() - 2], "ERROR JetGetDatabaseFileInfo " + std::to_string(r.status));
    EXPECT_EQ(b.contacts().count(), 2u) << name;
    EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(1)) << name;
  }
  EXPECT_EQ(view_.details.size(), detailsShown);
  // An export then names the file its contacts came from.
  view_.saveAnswers = {"/out/x.xml"};
  b.ButtonExportToXMLClick();
  EXPECT_EQ(view_.status, "en_US:2 contacts from good.edb exported to x.xml as XML");
}

TEST_F(WindowBehaviourTest, FindMovesTheSelectionAndSaysWhenNothingHoldsTheText) {
  db_.files["/d/p.edb"] = {nicknamed("Anna Sørensen"), nicknamed("Bob"), nicknamed("Carl", "met at SORENSEN's"),
                           nicknamed("Dora")};
  WindowBehaviour& b = make();
  read("/d/p.edb");
  b.findContact();
  EXPECT_TRUE(view_.findBar);
  const struct {
    const char* text;
    FindDirection direction;
    bool fromCurrent;
    std::optional<std::size_t> selected;
    bool notFound;
  } steps[] = {
      {"s", FindDirection::Next, true, 0, false},          // as typed: the first holding it
      {"sorensen", FindDirection::Next, true, 0, false},   // still the selected one
      {"sorensen", FindDirection::Next, false, 2, false},  // the next, in the notes
      {"sorensen", FindDirection::Next, false, 0, false},  // round again
      {"sorensen", FindDirection::Previous, false, 2, false},
      {"sorensenx", FindDirection::Next, true, 2, true},  // nobody: the selection stays
      {"", FindDirection::Next, true, 2, false},
      {"b", FindDirection::Next, true, 1, false},   // typing moves on to Bob...
      {"bx", FindDirection::Next, true, 2, true},   // ...but "not found" is shown beside Carl again
      {"", FindDirection::Next, true, 2, false},
      {"DORA", FindDirection::Next, true, 3, false},
  };
  for (const auto& s : steps) {
    b.FindBar1Find(s.text, s.direction, s.fromCurrent);
    EXPECT_EQ(b.contacts().selected(), s.selected) << s.text;
    EXPECT_EQ(view_.notFound, s.notFound) << s.text;
  }
  EXPECT_EQ(view_.details.back(), "Dora");  // the selection shows the contact

  // F3 with the bar closed, or with no text, opens the bar instead.
  view_.findBar = false;
  view_.texts[Control::FindBar1] = "bob";
  b.findAgain(FindDirection::Next);
  EXPECT_TRUE(view_.findBar);
  EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(3));
  b.findAgain(FindDirection::Next);
  EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(1));
  b.FindBar1Close();
  EXPECT_FALSE(view_.findBar);
  EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(1));  // the find's contact stays selected
}

// A file from outside is read as "Read" reads it; the command line's is read
// once the window is up, instead of the start-up location, its first
// contact selected. Enter in the path edit and Ctrl+O go the chosen-file way.
TEST_F(WindowBehaviourTest, FilesFromOutsideAreReadAsReadDoes) {
  db_.files["/d/c.edb"] = {nicknamed("Ann"), nicknamed("Bob")};
  WindowBehaviour& b = make();
  int creates = 0;
  b.showWindow("/d/c.edb", [&] { ++creates; });
  EXPECT_TRUE(view_.shown);
  EXPECT_TRUE(db_.readPaths.empty());  // not before the window is up
  view_.runPosted();
  EXPECT_EQ(creates, 0);
  EXPECT_EQ(db_.readPaths, std::vector<std::string>{"/d/c.edb"});
  EXPECT_EQ(view_.texts[Control::EditDBPath], "/d/c.edb");
  EXPECT_TRUE(view_.checks[Control::RadioButton2] && !view_.checks[Control::RadioButton1]);
  EXPECT_TRUE(view_.enabled[Control::EditDBPath] && view_.enabled[Control::ButtonReadDatabase]);
  EXPECT_EQ(b.contacts().selected(), std::optional<std::size_t>(0));

  b.openFile("/d/gone.edb");
  EXPECT_EQ(view_.messages.size(), 1u);
  view_.texts[Control::EditDBPath] = "";
  b.EditDBPathReturn();  // needs a path
  view_.texts[Control::EditDBPath] = "/d/c.edb";
  b.EditDBPathReturn();
  EXPECT_EQ(db_.readPaths.size(), 2u);
  EXPECT_EQ(view_.messages.size(), 1u);

  check(Control::RadioButton1);
  view_.openAnswers = {std::nullopt, "/d/c.edb"};
  b.ChooseFileKey();
  EXPECT_TRUE(view_.checks[Control::RadioButton2]);
  EXPECT_TRUE(view_.enabled[Control::ButtonChooseFile]);
  EXPECT_EQ(view_.openShown.size(), 1u);
  EXPECT_EQ(db_.readPaths.size(), 2u);  // cancelled: nothing read
  b.ChooseFileKey();                    // chosen: read at once
  EXPECT_EQ(db_.readPaths.size(), 3u);
  b.Label1Click();
  EXPECT_EQ(view_.aboutShown, 1);
}

// Without a start file the create handler runs before the window shows;
// its error is reported then, and with no database read, the log says how
// to go on.
TEST_F(WindowBehaviourTest, StartUpWithoutAMailClientReportsAndSaysHowToGoOn) {
  const NoMailClient windows;
  WindowBehaviour& b = make(&windows);
  b.showWindow("");
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_FALSE(view_.errors[0].windowShown);
  EXPECT_TRUE(view_.shown);
  ASSERT_EQ(view_.log.size(), 1u);
  EXPECT_NE(view_.log[0].find("drop the file on this window"), std::string::npos);
  EXPECT_EQ(b.location()->MailVersion, 0);
  EXPECT_FALSE(b.searchPending());

  // Without Windows to ask, there is no location and nothing to say.
  view_ = FakeWindowView();
  make().showWindow("");
  EXPECT_TRUE(view_.errors.empty() && view_.log.empty() && view_.shown);
}

// A read that breaks down names the file tried; the title keeps naming the
// file whose contacts the list still holds.
TEST_F(WindowBehaviourTest, ReaderErrorsLeaveTitleAndCursorRight) {
  db_.files["/d/a.edb"] = {nicknamed("Ann")};
  db_.files["/d/b.edb"] = {nicknamed("Bob"), nicknamed("Cy")};
  make();
  read("/d/a.edb");
  db_.throwOnRead = true;
  view_.guard([&] { read("/d/b.edb"); });
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.errors[0].what, "the reader broke down");
  EXPECT_FALSE(view_.busy);
  EXPECT_EQ(view_.title, "Corvadex \u2014 a.edb \u2014 1 contact");
  EXPECT_EQ(view_.status, "b.edb could not be read: the read stopped before the contacts.");
}

}  // namespace
}  // namespace corvadex::testing

namespace corvadex::testing {
namespace {

TEST_F(WindowBehaviourTest, ReadsAndExportsLeaveTheWindowsThreadFree) {
  db_.files["/data/first.edb"] = {nicknamed("Ann")};
  db_.files["/data/second.edb"] = {nicknamed("Bob"), nicknamed("Cid")};
  threads_ = true;
  WindowBehaviour& b = make();
  read("/data/first.edb");
  ASSERT_TRUE(waitForTask());
  ASSERT_EQ(b.contacts().count(), 1u);

  // A read that has not got far: the handler has returned, the window shows
  // what it showed, and nothing else starts meanwhile.
  gate_ = std::make_unique<std::promise<void>>();
  read("/data/second.edb");
  ASSERT_TRUE(b.taskRunning());
  EXPECT_TRUE(view_.busy);
  for (Control button : {Control::ButtonReadDatabase, Control::ButtonExportToXML, Control::ButtonExportForAddressBook})
    EXPECT_FALSE(view_.enabled[button]) << static_cast<int>(button);
  EXPECT_EQ(b.contacts().count(), 1u);
  EXPECT_EQ(view_.title, "Corvadex \u2014 first.edb \u2014 1 contact");
  view_.saveAnswers = {"/out/contacts.xml"};
  b.ButtonExportToXMLClick();
  b.openFile("/data/first.edb");
  b.EditDBPathChange();
  EXPECT_TRUE(view_.saveShown.empty());
  EXPECT_EQ(view_.texts[Control::EditDBPath], "/data/second.edb");
  EXPECT_FALSE(view_.enabled[Control::ButtonReadDatabase]);
  EXPECT_EQ(view_.status, "Wait for the read or export under way to end.");

  gate_->set_value();
  ASSERT_TRUE(waitForTask());
  EXPECT_EQ(db_.readPaths, (std::vector<std::string>{"/data/first.edb", "/data/second.edb"}));
  EXPECT_EQ(b.contacts().count(), 2u);
  EXPECT_EQ(view_.details.back(), "Bob");
  EXPECT_EQ(view_.title, "Corvadex \u2014 second.edb \u2014 en_US:2 contacts");
  EXPECT_FALSE(view_.busy);
  for (Control button : {Control::ButtonReadDatabase, Control::ButtonExportToXML, Control::ButtonExportForAddressBook})
    EXPECT_TRUE(view_.enabled[button]) << static_cast<int>(button);
  // The reader's lines come in its order, after the window's own.
  const std::vector<std::string> tail(view_.log.end() - 3, view_.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Reading contacts database: /data/second.edb", "Reading /data/second.edb",
                                            "2 contacts read"}));

  view_.saveAnswers = {"/out/contacts.xml"};
  b.ButtonExportToXMLClick();
  ASSERT_TRUE(waitForTask());
  ASSERT_EQ(exports_.size(), 1u);
  EXPECT_EQ(exports_[0].rows, 2u);
  EXPECT_EQ(view_.log.back(), "Exported en_US:2 contacts from /data/second.edb to /out/contacts.xml as XML");

  // The window closing during a read waits for it; what the read would
  // still have shown is dropped with the window.
  gate_ = std::make_unique<std::promise<void>>();
  read("/data/first.edb");
  const std::size_t lines = view_.log.size();
  std::thread opener([gate = gate_.get()] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    gate->set_value();
  });
  behaviour_.reset();
  opener.join();
  view_.runPosted();
  EXPECT_EQ(view_.log.size(), lines);
  EXPECT_TRUE(view_.errors.empty());
}

}  // namespace
}  // namespace corvadex::testing
