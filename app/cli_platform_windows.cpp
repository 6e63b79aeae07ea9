// SPDX-License-Identifier: Apache-2.0
// The command line on Windows: wmain takes the arguments in UTF-16 and
// hands them on in UTF-8; standard output and error carry the program's
// bytes unchanged (binary mode, UTF-8) to a pipe or a file, and text to a
// console goes through WriteConsoleW, so that every script shows whatever
// the console's code page.
#include "cli_platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/wide_path.h"

namespace corvadex::cli {

namespace {

// Bytes written to a standard stream that is a console, carried through a
// pipe to a thread that writes them to the console as UTF-16. A UTF-8
// sequence split between two reads is kept until it is whole.
class ConsoleRelay {
 public:
  // Takes over descriptor `fd` (1 or 2) when it is a console.
  void start(int fd) {
    DWORD mode = 0;
    if (!::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)), &mode)) return;
    console_ = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (console_ == INVALID_HANDLE_VALUE) return;
    HANDLE read = nullptr, write = nullptr;
    if (!::CreatePipe(&read, &write, nullptr, 0)) return;
    const int writeFd = ::_open_osfhandle(reinterpret_cast<intptr_t>(write), _O_BINARY);
    if (writeFd < 0 || ::_dup2(writeFd, fd) != 0) {
      ::CloseHandle(read);
      if (writeFd >= 0) ::_close(writeFd); else ::CloseHandle(write);
      return;
    }
    ::_close(writeFd);
    ::SetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                   reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
    fd_ = fd;
    thread_ = std::thread([this, read] { relay(read); });
  }

  bool active() const { return fd_ >= 0; }

  // Closes the pipe, so the thread writes what is left and ends.
  void finish() {
    if (fd_ < 0) return;
    std::fflush(fd_ == 1 ? stdout : stderr);
    ::_close(fd_);
    fd_ = -1;
    thread_.join();
  }

 private:
  void relay(HANDLE read) {
    std::vector<char> buffer(16384);
    std::string pending;
    DWORD got = 0;
    while (::ReadFile(read, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
      pending.append(buffer.data(), got);
      // Everything up to the last whole sequence goes now.
      std::size_t whole = pending.size();
      for (std::size_t back = 1; back <= 3 && back <= pending.size(); ++back) {
        const auto c = static_cast<unsigned char>(pending[pending.size() - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back) whole = pending.size() - back;
        break;
      }
      show(std::string_view(pending.data(), whole));
      pending.erase(0, whole);
    }
    show(pending);
    ::CloseHandle(read);
  }

  void show(std::string_view utf8) {
    if (utf8.empty()) return;
    std::wstring text = wideText(utf8);
    if (text.empty()) {
      // Not UTF-8: each byte as the Latin-1 character of its value.
      text.assign(utf8.begin(), utf8.end());
    }
    for (std::size_t at = 0; at < text.size();) {
      DWORD wrote = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 8192));
      if (!::WriteConsoleW(console_, text.data() + at, want, &wrote, nullptr) || wrote == 0) return;
      at += wrote;
    }
  }

  int fd_ = -1;
  HANDLE console_ = INVALID_HANDLE_VALUE;
  std::thread thread_;
};

ConsoleRelay gStdout;
ConsoleRelay gStderr;
bool gStderrIsConsole = false;

}  // namespace

bool standardErrorIsTerminal() { return gStderrIsConsole; }

}  // namespace corvadex::cli

int wmain(int argc, wchar_t** argv) {
  using namespace corvadex::cli;
  // The program's bytes as they are: no "\r" added before each "\n".
  for (int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
  DWORD mode = 0;
  gStderrIsConsole = ::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(2)), &mode) != 0;
  gStdout.start(1);
  gStderr.start(2);

  std::vector<std::string> utf8;
  utf8.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) utf8.push_back(corvadex::utf8Text(argv[i]));
  std::vector<char*> args;
  for (std::string& arg : utf8) args.push_back(arg.data());
  args.push_back(nullptr);

  const int status = runCli(argc, args.data());
  std::fflush(stdout);
  std::fflush(stderr);
  gStdout.finish();
  gStderr.finish();
  return status;
}
