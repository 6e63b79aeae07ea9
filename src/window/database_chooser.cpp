// SPDX-License-Identifier: Apache-2.0
#include "window/database_chooser.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "location/found_database_text.h"

namespace corvadex {

DatabaseChooser::DatabaseChooser(QWidget* parent, const std::vector<DatabaseFind>& finds)
    : QDialog(parent) {
  setObjectName(QStringLiteral("DatabaseChooser"));
  setWindowTitle(tr("Choose the contacts database"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(tr("Several contacts databases were found. Choose the one to read:"),
                 this));

  Rows = new QTreeWidget(this);
  Rows->setObjectName(QStringLiteral("Rows"));
  Rows->setRootIsDecorated(false);
  Rows->setHeaderLabels({tr("Volume or prefix"), tr("Windows user"),
                         tr("Version folder"), tr("Size"),
                         tr("Last changed")});
  for (const DatabaseFind& find : finds) {
    QStringList columns;
    for (const std::string& text : chooserColumns(find)) columns << QFile::decodeName(text.c_str());
    auto* row = new QTreeWidgetItem(Rows, columns);
    row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    for (int column = 0; column < columns.size(); ++column)
      row->setToolTip(column, QFile::decodeName(find.path.c_str()));
  }
  Rows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (Rows->topLevelItemCount() > 0) Rows->setCurrentItem(Rows->topLevelItem(0));
  layout->addWidget(Rows);

  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Buttons->button(QDialogButtonBox::Ok)->setText(tr("Read"));
  layout->addWidget(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(Rows, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  resize(720, 260);
}

std::optional<std::size_t> DatabaseChooser::chosen() const {
  if (result() != QDialog::Accepted) return std::nullopt;
  const int row = Rows->indexOfTopLevelItem(Rows->currentItem());
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

}  // namespace corvadex
