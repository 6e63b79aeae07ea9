// SPDX-License-Identifier: Apache-2.0
// Both programs with --version, --help and a wrong argument: the exit
// status and what they print. The window program runs with no display and
// no Qt platform: it must answer before Qt looks for a window system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"

namespace corvadex {
namespace {

using test::RunResult;

// What standard output and error, one after the other, must hold.
struct Expected {
  enum class Kind { Exactly, StartsWith, Contains };
  Kind kind;
  std::vector<std::string> parts;  // in this order, anything (line ends too) between
};

Expected exactly(std::string text) { return {Expected::Kind::Exactly, {std::move(text)}}; }
Expected startsWith(std::vector<std::string> parts) { return {Expected::Kind::StartsWith, std::move(parts)}; }
Expected contains(std::vector<std::string> parts) { return {Expected::Kind::Contains, std::move(parts)}; }

bool matches(const std::string& output, const Expected& expected) {
  if (expected.kind == Expected::Kind::Exactly) return output == expected.parts.front();
  if (expected.kind == Expected::Kind::StartsWith && !output.starts_with(expected.parts.front())) return false;
  std::size_t at = 0;
  for (const std::string& part : expected.parts) {
    at = output.find(part, at);
    if (at == std::string::npos) return false;
    at += part.size();
  }
  return true;
}

std::string describe(const Expected& expected) {
  std::string text;
  for (const std::string& part : expected.parts) text += (text.empty() ? "'" : " ... '") + part + "'";
  return text;
}

struct Case {
  std::string program;
  std::vector<std::string> args;
  int status;
  Expected output;
};

const std::string kVersionLine = "corvadex " CORVADEX_VERSION "\n";

std::vector<Case> cases() {
  std::vector<Case> all = {
      {"corvadex-cli", {"--version"}, 0, exactly(kVersionLine)},
      {"corvadex-cli",
       {"--help"},
       0,
       contains({"Usage: corvadex-cli COMMAND", "tables DATABASE", "dump DATABASE", "read DATABASE",
                 "export DATABASE", "locate", "--output=FILE", "--format=FORMAT", "--version",
                 "Exit status"})},
      {"corvadex-cli", {"-h"}, 0, startsWith({"Usage: corvadex-cli"})},
      {"corvadex-cli", {"--versio"}, 2, contains({"unknown command '--versio'"})},
      {"corvadex-cli", {}, 2, startsWith({"Usage: corvadex-cli"})},
  };
  if (CORVADEX_TEST_WINDOW) {
    const std::vector<Case> window = {
        {"corvadex", {"--version"}, 0, exactly(kVersionLine)},
        {"corvadex",
         {"--help"},
         0,
         startsWith({"Usage: corvadex [OPTION...] [FILE]", "--help", "--version", "-platform NAME",
                     "WINEPREFIX", "Exit status"})},
        {"corvadex", {"-style", "Fusion", "-h"}, 0, startsWith({"Usage: corvadex "})},
        {"corvadex", {"-platform", "offscreen", "--bogus"}, 2, contains({"unknown argument '--bogus'"})},
        {"corvadex", {"-platform", "offscreen", "a.edb", "b.edb"}, 2, contains({"one file at a time, not also 'b.edb'"})},
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
    EXPECT_TRUE(matches(r.out + r.err, c.output))
        << "output not matching " << describe(c.output) << ":\n"
        << r.out << r.err;
  }
}

}  // namespace
}  // namespace corvadex
