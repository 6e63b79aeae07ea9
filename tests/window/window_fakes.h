// SPDX-License-Identifier: Apache-2.0
// Stand-ins for the Qt window's outside world: dialogs answered by the
// test, and services over the fakes of contact_fakes.h.
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

#include "contact_fakes.h"
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
  // Answers of the typed save dialog; an empty name means "cancel".
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
    return withDefaultExt(answer, QString::fromStdString(settings.defaultExt));
  }
  std::optional<TypedFileChoice> saveFileTyped(QWidget*, const FileDialogSettings& settings) override {
    typedShown.push_back(settings);
    if (typedAnswers.empty() || typedAnswers.front().fileName.empty()) {
      if (!typedAnswers.empty()) typedAnswers.pop_front();
      return std::nullopt;
    }
    TypedFileChoice answer = typedAnswers.front();
    typedAnswers.pop_front();
    answer.fileName = withDefaultExt(QString::fromStdString(answer.fileName),
                                     filterExtension(settings.filter, answer.filterIndex))
                          .toStdString();
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

// Services for a window under test: fake reader, dialogs and export; the
// window's own file existence test. Reads and exports run inside the handler
// that starts them, so that a test sees their end at once.
inline FormServices testServices(FakeDialogs& dialogs, FakeDatabase& db,
                                 std::vector<ExportCall>& exports) {
  FormServices s;
  s.dialogs = &dialogs;
  s.makeReader = [&db](MessageLog& log, ContactList& list) {
    return std::make_unique<FakeReader>(db, log, list, [] {
      const QCursor* cursor = QApplication::overrideCursor();
      return cursor != nullptr && cursor->shape() == Qt::BusyCursor;
    });
  };
  s.makeTasks = [](WindowView&) { return inlineTasks(); };
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
