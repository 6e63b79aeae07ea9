// SPDX-License-Identifier: Apache-2.0
#include "cli_rows.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "base/byte_sink.h"
#include "contacts/row_text.h"
#include "export/export_rows.h"

namespace corvadex::cli {

namespace {

// Standard output; a failed write ends the rows with the write's errno kept.
class StandardOutput final : public ByteSink {
 public:
  void write(std::string_view bytes) override {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
      error_ = errno;
      throw std::runtime_error(name_);
    }
  }
  const std::string& name() const override { return name_; }
  int error() const { return error_; }

 private:
  std::string name_ = "standard output";
  int error_ = 0;
};

}  // namespace

bool writeRowLines(const ContactList& list, unsigned threads) {
  const ExportRows rows{{}, {}, [&list] {
                          return RowFormatter([&list](std::size_t row, std::string& out) {
                            appendRowLine(list.item(row), out);
                          });
                        }};
  StandardOutput out;
  try {
    writeExportRows(rows, list.count(), out, {}, threads);
  } catch (const std::runtime_error&) {
    errno = out.error();
    return false;
  }
  return std::fflush(stdout) == 0;
}

}  // namespace corvadex::cli
