// SPDX-License-Identifier: Apache-2.0
// A window view without a toolkit, for the tests of WindowBehaviour: it
// keeps what the behaviour set (texts, checks, enabled states, title,
// status, the details shown, the log), answers the dialogs from queues the
// test fills, and runs posted work when the test says so.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contacts/contact_columns.h"
#include "contacts/contact_row.h"
#include "window/window_view.h"

namespace corvadex::testing {

class FakeWindowView final : public WindowView {
 public:
  // The controls as a view makes them: the automatic source checked, the
  // path controls disabled.
  std::map<Control, std::string> texts;
  std::map<Control, bool> checks{{Control::RadioButton1, true}, {Control::RadioButton2, false}};
  std::map<Control, bool> enabled{
      {Control::EditDBPath, false}, {Control::ButtonChooseFile, false}, {Control::ButtonReadDatabase, false}};
  std::string title = "Corvadex";
  std::string status;
  std::vector<std::string> log;
  // The nickname of each contact the details view was given; "" for an emptying.
  std::vector<std::string> details;
  bool findBar = false;
  bool notFound = false;

  // Dialog answers (none: cancelled) and what each dialog was shown with.
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  std::deque<std::optional<TypedFileChoice>> typedAnswers;
  std::deque<std::optional<std::size_t>> chooserAnswers;
  std::vector<FileDialogSettings> openShown, saveShown, typedShown;
  struct Message {
    std::string text, caption;
    MessageIcon icon;
  };
  std::vector<Message> messages;
  int aboutShown = 0;

  // The translation catalogue: English texts not in it are shown as written.
  std::map<std::string, std::string> catalogue;

  bool busy = false;
  bool shown = false;
  // Errors that reached the default error report, and whether the window
  // was shown then.
  struct Error {
    std::string what;
    bool windowShown;
  };
  std::vector<Error> errors;
  std::deque<std::function<void()>> posted;  // filled from other threads too
  std::unique_ptr<std::mutex> postedLock = std::make_unique<std::mutex>();

  // Runs the posted work, as the window's event loop would.
  void runPosted() {
    for (;;) {
      std::function<void()> work;
      {
        const std::lock_guard<std::mutex> lock(*postedLock);
        if (posted.empty()) return;
        work = std::move(posted.front());
        posted.pop_front();
      }
      guard(work);
    }
  }

  void Add(std::string_view line) override { log.emplace_back(line); }
  std::string translate(const char* source, const char*) const override {
    const auto it = catalogue.find(source);
    return it == catalogue.end() ? source : it->second;
  }
  // The locale the behaviour asked for, with the plain number.
  std::string groupedNumber(std::size_t number, const std::string& localeName) const override {
    return localeName + ":" + std::to_string(number);
  }

  std::string text(Control control) const override {
    const auto it = texts.find(control);
    return it == texts.end() ? std::string() : it->second;
  }
  void setText(Control control, const std::string& shownText) override { texts[control] = shownText; }
  bool checked(Control control) const override { return checks.at(control); }
  void setChecked(Control control, bool on) override {
    checks[control] = on;
    if (on) checks[control == Control::RadioButton1 ? Control::RadioButton2 : Control::RadioButton1] = false;
  }
  void setEnabled(Control control, bool on) override { enabled[control] = on; }
  void setTitle(const std::string& shownTitle) override { title = shownTitle; }
  void setStatus(const std::string& shownStatus) override { status = shownStatus; }

  void showContact(const ContactRow& row) override { details.emplace_back(row.Value(kContactColumns[0])); }
  void clearDetails() override { details.emplace_back(); }

  void openFindBar() override { findBar = true; }
  void closeFindBar() override { findBar = false; }
  bool findBarOpen() const override { return findBar; }
  void showNotFound(bool on) override { notFound = on; }

  std::optional<std::string> askOpenFile(const FileDialogSettings& settings) override {
    openShown.push_back(settings);
    return next(openAnswers);
  }
  std::optional<std::string> askSaveFile(const FileDialogSettings& settings) override {
    saveShown.push_back(settings);
    return next(saveAnswers);
  }
  std::optional<TypedFileChoice> askSaveFileTyped(const FileDialogSettings& settings) override {
    typedShown.push_back(settings);
    return next(typedAnswers);
  }
  void showMessage(const std::string& message, const std::string& caption, MessageIcon icon) override {
    messages.push_back({message, caption, icon});
  }
  std::optional<std::size_t> chooseDatabase(const std::vector<DatabaseFind>&) override {
    return next(chooserAnswers);
  }
  void showAbout() override { ++aboutShown; }
  bool dialogOpen() const override { return false; }

  void setBusy(bool on) override { busy = on; }
  void show() override { shown = true; }
  void guard(const std::function<void()>& handler) override {
    try {
      handler();
    } catch (const std::exception& error) {
      errors.push_back({error.what(), shown});
    }
  }
  void post(std::function<void()> work) override {
    const std::lock_guard<std::mutex> lock(*postedLock);
    posted.push_back(std::move(work));
  }
  void repeat(int, std::function<bool()> tick) override {
    post([this, tick = std::move(tick)] {
      if (tick()) repeat(0, tick);
    });
  }

 private:
  template <class T>
  static std::optional<T> next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

}  // namespace corvadex::testing
