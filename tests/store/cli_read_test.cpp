// corvadex-cli read: usage, missing files, and the streams of a read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace corvadex {
namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs corvadex-cli with the given (shell-quoted) arguments.
Result RunCli(const std::string& args) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("corvadex-cli-read-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string command = std::string(CORVADEX_BIN_DIR) + "/corvadex-cli " + args + " >" +
                              (dir / "out").string() + " 2>" + (dir / "err").string();
  const int raw = std::system(command.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
  std::filesystem::remove_all(dir);
  return r;
}

const std::string kData = std::string(CORVADEX_SHARED_DIR) + "/testdata/ese/";

TEST(CliRead, BadUsageExitsWith2) {
  for (const char* args : {"read", "read a.edb b.edb", "read --verbose"}) {
    SCOPED_TRACE(args);
    const Result r = RunCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Usage: corvadex-cli read DATABASE\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliRead, MissingFileOrFolderIsAClearErrorAndExit1) {
  Result r = RunCli("read /nonexistent/contacts.edb");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "corvadex-cli: /nonexistent/contacts.edb: no such file\n");
  r = RunCli("read " + kData);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "corvadex-cli: " + kData + ": is a folder, not a database file\n");
}

TEST(CliRead, AReadThatWroteAnErrorLineExits1WithTheLogOnStandardError) {
  Result r = RunCli("read " + kData + "README.md");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("ERROR JetGetDatabaseFileInfo -"));
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(r.out, "");

  r = RunCli("read " + kData + "text.edb");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, ::testing::StartsWith("database page size 4096\nJetOpenTable ERROR -"));
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace corvadex
