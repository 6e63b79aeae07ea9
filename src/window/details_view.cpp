// SPDX-License-Identifier: Apache-2.0
#include "window/details_view.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <limits>

#include "contacts/contact_columns.h"
#include "contacts/contact_list.h"

namespace corvadex {

namespace {

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ContactDetailsView::ContactDetailsView(QWidget* parent) : QTabWidget(parent) {
  setObjectName(QStringLiteral("e"));
  QWidget** const named[kDetailsPageCount] = {&TabSheetContact, &TabSheetPersonal, &TabSheet3, &TabSheet4,
                                               &TabSheetNotes};
  QWidget* pageWidgets[kDetailsPageCount];
  for (std::size_t i = 0; i < kDetailsPageCount; ++i) {
    auto* page = new QWidget(this);
    page->setObjectName(toQString(kDetailsPages[i].name));
    page->setAutoFillBackground(true);
    addTab(page, tr(kDetailsPages[i].caption));
    *named[i] = page;
    pageWidgets[i] = page;
  }

  QWidget* previous[kDetailsPageCount] = {};
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
    const DetailsBox& d = kDetailsBoxes[b];
    columnOf(d);  // every box names a real column
    QWidget* page = pageWidgets[d.page];
    QWidget* box;
    if (d.name == "MemoNotes") {
      auto* memo = new QPlainTextEdit(page);
      memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      memo->setTabChangesFocus(true);
      MemoNotes = memo;
      box = memo;
    } else {
      auto* label = new QLabel(tr(d.caption.data()), page);
      label->move(d.labelLeft, d.labelTop);
      label->adjustSize();
      auto* edit = new QLineEdit(page);
      edit->setMaxLength(std::numeric_limits<int>::max());  // show values whole
      box = edit;
    }
    box->setObjectName(toQString(d.name));
    box->setGeometry(d.left, d.top, d.width, d.height);
    if (previous[d.page] != nullptr) setTabOrder(previous[d.page], box);
    previous[d.page] = box;
    boxes_[b] = box;
  }
  setCurrentIndex(0);
}

void ContactDetailsView::showContact(const ContactRow& row) {
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b) {
    const QString text = toQString(row.Value(columnOf(kDetailsBoxes[b])));
    setBoxText(b, text);
  }
}

void ContactDetailsView::clearValues() {
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b) setBoxText(b, QString());
}

void ContactDetailsView::setBoxText(std::size_t index, const QString& text) {
  // A line edit given text puts its cursor at the end and scrolls there; the
  // boxes show the start of a value, as a freshly filled edit box does. The
  // whole value stays there to select and copy.
  if (auto* memo = qobject_cast<QPlainTextEdit*>(boxes_[index])) {
    memo->setPlainText(text);
    return;
  }
  auto* edit = static_cast<QLineEdit*>(boxes_[index]);
  edit->setText(text);
  edit->setCursorPosition(0);
}

QWidget* ContactDetailsView::box(std::string_view name) const {
  for (std::size_t b = 0; b < kDetailsBoxCount; ++b)
    if (kDetailsBoxes[b].name == name) return boxes_[b];
  return nullptr;
}

QString ContactDetailsView::boxText(std::size_t index) const {
  if (index >= kDetailsBoxCount) return {};
  if (auto* memo = qobject_cast<QPlainTextEdit*>(boxes_[index])) return memo->toPlainText();
  return static_cast<QLineEdit*>(boxes_[index])->text();
}

}  // namespace corvadex
