// SPDX-License-Identifier: Apache-2.0
// Running a program for a test, on Windows (run_program.h): CreateProcessW
// with standard output and error in files, the exit code and the peak
// working set. No Python interpreter is looked for: the checkers that need
// one run in the Linux build.
#include <windows.h>
#include <psapi.h>

#include <stdexcept>

#include "base/temp_folder.h"
#include "base/wide_path.h"
#include "file_io.h"
#include "run_program.h"

namespace corvadex::test {

namespace {

// An argument as the C runtime's command line parser reads it back.
std::wstring quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
    slashes = 0;
    out.push_back(c);
  }
  out.append(2 * slashes, L'\\');
  return out + L"\"";
}

HANDLE inheritedFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(widePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunResult Run(const std::vector<std::string>& argv, const std::string& stdoutTo) {
  const corvadex::TempFolder scratch;
  const std::string outPath = stdoutTo.empty() ? scratch.File("out") : stdoutTo;
  const std::string errPath = scratch.File("err");
  std::string program = argv.at(0);
  if (!program.ends_with(".exe")) program += ".exe";
  std::wstring command = quoted(widePath(program));
  for (std::size_t i = 1; i < argv.size(); ++i) command += L" " + quoted(wideText(argv[i]));

  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = inheritedFile("NUL", GENERIC_READ, OPEN_EXISTING);
  start.hStdOutput = inheritedFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  start.hStdError = inheritedFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION child{};
  const BOOL started = ::CreateProcessW(widePath(program).c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &start, &child);
  for (HANDLE h : {start.hStdInput, start.hStdOutput, start.hStdError}) ::CloseHandle(h);
  if (!started) throw std::runtime_error("cannot start " + program);
  ::WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(child.hProcess, &code);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  RunResult result;
  if (::K32GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory))
    result.peakKiB = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  ::CloseHandle(child.hProcess);
  ::CloseHandle(child.hThread);
  result.exitCode = static_cast<int>(code);
  if (stdoutTo.empty()) result.out = testing::readFile(outPath);
  result.err = testing::readFile(errPath);
  return result;
}

bool pythonHasModule(const std::string&) { return false; }

}  // namespace corvadex::test
