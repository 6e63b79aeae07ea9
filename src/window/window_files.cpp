// SPDX-License-Identifier: Apache-2.0
// Files reaching the window from outside (dropped on it, or given on the
// command line): the file is put into the path edit and read as "Read"
// reads it.
#include "window/window_behaviour.h"
#include "window/window_view.h"

namespace corvadex {

void WindowBehaviour::openFile(const std::string& path) {
  if (refuseWhileTask()) return;  // the path edit keeps the file being read
  chooseFileSource();  // the path edit is the source
  view_.setText(Control::EditDBPath, path);
  EditDBPathChange();
  ButtonReadDatabaseClick();
}

}  // namespace corvadex
