// SPDX-License-Identifier: Apache-2.0
#include "window/find_bar.h"

#include <QHBoxLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace corvadex {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FindBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);

  Caption = new QLabel(tr("Find:"), this);
  Field = new QLineEdit(this);
  Field->setObjectName(QStringLiteral("FindField"));
  Field->setPlaceholderText(tr("name, e-mail, phone, ..."));
  Field->setClearButtonEnabled(true);
  Field->setMinimumWidth(200);
  Caption->setBuddy(Field);
  PreviousButton = new QToolButton(this);
  PreviousButton->setArrowType(Qt::UpArrow);
  PreviousButton->setToolTip(tr("Previous contact with the text (Shift+F3)"));
  NextButton = new QToolButton(this);
  NextButton->setArrowType(Qt::DownArrow);
  NextButton->setToolTip(tr("Next contact with the text (F3, Enter)"));
  NotFound = new QLabel(tr("not found"), this);
  NotFound->setObjectName(QStringLiteral("FindNotFound"));
  NotFound->setStyleSheet(QStringLiteral("color: #b00000;"));
  NotFound->setVisible(false);
  CloseButton = new QToolButton(this);
  CloseButton->setText(QStringLiteral("\u00d7"));
  CloseButton->setAutoRaise(true);
  CloseButton->setToolTip(tr("Close the find bar (Escape)"));

  layout->addWidget(Caption);
  layout->addWidget(Field, 1);
  layout->addWidget(PreviousButton);
  layout->addWidget(NextButton);
  layout->addWidget(NotFound);
  layout->addStretch(0);
  layout->addWidget(CloseButton);

  connect(Field, &QLineEdit::textEdited, this, [this] { ask(FindDirection::Next, true); });
  connect(Field, &QLineEdit::returnPressed, this, [this] {
    const bool back = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    ask(back ? FindDirection::Previous : FindDirection::Next, false);
  });
  connect(NextButton, &QToolButton::clicked, this, [this] { ask(FindDirection::Next, false); });
  connect(PreviousButton, &QToolButton::clicked, this, [this] { ask(FindDirection::Previous, false); });
  connect(CloseButton, &QToolButton::clicked, this, [this] { askToClose(); });
  setVisible(false);
}

void FindBar::open() {
  show();
  raise();
  Field->setFocus(Qt::ShortcutFocusReason);
  Field->selectAll();
}

void FindBar::showNotFound(bool notFound) { NotFound->setVisible(notFound); }

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    askToClose();
    return;
  }
  QWidget::keyPressEvent(event);
}

void FindBar::askToClose() {
  if (onClose_)
    onClose_();
  else
    hide();
}

void FindBar::ask(FindDirection direction, bool fromCurrent) {
  if (onFind_) onFind_(Field->text(), direction, fromCurrent);
}

}  // namespace corvadex
