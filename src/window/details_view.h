// SPDX-License-Identifier: Apache-2.0
// The details view: the page control `e` with five pages of labelled edit
// boxes (37 single-line boxes and the notes memo) showing every value of one
// contact. Five values appear twice, on two pages. The boxes are a display
// only: nothing typed into them is read back.
#pragma once

#include <QCoreApplication>
#include <QTabWidget>
#include <array>
#include <cstddef>
#include <string_view>

#include "window/details_boxes.h"

class QLineEdit;
class QPlainTextEdit;

namespace corvadex {

class ContactRow;

class ContactDetailsView final : public QTabWidget {
  Q_DECLARE_TR_FUNCTIONS(ContactDetailsView)

 public:
  explicit ContactDetailsView(QWidget* parent);

  QWidget* TabSheetContact;
  QWidget* TabSheetPersonal;
  QWidget* TabSheet3;
  QWidget* TabSheet4;
  QWidget* TabSheetNotes;
  QPlainTextEdit* MemoNotes;

  // Replaces the text of every box with the row's values, as held.
  void showContact(const ContactRow& row);
  // Empties every box.
  void clearValues();

  // The box of a given object name, or null.
  QWidget* box(std::string_view name) const;
  // The text a box shows (line edit or memo).
  QString boxText(std::size_t index) const;

 private:
  void setBoxText(std::size_t index, const QString& text);

  std::array<QWidget*, kDetailsBoxCount> boxes_{};
};

}  // namespace corvadex
