// SPDX-License-Identifier: Apache-2.0
// Both programs with --version, --help and a wrong argument: the exit
// status and what they print. The window program runs with no display and
// no Qt platform: it must answer before Qt looks for a window system.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "run_program.h"

namespace corvadex {
namespace {

using test::RunResult;

struct Case {
  std::string program;
  std::vector<std::string> args;
  int status;
  std::string pattern;  // what standard output and error, one after the other, must match
};

const std::string kVersionLine = "corvadex " CORVADEX_VERSION "\n";

// A pattern of the parts in this order, anything (line ends too) between.
std::string inOrder(const std::vector<std::string>& parts) {
  std::string pattern;
  for (const std::string& part : parts) pattern += (pattern.empty() ? "" : "[\\s\\S]*") + part;
  return pattern;
}

std::vector<Case> cases() {
  std::vector<Case> all = {
      {"corvadex-cli", {"--version"}, 0, "^" + kVersionLine + "$"},
      {"corvadex-cli",
       {"--help"},
       0,
       inOrder({"Usage: corvadex-cli COMMAND", "tables DATABASE", "dump DATABASE", "read DATABASE",
                "export DATABASE", "locate", "--output=FILE", "--format=FORMAT", "--version",
                "Exit status"})},
      {"corvadex-cli", {"-h"}, 0, "^Usage: corvadex-cli"},
      {"corvadex-cli", {"--versio"}, 2, "unknown command '--versio'"},
      {"corvadex-cli", {}, 2, "^Usage: corvadex-cli"},
  };
  if (CORVADEX_TEST_WINDOW) {
    const std::vector<Case> window = {
        {"corvadex", {"--version"}, 0, "^" + kVersionLine + "$"},
        {"corvadex",
         {"--help"},
         0,
         inOrder({"^Usage: corvadex \\[OPTION...\\] \\[FILE\\]", "--help", "--version", "-platform NAME",
                  "WINEPREFIX", "Exit status"})},
        {"corvadex", {"-style", "Fusion", "-h"}, 0, "^Usage: corvadex "},
        {"corvadex", {"-platform", "offscreen", "--bogus"}, 2, "unknown argument '--bogus'"},
        {"corvadex", {"-platform", "offscreen", "a.edb", "b.edb"}, 2, "one file at a time, not also 'b.edb'"},
    };
    all.insert(all.end(), window.begin(), window.end());
  }
  return all;
}

TEST(ProgramInfo, VersionHelpAndWrongArguments) {
  for (const Case& c : cases()) {
    std::vector<std::string> argv = {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                     "-u",           "QT_QPA_PLATFORM", CORVADEX_BIN_DIR "/" + c.program};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.program + " " + ::testing::PrintToString(c.args));
    const RunResult r = test::Run(argv);
    EXPECT_EQ(r.exitCode, c.status);
    EXPECT_TRUE(std::regex_search(r.out + r.err, std::regex(c.pattern)))
        << "output not matching '" << c.pattern << "':\n"
        << r.out << r.err;
  }
}

}  // namespace
}  // namespace corvadex
