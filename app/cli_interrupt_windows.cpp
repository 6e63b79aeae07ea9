// SPDX-License-Identifier: Apache-2.0
// An export's temporary file removed on Windows by a console control
// handler: on Ctrl+C, Ctrl+Break, the console's closing and the end of the
// session (cli_platform.h).
#include <windows.h>

#include <mutex>
#include <string>

#include "base/wide_path.h"
#include "cli_platform.h"

namespace corvadex::cli {

namespace {

// The export's temporary file, named to the handler under the lock, and
// the status each kind of interruption ends the program with: that of the
// signal the Linux build gets for the same event.
std::mutex gCleanupLock;
std::wstring gTemporaryPath;
bool gCleanupActive = false;

UINT statusFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: return 128 + 2;      // SIGINT
    case CTRL_BREAK_EVENT: return 128 + 3;  // SIGQUIT, Ctrl+\ on Linux
    case CTRL_CLOSE_EVENT: return 128 + 1;  // SIGHUP, the terminal closed
    default: return 128 + 15;               // SIGTERM: log-off, shut-down
  }
}

// Runs on a thread of its own. The temporary file was opened with
// FILE_SHARE_DELETE, so it can be deleted while the export still writes it;
// it goes when the process ends and closes it.
BOOL WINAPI removeTemporaryAndExit(DWORD event) {
  {
    std::lock_guard<std::mutex> lock(gCleanupLock);
    if (!gCleanupActive) return FALSE;  // the system's handling: end the process
    if (!gTemporaryPath.empty()) ::DeleteFileW(gTemporaryPath.c_str());
  }
  ::ExitProcess(statusFor(event));
}

}  // namespace

InterruptCleanup::InterruptCleanup() {
  std::lock_guard<std::mutex> lock(gCleanupLock);
  gCleanupActive = true;
  gTemporaryPath.clear();
  ::SetConsoleCtrlHandler(removeTemporaryAndExit, TRUE);
}

InterruptCleanup::~InterruptCleanup() {
  std::lock_guard<std::mutex> lock(gCleanupLock);
  gCleanupActive = false;
  gTemporaryPath.clear();
  ::SetConsoleCtrlHandler(removeTemporaryAndExit, FALSE);
}

// The file is made and named under the handler's lock: an interruption
// meanwhile waits for the name, then removes the file.
std::unique_ptr<OutputFile> InterruptCleanup::create(const std::string& target) {
  std::lock_guard<std::mutex> lock(gCleanupLock);
  auto file = std::make_unique<OutputFile>(target);
  gTemporaryPath = widePath(file->temporaryPath());
  return file;
}

}  // namespace corvadex::cli
