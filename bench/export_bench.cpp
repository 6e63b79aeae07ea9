// SPDX-License-Identifier: Apache-2.0
// export_bench [ROWS] [--db DATABASE] [--dir FOLDER] [--all-formats | --format NAME]
//              [--threads N]
//
// Fills a contact list, either with ROWS generated contacts (default
// 1,000,000) or by reading DATABASE through ContactStoreReader as the window
// does, then writes it as XML with writeContacts into FOLDER (default /tmp)
// and prints:
//   - the time the read (or generation) and the write took,
//   - the list's own heap size,
//   - the resident memory before the write and the peak during it, so the
//     memory the write adds can be compared with the list's size,
//   - the file's size.
// With --all-formats it also times the CSV writer and the writers for other
// address books: vCard 3.0 and 4.0, Google CSV and Outlook CSV; with
// --format NAME ("csv", "vcard", ...) it times that one format alone (for a
// profile of one writer). --threads N formats on N threads (default 1, the
// single-thread path); the processor time then counts every thread.
//
// Peak memory is the kernel's high-water mark (VmHWM), reset before the
// write through /proc/self/clear_refs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include <time.h>

#include "base/output_file.h"
#include "base/stderr_log.h"
#include "contacts/contact_list.h"
#include "ese/jet.h"
#include "export/export_format.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"

namespace {

using namespace corvadex;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return -1;
}

bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear);
}

// Contacts that look like an address book's: most have names, an e-mail
// address and a phone number; some have addresses, dates and notes.
void generate(ContactList& list, std::size_t rows) {
  std::mt19937 random(20261207);
  const char* firsts[] = {"Anna", "Bernd", "Chloé", "Dmitri", "Eva", "François", "Grace", "Hiro"};
  const char* lasts[] = {"Müller", "Smith", "O'Neil", "Nakamura", "García", "Jensen", "Nowak"};
  list.BeginUpdate();
  for (std::size_t i = 0; i < rows; ++i) {
    const std::string first = firsts[random() % 8], last = lasts[random() % 7];
    const std::string n = std::to_string(i);
    ContactDraft row;
    row.setCaption(random() % 3 == 0 ? first.substr(0, 3) + n : "");
    row.addSubItem(first);
    row.addSubItem(random() % 4 == 0 ? "J." : "");
    row.addSubItem(last);
    row.addSubItem(first + "." + n + "@example.com");
    row.setField(ContactField::HomePhone, "+49 30 " + std::to_string(1000000 + random() % 9000000));
    row.setField(ContactField::MobilePhone, "+49 170 " + std::to_string(1000000 + random() % 9000000));
    if (random() % 2 == 0) row.setField(ContactField::WorkEmail, last + n + "@work.example.org");
    if (random() % 2 == 0) {
      row.setField(ContactField::HomeStreet, std::to_string(random() % 200) + " Hauptstraße");
      row.setField(ContactField::HomeCity, "Berlin");
      row.setField(ContactField::HomeZipCode, std::to_string(10000 + random() % 90000));
      row.setField(ContactField::HomeCountry, "Germany");
    }
    if (random() % 3 == 0) {
      row.setField(ContactField::Birthdate, "3/14/1979");
      row.setCalendarDate(ContactField::Birthdate, "1979-03-14");
    }
    if (random() % 4 == 0) {
      row.setField(ContactField::CompanyName, "Acme & Sons");
      row.setField(ContactField::JobTitle, "Engineer");
    }
    if (random() % 5 == 0)
      row.setField(ContactField::Comments, "Met at the \"conference\".\r\nCall back after 5 <pm>.");
    const char key[4] = {static_cast<char>(i >> 24), static_cast<char>(i >> 16), static_cast<char>(i >> 8),
                         static_cast<char>(i)};
    row.setRecordKey(std::string_view(key, 4));
    row.setHasData();
    list.Add(row);
  }
  list.EndUpdate();
}

// Processor time of this process (user and system), which the other work on
// a shared machine does not inflate as it does the wall-clock time.
double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Writes through an OutputFile as writeContactsXml(list, fileName) does,
// timing the writing itself apart from the commit (fsync and rename).
template <typename Writer>
void timeWrite(const char* label, const std::string& path, Writer write) {
  const long rssBefore = statusKb("VmRSS");
  const bool reset = resetPeak();
  const auto start = Clock::now();
  const double cpuStart = cpuSeconds();
  OutputFile file(path);
  write(static_cast<ByteSink&>(file));
  const double writeSeconds = seconds(start), writeCpu = cpuSeconds() - cpuStart;
  const auto commitStart = Clock::now();
  file.commit();
  const double commitSeconds = seconds(commitStart);
  const long peak = statusKb("VmHWM");
  std::printf("%-11s write: %.2f s (cpu %.2f s) + commit %.2f s, file %.1f MiB, "
              "RSS before %.1f MiB, peak during %.1f MiB%s (+%.1f MiB)\n",
              label, writeSeconds, writeCpu, commitSeconds,
              static_cast<double>(std::filesystem::file_size(path)) / 1048576.0,
              static_cast<double>(rssBefore) / 1024.0, static_cast<double>(peak) / 1024.0,
              reset ? "" : " [peak not reset]", static_cast<double>(peak - rssBefore) / 1024.0);
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t rows = 1'000'000;
  std::string db, dir = "/tmp";
  bool allFormats = false;
  std::optional<ExportFormat> only;
  unsigned threads = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--db" && i + 1 < argc) db = argv[++i];
    else if (arg == "--dir" && i + 1 < argc) dir = argv[++i];
    else if (arg == "--all-formats") allFormats = true;
    else if (arg == "--format" && i + 1 < argc) only = exportFormatNamed(argv[++i]);
    else if (arg == "--threads" && i + 1 < argc)
      threads = static_cast<unsigned>(std::max(1ull, std::strtoull(argv[++i], nullptr, 10)));
    else rows = std::strtoull(arg.c_str(), nullptr, 10);
  }

  ContactList list;
  const auto start = Clock::now();
  const double cpuStart = cpuSeconds();
  if (db.empty()) {
    generate(list, rows);
    std::printf("generated %zu contacts in %.2f s (cpu %.2f s)\n", list.count(), seconds(start),
                cpuSeconds() - cpuStart);
  } else {
    StderrLog log(nullptr, "log: ");
    LocaleShortDateFormat dates;
    ese::EngineJet jet;
    ContactStoreReader reader(jet, log, list, dates);
    reader.ReadDatabase(db);
    std::printf("read %zu contacts from %s in %.2f s (cpu %.2f s)\n", list.count(), db.c_str(),
                seconds(start), cpuSeconds() - cpuStart);
  }
  std::printf("list heap size %.1f MiB, RSS %.1f MiB\n", static_cast<double>(list.heapBytes()) / 1048576.0,
              static_cast<double>(statusKb("VmRSS")) / 1024.0);

  if (threads > 1) std::printf("formatting on %u threads\n", threads);
  const std::string base = dir + "/corvadex-export-bench";
  for (ExportFormat format : {ExportFormat::Xml, ExportFormat::Csv, ExportFormat::Vcard3, ExportFormat::Vcard4,
                              ExportFormat::GoogleCsv, ExportFormat::OutlookCsv}) {
    if (only ? format != *only : format != ExportFormat::Xml && !allFormats) continue;
    const std::string name(exportFormatName(format));
    timeWrite(name.c_str(), base + "." + std::string(exportFormatExtension(format)),
              [&](ByteSink& sink) { writeContacts(format, list, sink, {}, threads); });
  }
  return 0;
}
