// SPDX-License-Identifier: Apache-2.0
#include "run_program.h"

#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file_io.h"

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

std::string makeDatabase(const corvadex::TempFolder& dir, const std::string& name,
                         std::vector<std::string> options) {
  const std::string path = dir.File(name);
  options.insert(options.begin(), CORVADEX_BIN_DIR "/make-contacts-db");
  options.push_back(path);
  const RunResult made = Run(options);
  if (made.exitCode != 0) throw std::runtime_error("make-contacts-db: " + made.err);
  return path;
}

bool pythonHasModule(const std::string& module) {
  if (::access(CORVADEX_TEST_PYTHON, X_OK) != 0) return false;
  return Run({CORVADEX_TEST_PYTHON, "-c", "import " + module}).exitCode == 0;
}

namespace {
std::string fromHex(const std::string& hex) {
  if (hex.size() % 2 != 0) throw std::runtime_error("odd hex text");
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}
}  // namespace

std::vector<std::map<std::string, std::string>> parseKeyedHexLines(const std::string& text) {
  std::vector<std::map<std::string, std::string>> records;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    const auto tab1 = line.find('\t');
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos)
      throw std::runtime_error("bad helper line: " + line);
    const auto record = static_cast<std::size_t>(std::stoul(line.substr(0, tab1)));
    if (records.size() <= record) records.resize(record + 1);
    const std::string key = line.substr(tab1 + 1, tab2 - tab1 - 1);
    if (records[record].count(key) != 0) throw std::runtime_error("key twice: " + key);
    records[record][key] = fromHex(line.substr(tab2 + 1));
  }
  return records;
}

}  // namespace corvadex::test
