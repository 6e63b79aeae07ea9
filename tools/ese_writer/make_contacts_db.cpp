// SPDX-License-Identifier: Apache-2.0
// make-contacts-db [options] OUTPUT: writes a synthetic contacts database.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "contacts_database.h"

namespace {

const char kUsage[] =
    "usage: make-contacts-db [options] OUTPUT\n"
    "  --count N              contacts to write (default 50)\n"
    "  --page-size BYTES      4096, 8192 (default), 16384 or 32768\n"
    "  --revision N           format revision 0x09, 0x0c, 0x11 (default) or 0x14\n"
    "  --seed N               seed of the generated values (default 1)\n"
    "  --dirty                mark the database as not cleanly shut down\n"
    "  --empty                a contact table without rows\n"
    "  --without-column NAME  leave out one of the 33 contact columns (repeatable)\n"
    "  --no-contact-table     no table whose name begins with SimpleContact-\n"
    "  --two-contact-tables   a second contact table after the first\n"
    "  --long-table-name      a table with a name longer than 256 bytes\n"
    "  --long-short-text      a 129-character value in a short-text column\n"
    "  --expanding-values     every tagged text column a compressed value of 64 KiB\n"
  "  --bare-rows            every contact row only its key (many rows in few pages)\n"
    "  --control-names        a table and a column named with control characters\n"
    "  --vcard-reserved       semicolons, commas and backslashes in the texts vCards hold\n"
    "  --expected FILE        write the dump of every table stored\n";

bool parseNumber(const std::string& text, unsigned long long& out) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  out = std::strtoull(text.c_str(), &end, 0);
  return end != nullptr && *end == '\0';
}

int fail(const std::string& message) {
  std::fprintf(stderr, "make-contacts-db: %s\n%s", message.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  corvadex::esew::ContactsDatabaseOptions o;
  std::string output;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    unsigned long long n = 0;
    if (a == "--count") {
      if (!value(v) || !parseNumber(v, n)) return fail("--count needs a number");
      o.count = n;
    } else if (a == "--page-size") {
      if (!value(v) || !parseNumber(v, n) || n > 65536) return fail("--page-size needs a number");
      o.format.pageSize = static_cast<std::uint32_t>(n);
    } else if (a == "--revision") {
      if (!value(v) || !parseNumber(v, n) || n > 0xff) return fail("--revision needs a number");
      o.format.revision = static_cast<std::uint32_t>(n);
    } else if (a == "--seed") {
      if (!value(v) || !parseNumber(v, n)) return fail("--seed needs a number");
      o.seed = n;
    } else if (a == "--dirty") {
      o.dirty = true;
    } else if (a == "--empty") {
      o.empty = true;
    } else if (a == "--without-column") {
      if (!value(v)) return fail("--without-column needs a column name");
      o.withoutColumns.push_back(v);
    } else if (a == "--no-contact-table") {
      o.noContactTable = true;
    } else if (a == "--two-contact-tables") {
      o.twoContactTables = true;
    } else if (a == "--long-table-name") {
      o.longTableName = true;
    } else if (a == "--long-short-text") {
      o.longShortText = true;
    } else if (a == "--expanding-values") {
      o.expandingValues = true;
    } else if (a == "--bare-rows") {
      o.bareRows = true;
    } else if (a == "--control-names") {
      o.controlNames = true;
    } else if (a == "--vcard-reserved") {
      o.vcardReserved = true;
    } else if (a == "--expected") {
      if (!value(o.expectedPath)) return fail("--expected needs a file name");
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      return fail("unknown option " + a);
    } else if (output.empty()) {
      output = a;
    } else {
      return fail("only one OUTPUT may be given");
    }
  }
  if (output.empty()) return fail("no OUTPUT given");
  if (std::string problem = o.format.problem(); !problem.empty()) return fail(problem);
  if (std::string error = corvadex::esew::writeContactsDatabase(output, o); !error.empty()) {
    std::fprintf(stderr, "make-contacts-db: %s\n", error.c_str());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}
