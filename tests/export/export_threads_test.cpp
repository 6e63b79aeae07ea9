// SPDX-License-Identifier: Apache-2.0
// Exports formatted on several threads are the single-thread bytes, for every
// format and for lists shorter than the thread count; failures come back to
// the caller.
#include "export/export_format.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>


namespace corvadex {
namespace {

constexpr ExportFormat kFormats[] = {ExportFormat::Xml,    ExportFormat::Csv,       ExportFormat::Vcard3,
                                     ExportFormat::Vcard4, ExportFormat::GoogleCsv, ExportFormat::OutlookCsv};

// Rows that exercise every escape: malformed UTF-8, controls, U+FFFF,
// quotes, separators, line breaks of each kind, non-BMP text, lines long
// enough to fold, dates; rows without a record key, with the
// record missing, and entirely empty.
void addAwkwardRows(ContactList& list, std::size_t count) {
  const std::string texts[] = {
      "",
      "plain",
      "M\xC3\xBCller \xE6\x9D\x8E \xF0\x9F\x98\x80",
      "bad \xC0\x80 \xED\xA0\x80 \xE2\x82 \xFF end",
      "ctl \x01\x7F tab\there \xEF\xBF\xBF",
      "q\"u,o;t\\e <&> 'x'",
      "cr\rlf\ncrlf\r\nend",
      std::string(90, 'w') + "\xC3\xA9" + std::string(80, 'z'),
  };
  for (std::size_t r = 0; r < count; ++r) {
    ContactDraft draft;
    if (r % 11 == 5) {  // a row without a record
      draft.setCaption(texts[r % 8]);
      list.Add(draft);
      continue;
    }
    for (std::size_t c = 0; c < kContactColumnCount; ++c) {
      const std::string& text = texts[(r + c) % 8];
      const ContactPlace& place = kContactColumns[c].place;
      switch (place.kind) {
        case ContactPlace::Kind::Caption: draft.setCaption(text); break;
        case ContactPlace::Kind::SubItem: draft.addSubItem(text); break;
        case ContactPlace::Kind::Field: draft.setField(place.field, text); break;
      }
    }
    draft.setHasData();
    const std::string key = "key " + std::to_string(r);
    if (r % 3 != 0) draft.setRecordKey(key);
    if (r % 4 == 1) draft.setCalendarDate(ContactField::Birthdate, "1985-04-12");
    if (r % 5 == 2) draft.setCalendarDate(ContactField::Anniversary, "2001-02-29");
    list.Add(draft);
  }
}

struct Written {
  std::string bytes;
  std::vector<std::pair<std::size_t, std::size_t>> progress;
};

Written write(ExportFormat format, const ContactList& list, unsigned threads) {
  Written written;
  StringSink sink;
  writeContacts(
      format, list, sink, [&](std::size_t done, std::size_t total) { written.progress.emplace_back(done, total); },
      threads);
  written.bytes = sink.Text();
  return written;
}

TEST(ExportThreads, EveryFormatWritesTheSingleThreadBytesOnAnyThreadCount) {
  for (const std::size_t rows : {0, 1, 2, 5, 37, 9000}) {
    ContactList list;
    list.setSourceIdentity("identity");
    addAwkwardRows(list, rows);
    for (const ExportFormat format : kFormats) {
      const Written single = write(format, list, 1);
      for (const unsigned threads : {2u, 3u, 16u}) {
        const Written several = write(format, list, threads);
        ASSERT_EQ(several.bytes, single.bytes)
            << exportFormatName(format) << ", " << rows << " rows, " << threads << " threads";
        EXPECT_EQ(several.progress, single.progress) << exportFormatName(format) << ", " << rows << " rows";
      }
    }
  }
}

// A sink that fails part-way, as a full disk does.
class FailingSink final : public ByteSink {
 public:
  explicit FailingSink(std::size_t writesBeforeFailure) : left_(writesBeforeFailure) {}
  void write(std::string_view) override {
    if (left_-- == 0) throw std::runtime_error("disk full");
  }
  const std::string& name() const override { return name_; }

 private:
  std::size_t left_;
  std::string name_ = "failing";
};

TEST(ExportThreads, FailuresOfTheSinkOrTheProgressReachTheCaller) {
  ContactList list;
  addAwkwardRows(list, 20000);
  for (const unsigned threads : {1u, 4u}) {
    FailingSink sink(3);
    EXPECT_THROW(writeContacts(ExportFormat::Xml, list, sink, {}, threads), std::runtime_error) << threads;
    StringSink memory;
    const auto cancel = [](std::size_t done, std::size_t) {
      if (done >= 8192) throw std::runtime_error("cancelled");
    };
    EXPECT_THROW(writeContacts(ExportFormat::Csv, list, memory, cancel, threads), std::runtime_error) << threads;
  }
}

}  // namespace
}  // namespace corvadex
