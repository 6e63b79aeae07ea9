// SPDX-License-Identifier: Apache-2.0
// The console control handler of an export: interrupt_child.exe makes an
// export's temporary file and waits; this one sends it Ctrl+Break
// through the console they share and checks that the file is gone and the
// exit status is the one the Linux build gets from the same key's signal.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/file_status.h"
#include "base/temp_folder.h"
#include "base/wide_path.h"
#include "cli_platform.h"

namespace corvadex {
namespace {

// interrupt_child.exe, beside this program.
std::string childPath() {
  wchar_t path[32768];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, 32768);
  std::string own = utf8Text(std::wstring_view(path, n));
  return own.substr(0, own.find_last_of('\\') + 1) + "interrupt_child.exe";
}

TEST(WindowsInterrupt, CtrlBreakRemovesTheTemporaryFileAndEndsWithSigquitStatus) {
  // A console the two processes share (the test runs without one); this
  // program lets the event pass.
  ::AllocConsole();  // fails when there is one already
  ::SetConsoleCtrlHandler(nullptr, TRUE);
  TempFolder dir;
  const std::string target = dir.File("export.xml");

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readOut = nullptr, writeOut = nullptr;
  ASSERT_TRUE(::CreatePipe(&readOut, &writeOut, &inherit, 0));
  ::SetHandleInformation(readOut, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = writeOut;
  start.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command = L"\"" + widePath(childPath()) + L"\" \"" + widePath(target) + L"\"";
  PROCESS_INFORMATION child{};
  const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &start, &child);
  ::CloseHandle(writeOut);
  ASSERT_TRUE(started) << ::GetLastError();
  // The child never outlives the test.
  struct Reaper {
    HANDLE process;
    ~Reaper() { ::TerminateProcess(process, 1); }
  } reaper{child.hProcess};

  // The child names its temporary file once it is made.
  std::string line;
  char c = 0;
  DWORD got = 0;
  while (::ReadFile(readOut, &c, 1, &got, nullptr) && got == 1 && c != '\n') line.push_back(c);
  ::CloseHandle(readOut);
  ASSERT_FALSE(line.empty());
  while (!line.empty() && line.back() == '\r') line.pop_back();
  EXPECT_EQ(fileKind(line), FileKind::Regular) << line;

  if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)) {
    // Wine without a console window (the tests' case) refuses to raise the
    // event; Windows always can.
    GTEST_SKIP() << "the system cannot raise a console control event here (error " << ::GetLastError()
                 << ")";
  }
  // A bound against a child that never ends, not a measure of speed.
  const DWORD waited = ::WaitForSingleObject(child.hProcess, 120000);
  ASSERT_EQ(waited, WAIT_OBJECT_0);
  DWORD status = 0;
  ::GetExitCodeProcess(child.hProcess, &status);
  ::CloseHandle(child.hThread);
  EXPECT_EQ(status, 128u + 3u);
  EXPECT_EQ(fileKind(line), FileKind::Missing);
  EXPECT_EQ(fileKind(target), FileKind::Missing);
}

}  // namespace
}  // namespace corvadex
