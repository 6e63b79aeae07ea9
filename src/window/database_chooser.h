// SPDX-License-Identifier: Apache-2.0
// The dialog that asks which contacts database to read when the search at
// start-up found several: one row per database with the volume or prefix,
// the Windows user, the version folder, the size and the time of the last
// change, in the order given (newest first); the full path is each row's
// tool tip. The newest is selected; a double click chooses a row.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <cstddef>
#include <optional>
#include <vector>

#include "location/volume_probe.h"

class QDialogButtonBox;
class QTreeWidget;

namespace corvadex {

class DatabaseChooser : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(DatabaseChooser)

 public:
  DatabaseChooser(QWidget* parent, const std::vector<DatabaseFind>& finds);

  QTreeWidget* Rows;
  QDialogButtonBox* Buttons;

  // The row chosen; none when the dialog was dismissed.
  std::optional<std::size_t> chosen() const;
};

}  // namespace corvadex
