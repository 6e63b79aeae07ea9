// SPDX-License-Identifier: Apache-2.0
// Finding a contact from the find bar: the selection moves to the next (or
// previous) contact holding the text in any of its values, which fills the
// details view as a click on the row does.
#include "window/window_behaviour.h"
#include "window/window_view.h"

namespace corvadex {

void WindowBehaviour::findContact() {
  // The find's filters are made in the background once a read ends; finds
  // answer the same before they are done, only more slowly.
  contactSearch_.prepare();
  view_.openFindBar();
}

void WindowBehaviour::FindBar1Close() { view_.closeFindBar(); }

void WindowBehaviour::findAgain(FindDirection direction) {
  const std::string text = view_.text(Control::FindBar1);
  if (!view_.findBarOpen() || text.empty()) {
    view_.openFindBar();
    return;
  }
  FindBar1Find(text, direction, false);
}

void WindowBehaviour::FindBar1Find(const std::string& text, FindDirection direction, bool fromCurrent) {
  std::optional<std::size_t> from = list_.selected();
  // While the text is being typed the selected contact may already hold it:
  // the search then starts with that contact rather than after it.
  if (fromCurrent && from) from = *from == 0 ? std::nullopt : std::optional<std::size_t>(*from - 1);
  const std::optional<std::size_t> row = contactSearch_.find(text, from, direction);
  view_.showNotFound(!row && !text.empty());
  if (row) {
    findTyping_ = fromCurrent;
    list_.setSelected(*row, true);
    findTyping_ = false;
    return;
  }
  // While typing, a shorter text may have moved the selection to a contact
  // the whole text does not match: "not found" is shown beside the contact
  // selected before the typing began (or none), not beside that one.
  if (!fromCurrent || text.empty() || list_.selected() == findOrigin_) return;
  if (findOrigin_ && *findOrigin_ < list_.count()) {
    list_.setSelected(*findOrigin_, true);
  } else {
    list_.clearSelection();
    view_.clearDetails();
  }
}

}  // namespace corvadex
