// SPDX-License-Identifier: Apache-2.0
#include "export/export_format.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "base/file_status.h"
#include "export/address_book_csv.h"
#include "export/csv_export.h"
#include "base/output_file.h"
#include "export/vcard_export.h"
#include "export/xml_export.h"

namespace corvadex {

namespace {

struct FormatName {
  ExportFormat format;
  std::string_view name;
  std::string_view extension;
};

constexpr FormatName kFormats[] = {
    {ExportFormat::Xml, "xml", "xml"},           {ExportFormat::Csv, "csv", "csv"},
    {ExportFormat::Vcard3, "vcard", "vcf"},      {ExportFormat::Vcard4, "vcard4", "vcf"},
    {ExportFormat::GoogleCsv, "google-csv", "csv"}, {ExportFormat::OutlookCsv, "outlook-csv", "csv"},
};

const FormatName& Entry(ExportFormat format) {
  for (const FormatName& f : kFormats)
    if (f.format == format) return f;
  throw std::invalid_argument("unknown export format");
}

VcardVersion versionOf(ExportFormat format) {
  return format == ExportFormat::Vcard4 ? VcardVersion::V4 : VcardVersion::V3;
}

}  // namespace

std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
  for (const FormatName& f : kFormats)
    if (f.name == name) return f.format;
  return std::nullopt;
}

std::string_view exportFormatName(ExportFormat format) { return Entry(format).name; }
std::string_view exportFormatExtension(ExportFormat format) { return Entry(format).extension; }
bool isVcard(ExportFormat format) { return format == ExportFormat::Vcard3 || format == ExportFormat::Vcard4; }


void writeContacts(ExportFormat format, const ContactList& list, ByteSink& sink, const ExportProgress& progress,
                   unsigned threads) {
  writeExportRows(exportRows(format, list), list.count(), sink, progress, threads);
}

ExportRows exportRows(ExportFormat format, const ContactList& list) {
  switch (format) {
    case ExportFormat::Xml: return xmlRows(list);
    case ExportFormat::Csv: return csvRows(list);
    case ExportFormat::Vcard3:
    case ExportFormat::Vcard4: return vcardRows(list, versionOf(format));
    case ExportFormat::GoogleCsv: return addressBookCsvRows(list, AddressBookCsv::Google);
    case ExportFormat::OutlookCsv: return addressBookCsvRows(list, AddressBookCsv::Outlook);
  }
  throw std::invalid_argument("unknown export format");
}

std::size_t writeContactsSplit(ExportFormat vcardFormat, const ContactList& list, const std::string& folder,
                               const ExportProgress& progress) {
  if (!isVcard(vcardFormat)) throw std::invalid_argument("only vCards are written one per file");
  if (const int error = makeFolder(folder); error != 0)
    throw std::system_error(error, std::generic_category(), folder);
  int error = 0;
  switch (fileKind(folder, &error)) {
    case FileKind::Folder: break;
    case FileKind::Missing: throw std::system_error(error, std::generic_category(), folder);
    default: throw std::system_error(ENOTDIR, std::generic_category(), folder);
  }

  std::string card;
  const std::size_t count = list.count();
  for (std::size_t row = 0; row < count; ++row) {
    card.clear();
    appendContactVcard(list, row, versionOf(vcardFormat), card);
    OutputFile file(folder + "/" + rowUid(list, row) + ".vcf");
    file.write(card);
    file.commit();
    reportProgress(progress, row + 1, count);
  }
  return count;
}

}  // namespace corvadex
