// SPDX-License-Identifier: Apache-2.0
// read_bench: how fast ReadDatabase loads generated contacts databases, and
// how much memory a whole read takes, beside `corvadex-cli read` and
// esedbexport exporting the same table of the same file in the same run.
//
//   read_bench [--counts 100000,1000000] [--dir /tmp/corvadex-bench]
//              [--no-esedbexport]
//
// Databases (8 KiB pages) are generated once with make-contacts-db into the
// folder and kept there for later runs. Every measurement runs in a child
// process so that its peak resident size (ru_maxrss of that child) is its
// own. MB/s is the database file's size over the time taken.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using corvadex::ContactList;
using corvadex::ContactStoreReader;
using corvadex::FixedShortDateFormat;
using corvadex::LineLog;

struct Run {
  bool ok = false;
  int exitStatus = -1;
  double seconds = 0;
  double cpuSeconds = 0;  // user + system
  long peakKiB = 0;
  std::size_t rows = 0;
};

// Runs `work` in a child; the child's stdout goes to /dev/null unless it
// reports through the pipe. Returns the wall time and the child's peak RSS.
template <class Work>
Run inChild(Work work) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(stdout);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    int exitStatus = 0;
    const std::size_t rows = work(exitStatus);
    if (write(fds[1], &rows, sizeof rows) != static_cast<ssize_t>(sizeof rows)) _exit(3);
    _exit(exitStatus);
  }
  close(fds[1]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run r;
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // The child's times include those of the program it ran and waited for.
  r.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peakKiB = usage.ru_maxrss;
  std::size_t rows = 0;
  r.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.ok = read(fds[0], &rows, sizeof rows) == static_cast<ssize_t>(sizeof rows) &&
         r.exitStatus == 0;
  r.rows = rows;
  close(fds[0]);
  return r;
}

// Runs a program with its output thrown away.
Run program(const std::vector<std::string>& argv) {
  return inChild([&](int& exitStatus) -> std::size_t {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    // Report the program's own peak, not this wrapper's, and its status.
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return static_cast<std::size_t>(usage.ru_maxrss);
  });
}

// The resident set at this moment split as /proc/self/status gives it:
// anonymous memory (the heap: the list, the engine's own state) and mapped
// file pages (the database file as far as the engine has touched it).
std::string residentSplit() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return "";
  char line[256];
  std::string out;
  while (std::fgets(line, sizeof line, f)) {
    long kib = 0;
    char name[64];
    if (std::sscanf(line, "%63[^:]: %ld kB", name, &kib) == 2 &&
        (std::strcmp(name, "RssAnon") == 0 || std::strcmp(name, "RssFile") == 0)) {
      char part[96];
      std::snprintf(part, sizeof part, "%s%s %.1f MiB", out.empty() ? "" : ", ", name,
                    static_cast<double>(kib) / 1024.0);
      out += part;
    }
  }
  std::fclose(f);
  return out;
}

std::string contactTable(const std::string& db) {
  ese::EngineJet jet;
  LineLog log;
  ContactList list;
  FixedShortDateFormat dates("%Y-%m-%d");
  ContactStoreReader reader(jet, log, list, dates);
  // A scan alone: the read stops at the missing contact table otherwise;
  // reading the whole file here would only warm the cache further.
  reader.ReadDatabase(db);
  return corvadex::contactTableName(reader.TableNames());
}

// Rates are given per wall second and, since the machine may be shared, per
// CPU second (user + system) as well.
void report(const char* what, const Run& r, double megabytes, std::size_t rows) {
  std::printf("  %-24s wall %7.2f s  cpu %7.2f s  %9.0f rows/s (cpu %9.0f)  %6.1f MB/s (cpu %6.1f)"
              "  peak %7.1f MiB%s\n",
              what, r.seconds, r.cpuSeconds, static_cast<double>(rows) / r.seconds,
              static_cast<double>(rows) / r.cpuSeconds, megabytes / r.seconds,
              megabytes / r.cpuSeconds, static_cast<double>(r.peakKiB) / 1024.0,
              r.ok ? "" : "  FAILED");
  if (!r.ok) std::printf("  %-24s exit status %d: the figures above are not a full run\n", "",
                         r.exitStatus);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> counts = {100000, 1000000};
  fs::path dir = "/tmp/corvadex-bench";
  bool withEsedbexport = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--counts" && i + 1 < argc) {
      counts.clear();
      std::stringstream list(argv[++i]);
      std::string item;
      while (std::getline(list, item, ',')) counts.push_back(std::stoul(item));
    } else if (a == "--dir" && i + 1 < argc) {
      dir = argv[++i];
    } else if (a == "--no-esedbexport") {
      withEsedbexport = false;
    } else {
      std::fprintf(stderr,
                   "usage: read_bench [--counts N,N...] [--dir DIR] [--no-esedbexport]\n");
      return 2;
    }
  }
  fs::create_directories(dir);
  const std::string bin = CORVADEX_BIN_DIR;

  for (std::size_t count : counts) {
    const fs::path db = dir / ("contacts-" + std::to_string(count) + ".edb");
    if (!fs::exists(db)) {
      std::printf("generating %s ...\n", db.c_str());
      std::fflush(stdout);
      const std::string command = bin + "/make-contacts-db --count " + std::to_string(count) +
                                  " --page-size 8192 " + db.string() + ".part && mv " +
                                  db.string() + ".part " + db.string();
      if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "read_bench: cannot generate %s\n", db.c_str());
        return 1;
      }
    }
    const double megabytes = static_cast<double>(fs::file_size(db)) / 1e6;
    const std::string table = contactTable(db.string());
    std::printf("%zu contacts, %s, %.1f MB, table %s\n", count, db.c_str(), megabytes,
                table.c_str());

    // Warm the page cache once so that no contender pays for the disk.
    (void)program({"cat", db.string()});

    const Run load = inChild([&](int&) -> std::size_t {
      ese::EngineJet jet;
      LineLog log;
      ContactList list;
      FixedShortDateFormat dates("%Y-%m-%d");
      ContactStoreReader reader(jet, log, list, dates);
      reader.ReadDatabase(db.string());
      // The list's own share of the peak; the rest is the engine's (the
      // database pages it has touched count as resident).
      std::printf("  %-24s %.1f MiB in rows and records; resident after the read: %s\n",
                  "list", static_cast<double>(list.heapBytes()) / (1024.0 * 1024.0),
                  residentSplit().c_str());
      std::fflush(stdout);
      return list.count();
    });
    report("ReadDatabase", load, megabytes, count);
    if (load.ok && load.rows != count)
      std::printf("  (ReadDatabase loaded %zu rows, expected %zu)\n", load.rows, count);

    Run cli = program({bin + "/corvadex-cli", "read", db.string()});
    cli.peakKiB = static_cast<long>(cli.rows);  // the program's own peak
    report("corvadex-cli read", cli, megabytes, count);

    if (withEsedbexport) {
      const fs::path target = dir / ("esedbexport-" + std::to_string(count));
      fs::remove_all(target.string() + ".export");
      Run exp = program({"esedbexport", "-t", target.string(), "-T", table, db.string()});
      exp.peakKiB = static_cast<long>(exp.rows);
      report("esedbexport -T <table>", exp, megabytes, count);
      fs::remove_all(target.string() + ".export");
      std::printf("  esedbexport time / corvadex-cli read time: wall %.1fx, cpu %.1fx%s\n",
                  exp.seconds / cli.seconds, exp.cpuSeconds / cli.cpuSeconds,
                  exp.ok && cli.ok ? "" : "  (not comparable: a run failed)");
    }
  }
  return 0;
}
