// SPDX-License-Identifier: Apache-2.0
// corvadex-cli export, run as a program on databases that make-contacts-db
// writes.
#include <algorithm>
#include <filesystem>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "base/byte_sink.h"
#include "export/vcard_text.h"
#include "export/xml_export.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "file_io.h"
#include "base/temp_folder.h"
#include "run_program.h"

namespace corvadex {
namespace {

using testing::readFile;
using test::RunResult;
using testing::writeFile;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using test::kCli;

RunResult exportWith(std::vector<std::string> args) {
  args.insert(args.begin(), {kCli, "export"});
  return test::Run(args);
}

using test::makeDatabase;

// Reads a database in this process as the window does.
void readAsWindow(const std::string& path, ContactList& list, const ShortDateFormat& dates) {
  LineLog log;
  ese::EngineJet jet;
  ContactStoreReader reader(jet, log, list, dates);
  reader.ReadDatabase(path);
}

class CliExport : public ::testing::Test {
 protected:
  TempFolder dir_;
};

TEST_F(CliExport, XmlIsByteForByteTheWindowsFileOnStdoutAndInAFile) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "300", "--seed", "7"});
  ContactList list;
  LocaleShortDateFormat dates;  // what the window reads with
  readAsWindow(db, list, dates);
  ASSERT_EQ(list.count(), 300u);
  const std::string windowFile = dir_.File("window.xml");
  writeContactsXml(list, windowFile);
  const std::string expected = readFile(windowFile);

  const RunResult toStdout = exportWith({db});
  ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, expected);
  EXPECT_THAT(toStdout.err, StartsWith("database page size "));

  const RunResult toFile = exportWith({db, "-o", dir_.File("cli.xml"), "--format", "xml"});
  ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(readFile(dir_.File("cli.xml")), expected);
}

TEST_F(CliExport, CsvHoldsEveryValueOfTheListInItsColumn) {
  if (!test::pythonHasModule("csv")) GTEST_SKIP() << "no /usr/bin/python3";
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "120", "--seed", "3"});
  ContactList list;
  LocaleShortDateFormat dates;
  readAsWindow(db, list, dates);

  const std::string csv = dir_.File("out.csv");
  const RunResult result = exportWith({db, "--format=csv", "--output=" + csv});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const RunResult parsed = test::Run({CORVADEX_TEST_PYTHON, CORVADEX_TEST_SCRIPTS "/read_csv.py", csv});
  ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
  const auto rows = test::parseKeyedHexLines(parsed.out);
  ASSERT_EQ(rows.size(), list.count() + 1);
  for (std::size_t r = 0; r < list.count(); ++r) {
    ASSERT_EQ(rows[r + 1].size(), kContactColumnCount);
    for (std::size_t c = 0; c < kContactColumnCount; ++c)
      ASSERT_EQ(rows[r + 1].at(std::to_string(c)), list.item(r).Value(kContactColumns[c]))
          << "row " << r << " column " << kContactColumns[c].xmlAttribute;
  }
}

// Exports of one generated database of a few hundred contacts (empty
// contacts, non-Latin and non-BMP text, line breaks, zero dates) read back
// by independent readers: vobject and Evolution's EBookContacts for both
// vCard versions, Python's csv for the Google and Outlook layouts, each
// checked value by value against the plain CSV export of the same read.
class IndependentReaders : public CliExport {
 protected:
  void SetUp() override {
    if (!test::pythonHasModule("vobject")) GTEST_SKIP() << "python3-vobject is not installed";
    const RunResult gi = test::Run({CORVADEX_TEST_PYTHON, "-c",
                                    "import gi; gi.require_version('EBookContacts', '1.2'); "
                                    "from gi.repository import EBookContacts"});
    if (gi.exitCode != 0) GTEST_SKIP() << "gir1.2-ebookcontacts-1.2 / python3-gi are not installed";
    db_ = makeDatabase(dir_, "contacts.edb", {"--count", "300", "--seed", "5"});
    plain_ = dir_.File("plain.csv");
    ASSERT_EQ(exportInC({db_, "--format", "csv", "-o", plain_}).exitCode, 0);
  }
  // Dates in the plain CSV are the C locale's, which the checkers read.
  static RunResult exportInC(std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/env", "LC_ALL=C", kCli, "export"});
    return test::Run(args);
  }
  RunResult check(const std::string& script, std::vector<std::string> args) {
    args.insert(args.begin(), {CORVADEX_TEST_PYTHON, CORVADEX_TEST_SCRIPTS "/" + script, plain_});
    return test::Run(args);
  }
  // The UIDs of a vCard file, in card order.
  std::vector<std::string> uidsIn(const std::string& vcf) {
    std::vector<std::string> uids;
    const std::string text = readFile(vcf);
    for (std::size_t at = 0; (at = text.find("\r\nUID:", at)) != std::string::npos; at += 7)
      uids.push_back(text.substr(at + 6, text.find("\r\n", at + 2) - at - 6));
    return uids;
  }
  std::string db_, plain_;
};

TEST_F(IndependentReaders, EveryCardValueWhereItBelongs) {
  for (const char* version : {"3.0", "4.0"}) {
    const std::string vcf = dir_.File(std::string("cards-") + version + ".vcf");
    ASSERT_EQ(exportInC({db_, "--format", version[0] == '3' ? "vcard" : "vcard4", "-o", vcf}).exitCode, 0);
    const RunResult checked = check("check_vcards.py", {vcf, version});
    EXPECT_EQ(checked.exitCode, 0) << version << "\n" << checked.out << checked.err;
  }
}

TEST_F(IndependentReaders, EveryCsvValueUnderItsImportersColumn) {
  for (const std::string layout : {"google", "outlook"}) {
    const std::string out = dir_.File(layout + ".csv");
    ASSERT_EQ(exportInC({db_, "--format", layout + "-csv", "-o", out}).exitCode, 0);
    const RunResult checked = check("check_address_book_csv.py", {out, layout});
    EXPECT_EQ(checked.exitCode, 0) << layout << "\n" << checked.out << checked.err;
  }
}

// One file per contact, named by its UID, each card the one the single
// file holds; khard, a vdir address book, lists every one of them.
TEST_F(IndependentReaders, SplitFolderIsAVdirAddressBook) {
  const std::string vcf = dir_.File("all.vcf"), folder = dir_.File("cards");
  ASSERT_EQ(exportInC({db_, "--format", "vcard", "-o", vcf}).exitCode, 0);
  const RunResult split = exportInC({db_, "--format", "vcard", "--split", folder});
  ASSERT_EQ(split.exitCode, 0) << split.err;
  const std::vector<std::string> uids = uidsIn(vcf);
  ASSERT_EQ(uids.size(), 300u);
  std::vector<std::string> expected;
  for (const auto& uid : uids) expected.push_back(uid + ".vcf");
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) files.push_back(e.path().filename());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, expected);
  std::string order;
  for (const auto& uid : uids) order += uid + "\n";
  writeFile(dir_.File("uids"), order);
  const RunResult checked = check("check_vcards.py", {folder, "3.0", dir_.File("uids")});
  EXPECT_EQ(checked.exitCode, 0) << checked.out << checked.err;

  if (::access("/usr/bin/khard", X_OK) != 0) GTEST_SKIP() << "khard is not installed";
  writeFile(dir_.File("khard.conf"), "[addressbooks]\n[[cards]]\npath = " + folder +
                                         "\n[general]\ndefault_action = list\neditor = /bin/false\n"
                                         "merge_editor = /bin/false\n[contact table]\nshow_uids = yes\n");
  const RunResult listed = test::Run({"/usr/bin/khard", "-c", dir_.File("khard.conf"), "list", "--parsable"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  std::vector<std::string> khardUids;
  std::istringstream lines(listed.out);
  for (std::string line; std::getline(lines, line);) khardUids.push_back(line.substr(0, line.find('\t')) + ".vcf");
  std::sort(khardUids.begin(), khardUids.end());
  EXPECT_EQ(khardUids, expected);
  EXPECT_EQ(listed.err, "");
}

// The same database gives the same UIDs on every export, in either
// version; a copy of it too (the identity is in the file); another
// database shares none.
TEST_F(IndependentReaders, UidsAreStableAndBelongToTheirDatabase) {
  const std::string other = makeDatabase(dir_, "other.edb", {"--count", "300", "--seed", "6"});
  std::filesystem::copy_file(db_, dir_.File("copy.edb"));
  std::vector<std::vector<std::string>> runs;
  for (const auto& [db, format] : {std::pair{db_, "vcard"}, {db_, "vcard"}, {db_, "vcard4"},
                                   {dir_.File("copy.edb"), "vcard"}, {other, "vcard"}}) {
    const std::string out = dir_.File("uids-" + std::to_string(runs.size()) + ".vcf");
    ASSERT_EQ(exportInC({db, "--format", format, "-o", out}).exitCode, 0);
    runs.push_back(uidsIn(out));
    for (auto& uid : runs.back())
      if (uid.rfind("urn:uuid:", 0) == 0) uid.erase(0, 9);
  }
  ASSERT_EQ(runs[0].size(), 300u);
  EXPECT_EQ(runs[1], runs[0]);
  EXPECT_EQ(runs[2], runs[0]);
  EXPECT_EQ(runs[3], runs[0]);
  std::vector<std::string> both(runs[0]);
  both.insert(both.end(), runs[4].begin(), runs[4].end());
  std::sort(both.begin(), both.end());
  EXPECT_EQ(std::unique(both.begin(), both.end()), both.end()) << "two databases share a UID";
}

TEST_F(CliExport, EmptyTableGivesTheRootAlone) {
  const std::string db = makeDatabase(dir_, "empty.edb", {"--empty"});
  const RunResult result = exportWith({db});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<contacts/>\n");
  EXPECT_THAT(result.err, HasSubstr("The database is empty\n"));
}

// A read that never reaches the contact rows exports nothing and leaves an
// earlier output file as it was.
TEST_F(CliExport, FailedReadWritesNothing) {
  const std::string out = dir_.File("out.xml");
  writeFile(out, "earlier");
  writeFile(dir_.File("not-a-database.edb"), std::string(20000, 'x'));

  struct Case {
    std::string db;
    std::string logLine;
  } cases[] = {
      {dir_.File("not-a-database.edb"), "ERROR JetGetDatabaseFileInfo "},
      {makeDatabase(dir_, "no-table.edb", {"--no-contact-table"}), "JetOpenTable ERROR "},
      {makeDatabase(dir_, "no-column.edb", {"--without-column", "Pager"}), "JetGetTableColumnInfo ERROR "},
  };
  for (const auto& c : cases) {
    const RunResult result = exportWith({c.db, "-o", out});
    EXPECT_EQ(result.exitCode, 1) << c.db;
    EXPECT_THAT("\n" + result.err, HasSubstr("\n" + c.logLine)) << c.db;  // a line begins with it
    EXPECT_THAT(result.err, HasSubstr("corvadex-cli: " + c.db + ": no contacts could be read; nothing was exported"));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readFile(out), "earlier");
  }
  EXPECT_EQ(dir_.entries(),
            (std::vector<std::string>{"no-column.edb", "no-table.edb", "not-a-database.edb", "out.xml"}));
}

TEST_F(CliExport, ValuesThatCouldNotBeReadAreExportedEmptyAndReported) {
  const std::string db = makeDatabase(dir_, "long.edb", {"--count", "3", "--long-short-text"});
  const std::string out = dir_.File("out.xml");
  const RunResult result = exportWith({db, "-o", out});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("JetRetrieveColumn ERROR 1006 - "));
  EXPECT_THAT(result.err, HasSubstr("the read reported 1 error(s); values that could not be read are empty"));
  EXPECT_THAT(readFile(out), HasSubstr("<contact nick_name="));
}

TEST_F(CliExport, ExistingOutputIsReplacedAndAFolderIsRefused) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "2"});
  const std::string out = dir_.File("out.csv");
  writeFile(out, std::string(50000, 'o'));
  RunResult result = exportWith({db, "--format", "csv", "-o", out});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(readFile(out), StartsWith("nick_name,first_name,"));

  std::filesystem::create_directory(dir_.File("folder.csv"));
  result = exportWith({db, "--format", "csv", "-o", dir_.File("folder.csv")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("corvadex-cli: " + dir_.File("folder.csv") + ": Is a directory\n"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("folder.csv")));
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"contacts.edb", "folder.csv", "out.csv"}));
}

TEST_F(CliExport, TheDatabaseIsNeverTheOutput) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "2"});
  const std::string before = readFile(db);
  std::filesystem::create_symlink("contacts.edb", dir_.File("alias.xml"));
  for (const std::string& target : {db, dir_.File("alias.xml")}) {
    const RunResult result = exportWith({db, "-o", target});
    EXPECT_EQ(result.exitCode, 2) << target;
    EXPECT_THAT(result.err, HasSubstr("the output file is the database itself"));
  }
  EXPECT_EQ(readFile(db), before);
}

TEST_F(CliExport, BadUsageIsRefusedWithStatus2) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "1"});
  const std::vector<std::vector<std::string>> cases = {
      {},
      {db, "--format", "json"},
      {db, "--format"},
      {db, "-o", "a.xml", "-o", "b.xml"},
      {db, "--format", "xml", "--format", "csv"},
      {db, db},
      {db, "--quiet"},
      {db, "-o", ""},
      {db, "--split", "cards"},
      {db, "--format", "vcard", "--split", "cards", "-o", "x.vcf"},
      {db, "--format", "vcard", "--split", ""},
  };
  for (const auto& args : cases) {
    const RunResult result = exportWith(args);
    EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(result.err, HasSubstr("Usage: corvadex-cli export DATABASE")) << ::testing::PrintToString(args);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"contacts.edb"});
}

// The file is the same whatever the number of threads, for every format;
// generated contacts hold empty rows, non-BMP text, line breaks and dates.
TEST_F(CliExport, EveryFormatIsTheSameFileOnAnyThreadCount) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "3000", "--seed", "11"});
  for (const char* format : {"xml", "csv", "vcard", "vcard4", "google-csv", "outlook-csv"}) {
    const RunResult one = exportWith({db, "--format", format, "--threads", "1"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const std::string file = dir_.File(std::string("out.") + format);
    for (const std::string threads : {"--threads=2", "--threads=7"}) {
      const RunResult several = exportWith({db, "--format", format, threads, "-o", file});
      ASSERT_EQ(several.exitCode, 0) << several.err;
      EXPECT_TRUE(readFile(file) == one.out) << format << " " << threads;
    }
  }
}

TEST_F(CliExport, ThreadCountMustBeAWholeNumberOfOneOrMore) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "1"});
  for (const std::string command : {"tables", "dump", "read", "export"}) {
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--threads", "0"}, {"--threads", "x"}, {"--threads=2x"}, {"--threads"}}) {
      std::vector<std::string> args = {kCli, command, db};
      args.insert(args.end(), bad.begin(), bad.end());
      const RunResult result = test::Run(args);
      EXPECT_EQ(result.exitCode, 2) << command << " " << ::testing::PrintToString(bad);
      EXPECT_THAT(result.err, StartsWith("corvadex-cli " + command + ": --threads ")) << command;
      EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(test::Run({kCli, command, db, "--threads", "3"}).exitCode, 0) << command;
  }
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"contacts.edb"});
}

// Progress goes to standard error only when that is a terminal; script(1)
// gives the command one.
TEST_F(CliExport, ProgressShowsOnATerminalOnly) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "5000"});
  const std::string out = dir_.File("out.xml");
  const RunResult plain = exportWith({db, "-o", out});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_THAT(plain.err, ::testing::Not(HasSubstr("exported")));

  if (::access("/usr/bin/script", X_OK) != 0) GTEST_SKIP() << "no script(1) to give a terminal";
  const RunResult onTerminal =
      test::Run({"/usr/bin/script", "-q", "-e", "-c", kCli + " export '" + db + "' -o '" + out + "'", "/dev/null"});
  ASSERT_EQ(onTerminal.exitCode, 0) << onTerminal.out;
  EXPECT_THAT(onTerminal.out, HasSubstr("\rcorvadex-cli: exported 4096 of 5000 contacts (81%)"));
  EXPECT_THAT(onTerminal.out, HasSubstr("\rcorvadex-cli: exported 5000 of 5000 contacts (100%)\r\n"));
}

// An export stopped part-way (Ctrl-C, kill) removes its temporary file and
// leaves the earlier file as it was.
TEST_F(CliExport, InterruptedExportLeavesNoStrayFile) {
  const std::string db = makeDatabase(dir_, "big.edb", {"--count", "40000"});
  const std::string out = dir_.File("out.xml");
  writeFile(out, "earlier");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execl(kCli.c_str(), kCli.c_str(), "export", db.c_str(), "-o", out.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Wait for the temporary file to appear, then stop the command.
  bool caught = false;
  for (int i = 0; i < 120'000 && !caught; ++i) {
    for (const auto& name : dir_.entries())
      if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp") caught = true;
    if (!caught) ::usleep(500);
  }
  if (caught) ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!caught) GTEST_SKIP() << "the export ended before it could be interrupted";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(readFile(out), "earlier");
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"big.edb", "out.xml"}));
}

// A file that cannot be written fails the command at once, before the
// database is read.
TEST_F(CliExport, UnwritableOutputIsRefusedBeforeTheRead) {
  const std::string db = makeDatabase(dir_, "contacts.edb", {"--count", "1"});
  const std::string out = dir_.File("missing/out.xml");
  const RunResult result = exportWith({db, "-o", out});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "corvadex-cli: " + out + ": No such file or directory\n");
}

TEST_F(CliExport, MissingDatabaseIsAFileError) {
  const RunResult result = exportWith({dir_.File("nothing.edb"), "-o", dir_.File("out.xml")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "corvadex-cli: " + dir_.File("nothing.edb") + ": No such file or directory\n");
  EXPECT_TRUE(dir_.entries().empty());
}

}  // namespace
}  // namespace corvadex
