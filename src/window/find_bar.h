// SPDX-License-Identifier: Apache-2.0
// The find bar: a small strip in the window's free space at the top, hidden
// until asked for (Ctrl+F). A field for the text, buttons for the previous
// and next contact holding it, "not found" beside the field when none does,
// and a close button. Enter finds the next contact, Shift+Enter the
// previous, Escape closes the bar. It does not search itself: it tells its
// owner what to find and in which direction, and when it is asked to close.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <functional>

#include "contacts/contact_search.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace corvadex {

class FindBar final : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(FindBar)

 public:
  explicit FindBar(QWidget* parent);

  QLabel* Caption;
  QLineEdit* Field;
  QToolButton* PreviousButton;
  QToolButton* NextButton;
  QLabel* NotFound;
  QToolButton* CloseButton;

  // Called with the field's text when a find is asked for; `fromCurrent`
  // when the text was changed (the current contact may hold it already).
  using FindHandler = std::function<void(const QString& text, FindDirection direction, bool fromCurrent)>;
  void setOnFind(FindHandler handler) { onFind_ = std::move(handler); }
  // Called when Escape or the close button asks to close the bar; without
  // one, the bar hides itself.
  void setOnClose(std::function<void()> handler) { onClose_ = std::move(handler); }

  // Shows the bar and puts the keyboard in its field, text selected.
  void open();
  void showNotFound(bool notFound);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ask(FindDirection direction, bool fromCurrent);
  void askToClose();
  FindHandler onFind_;
  std::function<void()> onClose_;
};

}  // namespace corvadex
