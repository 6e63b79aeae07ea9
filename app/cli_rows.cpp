// SPDX-License-Identifier: Apache-2.0
#include "cli_rows.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "base/output_file.h"
#include "contacts/row_text.h"
#include "export/export_rows.h"

namespace corvadex::cli {

bool writeRowLines(const ContactList& list, unsigned threads) {
  const ExportRows rows{{}, {}, [&list] {
                          return RowFormatter([&list](std::size_t row, std::string& out) {
                            appendRowLine(list.item(row), out);
                          });
                        }};
  try {
    OutputFile out = OutputFile::ofDescriptor(1, "standard output");
    writeExportRows(rows, list.count(), out, {}, threads);
    out.commit();
  } catch (const std::system_error& e) {
    errno = e.code().value();
    return false;
  }
  return true;
}

}  // namespace corvadex::cli
