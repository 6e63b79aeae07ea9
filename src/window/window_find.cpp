// SPDX-License-Identifier: Apache-2.0
// Finding a contact from the find bar: the selection moves to the next (or
// previous) contact holding the text in any of its values, which fills the
// details view as a click on the row does.
#include <QLineEdit>

#include "window/Unit1.h"
#include "window/find_bar.h"

namespace corvadex {

void TFormCorvadex::findContact() {
  // The find's filters are made in the background once a read ends; finds
  // answer the same before they are done, only more slowly.
  contactSearch_->prepare();
  FindBar1->open();
}

void TFormCorvadex::findAgain(FindDirection direction) {
  if (!FindBar1->isVisible() || FindBar1->Field->text().isEmpty()) {
    FindBar1->open();
    return;
  }
  findInList(FindBar1->Field->text(), direction, false);
}

void TFormCorvadex::findInList(const QString& text, FindDirection direction, bool fromCurrent) {
  std::optional<std::size_t> from = list_.selected();
  // While the text is being typed the selected contact may already hold it:
  // the search then starts with that contact rather than after it.
  if (fromCurrent && from) from = *from == 0 ? std::nullopt : std::optional<std::size_t>(*from - 1);
  const QByteArray utf8 = text.toUtf8();
  const std::optional<std::size_t> row =
      contactSearch_->find(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), from, direction);
  FindBar1->showNotFound(!row && !text.isEmpty());
  if (row) list_.setSelected(*row, true);
}

}  // namespace corvadex
