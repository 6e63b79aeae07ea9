// SPDX-License-Identifier: Apache-2.0
// Stand-ins for the window's outside world: dialogs answered by the test, a
// reader that loads prepared contacts, and an export that records its calls.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QPointer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"
#include "window/Unit1.h"
#include "window/form_services.h"
#include "window/window_dialogs.h"

namespace corvadex::testing {

struct MessageBoxCall {
  QString text;
  QString caption;
  MessageIcon icon;
  QWidget* owner;
  bool ownerVisible;
};

class FakeDialogs final : public WindowDialogs {
 public:
  // Answers for the next file dialogs; a null string means "cancel".
  std::deque<QString> openAnswers;
  std::deque<QString> saveAnswers;
  std::vector<FileDialogSettings> openShown;
  std::vector<FileDialogSettings> saveShown;
  // Answers of the typed save dialog; a null name means "cancel".
  std::deque<TypedFileChoice> typedAnswers;
  std::vector<FileDialogSettings> typedShown;
  std::vector<MessageBoxCall> boxes;
  std::vector<QPointer<QDialog>> modalShown;
  std::vector<QString> opened;
  // Runs while a modal dialog is "shown"; the dialog counts as closed after.
  std::function<void(QDialog&)> whileModal;

  std::optional<QString> openFile(QWidget*, const FileDialogSettings& settings) override {
    openShown.push_back(settings);
    const QString answer = Next(openAnswers);
    if (answer.isNull()) return std::nullopt;
    return answer;
  }
  std::optional<QString> saveFile(QWidget*, const FileDialogSettings& settings) override {
    saveShown.push_back(settings);
    const QString answer = Next(saveAnswers);
    if (answer.isNull()) return std::nullopt;
    return withDefaultExt(answer, settings.defaultExt);
  }
  std::optional<TypedFileChoice> saveFileTyped(QWidget*, const FileDialogSettings& settings) override {
    typedShown.push_back(settings);
    if (typedAnswers.empty() || typedAnswers.front().fileName.isNull()) {
      if (!typedAnswers.empty()) typedAnswers.pop_front();
      return std::nullopt;
    }
    TypedFileChoice answer = typedAnswers.front();
    typedAnswers.pop_front();
    answer.fileName = withDefaultExt(answer.fileName, filterExtension(settings.filter, answer.filterIndex));
    return answer;
  }
  void messageBox(QWidget* owner, const QString& text, const QString& caption,
                  MessageIcon icon) override {
    boxes.push_back({text, caption, icon, owner, owner != nullptr && owner->isVisible()});
  }
  void showModal(QDialog& dialog) override {
    modalShown.emplace_back(&dialog);
    if (whileModal) whileModal(dialog);
  }
  void openWithDesktop(const QString& target) override { opened.push_back(target); }

 private:
  static QString Next(std::deque<QString>& answers) {
    if (answers.empty()) return QString();
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// One contact as the 33 values of the master table, in its order.
using ContactValues = std::vector<std::string>;

inline ContactValues numberedContact(int n) {
  ContactValues v;
  for (const ContactColumn& c : kContactColumns)
    v.push_back(std::string(c.name) + " of " + std::to_string(n));
  return v;
}

// Adds rows to a list as the contact load does: caption, four sub-items, then
// the record.
inline void addContact(ContactList& list, const ContactValues& values) {
  ContactDraft row;
  for (std::size_t i = 0; i < kContactColumnCount; ++i) {
    const ContactPlace& place = kContactColumns[i].place;
    if (place.kind == ContactPlace::Kind::Caption) row.setCaption(values[i]);
    else if (place.kind == ContactPlace::Kind::SubItem) row.addSubItem(values[i]);
    else row.setField(place.field, values[i]);
  }
  row.setHasData();
  list.Add(row);
}

// What the fake reader loads for each path, and what it saw.
struct FakeDatabase {
  std::map<std::string, std::vector<ContactValues>> files;
  std::vector<std::string> readPaths;
  std::vector<bool> busyDuringRead;
  bool throwOnRead = false;
};

class FakeReader final : public DatabaseReader {
 public:
  FakeReader(FakeDatabase& db, MessageLog& log, ContactList& list)
      : db_(db), log_(log), list_(list) {}
  void ReadDatabase(const std::string& path) override {
    db_.readPaths.push_back(path);
    const QCursor* cursor = QApplication::overrideCursor();
    db_.busyDuringRead.push_back(cursor != nullptr && cursor->shape() == Qt::WaitCursor);
    if (db_.throwOnRead) throw std::runtime_error("the reader broke down");
    log_.Add("Reading " + path);
    auto it = db_.files.find(path);
    if (it == db_.files.end()) {
      log_.Add("No such database");
      return;
    }
    list_.BeginUpdate();
    list_.clear();
    for (const auto& c : it->second) addContact(list_, c);
    list_.EndUpdate();
    log_.Add(std::to_string(it->second.size()) + " contacts read");
  }

 private:
  FakeDatabase& db_;
  MessageLog& log_;
  ContactList& list_;
};

struct ExportCall {
  std::size_t rows;
  std::string fileName;
  std::string format = "xml";
};

// Services for a window under test: fake reader, dialogs and export; the
// window's own file existence test.
inline FormServices testServices(FakeDialogs& dialogs, FakeDatabase& db,
                                 std::vector<ExportCall>& exports) {
  FormServices s;
  s.dialogs = &dialogs;
  s.makeReader = [&db](MessageLog& log, ContactList& list) {
    return std::make_unique<FakeReader>(db, log, list);
  };
  s.writeXml = [&exports](const ContactList& list, const std::string& fileName) {
    exports.push_back({list.count(), fileName});
  };
  s.writeForAddressBook = [&exports](const ContactList& list, const std::string& format,
                                     const std::string& fileName) {
    exports.push_back({list.count(), fileName, format});
  };
  return s;
}

}  // namespace corvadex::testing
