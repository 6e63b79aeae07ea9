#include "window/window_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace corvadex {

QStringList QtNameFilters(const QString& filter) {
  QStringList result;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    result << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  return result;
}

QString WithDefaultExt(const QString& fileName, const QString& defaultExt) {
  if (defaultExt.isEmpty() || fileName.isEmpty()) return fileName;
  if (!QFileInfo(fileName).suffix().isEmpty()) return fileName;
  return fileName + QLatin1Char('.') + defaultExt;
}

namespace {

std::optional<QString> RunFileDialog(QWidget* owner, const FileDialogSettings& settings,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(settings.filter));
  if (!settings.defaultExt.isEmpty()) dialog.setDefaultSuffix(settings.defaultExt);
  if (!settings.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!settings.directory.isEmpty()) dialog.setDirectory(settings.directory);
  if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return WithDefaultExt(files.first(), settings.defaultExt);
}

}  // namespace

std::optional<QString> QtWindowDialogs::OpenFile(QWidget* owner,
                                                 const FileDialogSettings& settings) {
  return RunFileDialog(owner, settings, QFileDialog::AcceptOpen);
}

std::optional<QString> QtWindowDialogs::SaveFile(QWidget* owner,
                                                 const FileDialogSettings& settings) {
  return RunFileDialog(owner, settings, QFileDialog::AcceptSave);
}

void QtWindowDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                 MessageIcon icon) {
  QMessageBox::Icon qtIcon = QMessageBox::Critical;
  if (icon == MessageIcon::Warning) qtIcon = QMessageBox::Warning;
  if (icon == MessageIcon::Information) qtIcon = QMessageBox::Information;
  QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

void QtWindowDialogs::ShowModal(QDialog& dialog) { dialog.exec(); }

void QtWindowDialogs::OpenWithDesktop(const QString& target) {
  QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

}  // namespace corvadex
