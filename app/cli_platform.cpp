// SPDX-License-Identifier: Apache-2.0
// The command line on POSIX systems: main, the terminal test, and the
// signal handlers that remove an export's temporary file.
#include "cli_platform.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace corvadex::cli {

namespace {

// The temporary file of an export in progress, removed if the command is
// interrupted (Ctrl-C, a closed terminal, kill) so that no stray file stays
// beside the target. The handler does only what is safe in a signal handler:
// unlink a fixed buffer's path, then die of the same signal.
char gTemporaryPath[4096];

extern "C" void removeTemporaryAndDie(int signal) {
  if (gTemporaryPath[0] != '\0') ::unlink(gTemporaryPath);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// The handler is installed for each of the signals that is not ignored
// (under nohup a hang-up must stay harmless).
constexpr std::size_t kSignalCount = 4;
constexpr int kSignals[kSignalCount] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction gPrevious[kSignalCount] {};
bool gInstalled[kSignalCount] = {};

}  // namespace

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

InterruptCleanup::InterruptCleanup() {
  struct sigaction action {};
  action.sa_handler = removeTemporaryAndDie;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    gInstalled[i] = false;
    if (sigaction(kSignals[i], nullptr, &gPrevious[i]) != 0) continue;
    gInstalled[i] = gPrevious[i].sa_handler != SIG_IGN;
    if (gInstalled[i]) sigaction(kSignals[i], &action, nullptr);
  }
}

InterruptCleanup::~InterruptCleanup() {
  gTemporaryPath[0] = '\0';
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    if (gInstalled[i]) sigaction(kSignals[i], &gPrevious[i], nullptr);
  }
}

// The file is made and named to the handler with the signals held back, so
// that no signal can fall between the file's creation and its naming.
std::unique_ptr<OutputFile> InterruptCleanup::create(const std::string& target) {
  sigset_t block, previous;
  sigemptyset(&block);
  for (int s : kSignals) sigaddset(&block, s);
  sigprocmask(SIG_BLOCK, &block, &previous);
  std::unique_ptr<OutputFile> file;
  try {
    file = std::make_unique<OutputFile>(target);
  } catch (...) {
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    throw;
  }
  const std::string& path = file->temporaryPath();
  if (path.size() < sizeof gTemporaryPath) std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return file;
}

}  // namespace corvadex::cli

int main(int argc, char** argv) { return corvadex::cli::runCli(argc, argv); }
