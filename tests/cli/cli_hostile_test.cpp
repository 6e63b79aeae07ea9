// SPDX-License-Identifier: Apache-2.0
// corvadex-cli run as a program in odd surroundings, all faults made for
// real: FIFOs and devices in the database's and the output's place, a full
// device under standard output, signals during an export (also with the
// hang-up ignored, as nohup leaves it), the longest output name a folder
// takes, names with control bytes, a dirty database, and values that
// expand far beyond the file's size.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <future>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "file_io.h"
#include "base/temp_folder.h"
#include "run_program.h"

namespace corvadex {
namespace {

using test::RunResult;
using testing::readFile;
using testing::writeFile;
using ::testing::HasSubstr;

using test::kCli;
std::string makeDatabase(const TempFolder& dir, std::vector<std::string> options) {
  return test::makeDatabase(dir, "contacts.edb", std::move(options));
}

RunResult shell(const std::string& command) { return test::Run({"/bin/sh", "-c", command}); }

class CliHostile : public ::testing::Test {
 protected:
  TempFolder dir_;
};

TEST_F(CliHostile, AFifoOrADeviceIsNoDatabase) {
  const std::string fifo = dir_.File("fifo.edb");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    for (const char* command : {"tables", "dump", "read", "export"}) {
      const RunResult result = test::Run({kCli, command, path});
      EXPECT_EQ(result.exitCode, 1) << command << " " << path;
      EXPECT_THAT(result.err, HasSubstr(path)) << command;
      EXPECT_THAT(result.err, HasSubstr("not a regular file")) << command;
    }
  }
}

TEST_F(CliHostile, OutputsThatAreNotRegularFilesAreWrittenStraightInto) {
  const std::string db = makeDatabase(dir_, {"--count", "20"});
  const RunResult reference = test::Run({kCli, "export", db});
  ASSERT_EQ(reference.exitCode, 0) << reference.err;

  const std::string fifo = dir_.File("out.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] { return readFile(fifo); });
  const RunResult toFifo = test::Run({kCli, "export", db, "-o", fifo});
  EXPECT_EQ(toFifo.exitCode, 0) << toFifo.err;
  EXPECT_EQ(reader.get(), reference.out);
  struct stat st {};
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const RunResult toStdout = test::Run({kCli, "export", db, "-o", "/dev/stdout"});
  EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, reference.out);

  const RunResult toFull = test::Run({kCli, "export", db, "-o", "/dev/full"});
  EXPECT_EQ(toFull.exitCode, 1);
  EXPECT_THAT(toFull.err, HasSubstr("/dev/full: No space left on device"));
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"contacts.edb", "out.fifo"}));
}

TEST_F(CliHostile, EveryCommandFailsWhenStandardOutputCannotBeWritten) {
  const std::string db = makeDatabase(dir_, {"--count", "20"});
  for (const char* command : {"tables", "dump", "read", "export", "help"}) {
    const RunResult result =
        shell("'" + kCli + "' " + command + " '" + db + "' >/dev/full");
    EXPECT_EQ(result.exitCode, 1) << command << ": " << result.err;
    EXPECT_THAT(result.err, HasSubstr("No space left on device")) << command;
  }
}

// The export of a large database, stopped by `signal` once its temporary
// file exists; with `ignored` the signal is ignored before the command
// starts, as nohup does with the hang-up.
struct Interrupted {
  int status = 0;
  bool caught = false;
};
Interrupted interruptExport(const TempFolder& dir, const std::string& db, const std::string& out,
                            int signal, bool ignored) {
  Interrupted result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    if (ignored) std::signal(signal, SIG_IGN);
    ::execl(kCli.c_str(), kCli.c_str(), "export", db.c_str(), "-o", out.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int i = 0; i < 120'000 && !result.caught; ++i) {
    for (const auto& name : dir.entries())
      if (name.ends_with(".tmp")) result.caught = true;
    if (!result.caught) ::usleep(500);
  }
  if (result.caught) ::kill(pid, signal);
  ::waitpid(pid, &result.status, 0);
  return result;
}

TEST_F(CliHostile, SignalsDuringAnExportLeaveTheEarlierFileAndNoTemporaryOne) {
  const std::string db = makeDatabase(dir_, {"--count", "40000"});
  const std::string out = dir_.File("out.xml");
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    writeFile(out, "earlier");
    const Interrupted run = interruptExport(dir_, db, out, signal, false);
    if (!run.caught) GTEST_SKIP() << "the export ended before it could be interrupted";
    EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == signal) << signal;
    EXPECT_EQ(readFile(out), "earlier") << signal;
    EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"contacts.edb", "out.xml"})) << signal;
  }
  // Under nohup the hang-up stays ignored and the export completes.
  const Interrupted nohup = interruptExport(dir_, db, out, SIGHUP, true);
  EXPECT_TRUE(WIFEXITED(nohup.status) && WEXITSTATUS(nohup.status) == 0);
  EXPECT_THAT(readFile(out), HasSubstr("</contacts>"));
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"contacts.edb", "out.xml"}));
}

TEST_F(CliHostile, TheLongestNameAFolderTakesIsWrittenAndALongerOneRefusedBeforeTheRead) {
  const std::string db = makeDatabase(dir_, {"--count", "5"});
  const RunResult longest = test::Run({kCli, "export", db, "-o", dir_.File(std::string(255, 'n'))});
  EXPECT_EQ(longest.exitCode, 0) << longest.err;
  EXPECT_THAT(readFile(dir_.File(std::string(255, 'n'))), HasSubstr("</contacts>"));
  const RunResult tooLong = test::Run({kCli, "export", db, "-o", dir_.File(std::string(256, 'n'))});
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_THAT(tooLong.err, HasSubstr("File name too long"));
  EXPECT_THAT(tooLong.err, ::testing::Not(HasSubstr("database page size")));
}

TEST_F(CliHostile, NamesFromTheFileArePrintedWithTheirControlBytesEscaped) {
  const std::string db = makeDatabase(dir_, {"--count", "1", "--control-names"});
  const RunResult tables = test::Run({kCli, "tables", db});
  EXPECT_EQ(tables.exitCode, 0) << tables.err;
  EXPECT_THAT(tables.out, HasSubstr("table Odd\\x1b]0;title\\x07\\xff (object"));
  EXPECT_THAT(tables.out, HasSubstr("Id\\x1b[2J"));
  EXPECT_EQ(tables.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(tables.out.find('\x07'), std::string::npos);
}

TEST_F(CliHostile, ADirtyDatabaseIsReadWithALineSayingSo) {
  const std::string line =
      "The database was not shut down cleanly; changes held only in its log files may be missing\n";
  const std::string clean = makeDatabase(dir_, {"--count", "3"});
  const RunResult cleanRead = test::Run({kCli, "read", clean});
  EXPECT_EQ(cleanRead.exitCode, 0);
  EXPECT_EQ(cleanRead.err, "database page size 8192\n");
  const std::string dirty = makeDatabase(dir_, {"--count", "3", "--dirty"});
  for (const char* command : {"read", "export"}) {
    const RunResult result = test::Run({kCli, command, dirty});
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_EQ(result.err, "database page size 8192\n" + line) << command;
  }
}

TEST_F(CliHostile, ExpandingValuesAreReportedAndTheReadStaysWithinItsBound) {
  const std::string db = makeDatabase(dir_, {"--count", "500", "--expanding-values"});
  struct stat st {};
  ASSERT_EQ(::stat(db.c_str(), &st), 0);
  const RunResult read = test::Run({kCli, "read", "--verbose", db});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_THAT(read.err, HasSubstr("JetRetrieveColumn ERROR -1206"));
  EXPECT_THAT(read.err, HasSubstr(", column "));
  EXPECT_THAT(read.err,
              HasSubstr(": the value would take more memory than a file of this size can hold\n"));
  // Without the bound the values alone would take 500 * 28 * 64 KiB. (An
  // AddressSanitizer build keeps freed memory in quarantine: no bound there.)
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(read.peakKiB, (8 * st.st_size + (64 << 20)) / 1024) << "KiB, file " << st.st_size;
#endif
}

}  // namespace
}  // namespace corvadex
