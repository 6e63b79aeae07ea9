// SPDX-License-Identifier: Apache-2.0
#include "window/address_book_file.h"

#include <optional>
#include <stdexcept>

#include "base/output_file.h"
#include "export/export_format.h"

namespace corvadex {

void writeAddressBookFile(const ContactList& list, const std::string& format, const std::string& fileName) {
  const std::optional<ExportFormat> chosen = exportFormatNamed(format);
  if (!chosen) throw std::invalid_argument("unknown export format " + format);
  OutputFile file(fileName);
  writeContacts(*chosen, list, file);
  file.commit();
}

}  // namespace corvadex
