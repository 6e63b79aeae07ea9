// SPDX-License-Identifier: Apache-2.0
// Files reaching the window the desktop's way: a file dropped anywhere on the
// window (the path edit and the other text boxes included) is put into the
// path edit and read as "Read" reads it; the command line's file goes the
// same way.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

#include "window/Unit1.h"
#include "window/error_report.h"

namespace corvadex {

namespace {

// The first local file among the dragged addresses, or an empty text.
QString droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

void TFormCorvadex::openFile(const QString& path) {
  RadioButton2->setChecked(true);  // raises RadioButton2Click: the path edit is the source
  EditDBPath->setText(path);       // raises EditDBPathChange
  ButtonReadDatabaseClick();
}

void TFormCorvadex::acceptFileDrops() {
  setAcceptDrops(true);
  // Text boxes take drops themselves (as text); a dragged file is the
  // window's, whichever box it is over.
  for (QWidget* child : findChildren<QWidget*>())
    if (child->acceptDrops()) child->installEventFilter(this);
}

void TFormCorvadex::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFormCorvadex::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  guarded(this, [this, &file] { openFile(file); });
}

bool TFormCorvadex::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (!droppedFile(drop->mimeData()).isEmpty()) {
      if (type == QEvent::Drop)
        dropEvent(drop);
      else
        drop->acceptProposedAction();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace corvadex
