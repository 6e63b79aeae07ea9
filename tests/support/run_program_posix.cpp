// SPDX-License-Identifier: Apache-2.0
// Running a program for a test, on POSIX systems (run_program.h): fork and
// exec with standard output and error in files, the exit status and the
// peak resident memory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "file_io.h"
#include "run_program.h"

namespace corvadex::test {

RunResult Run(const std::vector<std::string>& argv, const std::string& stdoutTo) {
  const corvadex::TempFolder scratch;
  const std::string outPath = stdoutTo.empty() ? scratch.File("out") : stdoutTo;
  const std::string errPath = scratch.File("err");
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0) {
  }
  RunResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.peakKiB = usage.ru_maxrss;
  if (stdoutTo.empty()) result.out = testing::readFile(outPath);
  result.err = testing::readFile(errPath);
  return result;
}

bool pythonHasModule(const std::string& module) {
  if (::access(CORVADEX_TEST_PYTHON, X_OK) != 0) return false;
  return Run({CORVADEX_TEST_PYTHON, "-c", "import " + module}).exitCode == 0;
}

}  // namespace corvadex::test
