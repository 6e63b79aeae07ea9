// SPDX-License-Identifier: Apache-2.0
// The pieces the window adds to its design, all in the free space at the top
// between the source choice and "About", or on keys: the find bar, the
// status line, the shortcuts and file drops.
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>

#include "window/UnitAbout.h"
#include "window/Unit1.h"
#include "window/anchors.h"
#include "window/error_report.h"
#include "window/find_bar.h"
#include "window/shortcut_keys.h"

namespace corvadex {

void TFormCorvadex::buildAdditions() {
  contactSearch_ = std::make_unique<ContactSearch>(list_);

  FindBar1 = new FindBar(this);
  FindBar1->setGeometry(336, 4, 540, 22);
  FindBar1->setOnFind([this](const QString& text, FindDirection direction, bool fromCurrent) {
    guarded(this, [&] { findInList(text, direction, fromCurrent); });
  });

  LabelStatus = new QLabel(this);
  LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
  LabelStatus->setGeometry(340, 28, 536, 16);
  LabelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

  anchors_->Add(FindBar1, AnchorLeft | AnchorTop | AnchorRight);
  anchors_->Add(LabelStatus, AnchorLeft | AnchorTop | AnchorRight);

  // Enter in the path edit reads, as "Read" would (which needs a path).
  connect(EditDBPath, &QLineEdit::returnPressed, this, [this] {
    if (!EditDBPath->text().isEmpty()) guarded(this, [this] { ButtonReadDatabaseClick(); });
  });
  buildShortcuts();
  acceptFileDrops();
}

void TFormCorvadex::buildShortcuts() {
  QList<QKeySequence> keys;
  const auto key = [this, &keys](const QKeySequence& sequence, std::function<void()> handler) {
    keys.append(sequence);
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this, handler = std::move(handler)] { guarded(this, handler); });
  };
  key(QKeySequence::Find, [this] { findContact(); });
  key(QKeySequence(Qt::Key_F3), [this] { findAgain(FindDirection::Next); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findAgain(FindDirection::Previous); });
  key(QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
    RadioButton2->setChecked(true);  // the chooser belongs to the chosen-file source
    ButtonChooseFileClick();
  });
  key(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { ButtonExportToXMLClick(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  key(QKeySequence(Qt::Key_F1), [this] { showGuide(); });
  new ShortcutKeysFirst(this, keys);
}

void TFormCorvadex::showGuide() { dialogs().openWithDesktop(projectGuideLink()); }

}  // namespace corvadex
