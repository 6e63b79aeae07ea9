// SPDX-License-Identifier: Apache-2.0
// A contact store reader wired to a scripted engine, a log and a list that
// both report into the engine's call record, so that one sequence shows the
// order of engine calls, log lines and the list's update bracket.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "contacts/contact_list.h"
#include "fake_jet.h"
#include "platform/short_date.h"
#include "store/contact_store_reader.h"
#include "store/error_line.h"

namespace corvadex::testing {

class RecordingLog final : public MessageLog {
 public:
  explicit RecordingLog(std::vector<std::string>& calls) : calls_(calls) {}
  void Add(std::string_view line) override {
    lines.emplace_back(line);
    calls_.push_back("log: " + std::string(line));
  }
  std::vector<std::string> lines;

 private:
  std::vector<std::string>& calls_;
};

class RecordingObserver final : public ContactListObserver {
 public:
  explicit RecordingObserver(std::vector<std::string>& calls) : calls_(calls) {}
  void rowsAboutToChange() override { calls_.push_back("BeginUpdate"); }
  void rowsChanged() override { calls_.push_back("EndUpdate"); }
  void selectedRowChanged(std::optional<std::size_t>) override {}

 private:
  std::vector<std::string>& calls_;
};

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() { list.addObserver(&observer); }
  ~ReaderTest() override { list.removeObserver(&observer); }

  // The error line the reader must write for a prefix and a code.
  static std::string line(std::string_view prefix, ese::JET_ERR code) {
    return errorLine(prefix, code, FakeJet::textFor(code));
  }

  // The calls from the first one equal to `first` on.
  std::vector<std::string> callsFrom(const std::string& first) const {
    auto it = std::find(jet.calls.begin(), jet.calls.end(), first);
    return std::vector<std::string>(it, jet.calls.end());
  }

  bool called(const std::string& prefix) const {
    for (const auto& c : jet.calls)
      if (c.starts_with(prefix)) return true;
    return false;
  }

  // A contact row whose every value is given by column name (UTF-16).
  static std::map<std::string, Value> Contact(
      std::initializer_list<std::pair<const char*, std::u16string_view>> texts) {
    std::map<std::string, Value> row;
    for (const auto& [column, text] : texts) row[column] = utf16(text);
    return row;
  }

  FakeJet jet;
  RecordingLog log{jet.calls};
  ContactList list;
  RecordingObserver observer{jet.calls};
  FixedShortDateFormat dates{"%d.%m.%Y"};
  ContactStoreReader reader{jet, log, list, dates};
};

}  // namespace corvadex::testing
